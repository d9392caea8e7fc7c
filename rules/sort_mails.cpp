#include "rules/sort_mails.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/japanese_text.h"
#include "config/app_settings.h"
#include "platform/file_system.h"
#include "rules/batch_move.h"
#include "rules/outgoing_mail_store.h"
#include "rules/quote_text.h"
#include "rules/sort_rules.h"
#include "store/box_list.h"
#include "store/fixed_boxes.h"
#include "store/held_mail.h"

namespace lp {
namespace {

constexpr char kSectionSystem[] = "System";
constexpr char kSectionView[] = "View";
constexpr char kKeyReplyMark[] = "ReplyMark";
constexpr char kKeySendFile[] = "SendFile";
constexpr char kKeyMailMes[] = "MailMes";
// The signature number that created mails carry.
constexpr int kCreatedMailSignature = 1;
// A reply text is read no further than this: the rule names a text file,
// and a wrong choice must not take the whole memory.
constexpr std::size_t kMaxReplyTextBytes = 16u << 20;

const std::string& TestedField(const CMail& mail, int cond1) {
  static const std::string empty;
  switch (cond1) {
    case kRuleFieldTo: return mail.to;
    case kRuleFieldFrom: return mail.from;
    case kRuleFieldSubject: return mail.subject;
    default: return empty;
  }
}

bool RuleMatches(const CDivMenu& rule, const CMail& mail) {
  return FindJapaneseText(TestedField(mail, rule.cond1), rule.cond2, IgnoreWidth | IgnoreCase) >= 0;
}

// The reply file's whole content; empty when it cannot be opened.
std::string ReadReplyText(std::string_view path) {
  File file;
  if (!file.Open(path, File::Mode::Read)) return {};
  std::string text;
  char piece[32 * 1024];
  while (text.size() < kMaxReplyTextBytes) {
    const std::size_t wanted = std::min(sizeof piece, kMaxReplyTextBytes - text.size());
    const std::int64_t got = file.Read(piece, wanted);
    if (got <= 0) break;
    text.append(piece, static_cast<std::size_t>(got));
  }
  return text;
}

CMail NewOutgoingMail(std::string to, std::string from, std::string subject, std::string cc) {
  CMail mail;
  mail.to = std::move(to);
  mail.from = std::move(from);
  mail.subject = std::move(subject);
  mail.cc = std::move(cc);
  mail.date = static_cast<std::int32_t>(std::time(nullptr));
  mail.status = kStatusUnsent;
  mail.signature = kCreatedMailSignature;
  return mail;
}

class RuleRunner {
 public:
  RuleRunner(CLPOSTDoc& box, const SortOptions& options, BatchMove& mover)
      : box_(box),
        options_(options),
        mover_(mover),
        reply_mark_(box.profile().GetString(kSectionSystem, kKeyReplyMark, ">")),
        send_box_(box.profile().GetString(kSectionSystem, kKeySendFile, kDefaultSendBoxFile)) {}

  // Runs the rules over one mail; true when it was moved.
  bool Run(const std::vector<const CDivMenu*>& rules, int index) {
    const CMail* mail = box_.RecordAt(index);
    if (mail == nullptr) return false;
    quoted_text_.reset();
    for (const CDivMenu* rule : rules) {
      if (!RuleMatches(*rule, *mail)) continue;
      if (!rule->foward.empty()) Forward(*rule, *mail, index);
      if (!rule->reply.empty()) Reply(*rule, *mail);
      if (!rule->mail_box.empty() && mover_.Copy(index, rule->mail_box)) return true;
    }
    return false;
  }

  [[nodiscard]] int created() const { return created_; }

 private:
  void Forward(const CDivMenu& rule, const CMail& mail, int index) {
    CMail outgoing = NewOutgoingMail(rule.foward, options_.sender_text, mail.subject, {});
    if (!quoted_text_) {
      // A mail whose text cannot be read is not forwarded empty.
      MailText read = box_.DisplayText(index, HeaderMode::FromSetting, 0);
      if (!read.ok()) {
        box_.ui().ShowMessage(read.error);
        return;
      }
      quoted_text_ = QuoteText(read.text, reply_mark_);
    }
    Append(std::move(outgoing), *quoted_text_);
  }

  void Reply(const CDivMenu& rule, const CMail& mail) {
    // The subject is the reply file's name without folder and extension.
    CMail outgoing = NewOutgoingMail(mail.from, options_.sender_text, BoxDisplayName(rule.reply), mail.cc);
    Append(std::move(outgoing), ReadReplyText(rule.reply));
  }

  void Append(CMail outgoing, std::string_view text) {
    OutgoingMailTarget target;
    target.box_path = send_box_;
    target.registry = options_.registry;
    target.open_box = &box_;
    target.steps = options_.steps;
    if (AppendOutgoingMail(box_.profile(), box_.ui(), box_.commands(), target, std::move(outgoing), text)) {
      ++created_;
    }
  }

  CLPOSTDoc& box_;
  const SortOptions& options_;
  BatchMove& mover_;
  const std::string reply_mark_;
  const std::string send_box_;
  std::optional<std::string> quoted_text_;  // of the mail being sorted, made on first need
  int created_ = 0;
};

}  // namespace

int SortMails(CLPOSTDoc& box, std::span<const int> mails, const SortOptions& options) {
  Profile& profile = box.profile();
  UserInterface& ui = box.ui();
  CDivMenuArray table;
  table.Load(profile);
  // A rule that would move mail into the box being sorted is skipped
  // whole, forwarding and reply included.
  std::vector<const CDivMenu*> rules;
  for (std::size_t i = 0; i < table.Count(); ++i) {
    const CDivMenu* rule = table.At(i);
    if (IsSameBoxPath(rule->mail_box, box.PathName())) continue;
    rules.push_back(rule);
  }
  // Without a rule nothing moves: no progress window comes and goes.
  if (rules.empty()) return 0;

  std::unique_ptr<Progress> progress = ui.BeginProgress(kSortingText);
  if (progress) {
    progress->SetStatusText(BoxNameOf(box.PathName()));
    progress->SetRange(0, static_cast<int>(mails.size()));
  }
  BatchMove mover(box, options.registry, options.steps);
  RuleRunner runner(box, options, mover);
  std::vector<bool> seen(static_cast<std::size_t>(box.Count()));
  for (std::size_t position = 0; position < mails.size(); ++position) {
    if (progress) {
      progress->SetPosition(static_cast<int>(position));
      if (progress->CancelRequested()) break;
    }
    const int index = mails[position];
    // A mail listed twice is sorted once.
    if (index < 0 || static_cast<std::size_t>(index) >= seen.size() || seen[static_cast<std::size_t>(index)]) continue;
    seen[static_cast<std::size_t>(index)] = true;
    runner.Run(rules, index);
  }
  progress.reset();
  mover.Finish();

  const int created = runner.created();
  if (options.show_notice && created > 0 && profile.GetInt(kSectionView, kKeyMailMes, 1) == 1) {
    char notice[128];
    std::snprintf(notice, sizeof notice, kCreatedOutgoingFormat, created);
    ui.Report(notice);
  }
  return created;
}

int SortMailsCommand(CLPOSTDoc& box, std::span<const int> selection, SortScope scope, SortOptions options) {
  const char* question = scope == SortScope::Selection ? kAskSortSelected : kAskSortBox;
  std::vector<int> selected(selection.begin(), selection.end());
  if (selected.empty()) selected.push_back(box.current_index());
  const HeldMails held(box, selected);
  if (box.ui().Ask(question, MessageButtons::OkCancel) != Answer::Ok) return 0;
  std::vector<int> mails;
  if (scope == SortScope::WholeBox) {
    for (int i = 0; i < box.Count(); ++i) mails.push_back(i);
  } else {
    mails = held.Rows(box);
  }
  options.show_notice = true;
  return SortMails(box, mails, options);
}

}  // namespace lp

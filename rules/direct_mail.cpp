#include "rules/direct_mail.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "codec/header_lookup.h"
#include "codec/japanese_text.h"
#include "platform/code_page.h"
#include "platform/sjis_path.h"
#include "rules/batch_move.h"
#include "rules/direct_mail_lists.h"
#include "rules/keyword_file.h"
#include "store/held_mail.h"
#include "store/store_messages.h"

namespace lp {
namespace {

constexpr char kSection[] = "Spam";
// Compiled keyword patterns kept for one run; beyond this many a pattern
// is compiled for each use instead.
constexpr std::size_t kMaxCachedPatterns = 4096;

constexpr std::array<std::string_view, 4> kVirusTags = {"<HTML>", "</HTML>", "<IFRAME", "</IFRAME>"};

bool Flag(const Profile& profile, std::string_view key, int default_value) {
  return profile.GetInt(kSection, key, default_value) != 0;
}

// `pattern` stands in `text` as whole characters; an empty pattern stands
// everywhere. A byte search first rules most texts out cheaply.
bool Contains(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return true;
  if (text.find(pattern) == std::string_view::npos) return false;
  return FindJapaneseText(text, pattern, 0) >= 0;
}

bool ContainsAny(std::string_view text, std::span<const std::string_view> patterns) {
  return std::any_of(patterns.begin(), patterns.end(), [&](std::string_view p) { return Contains(text, p); });
}

}  // namespace

DirectMailSettings DirectMailSettings::Load(const Profile& profile) {
  DirectMailSettings settings;
  settings.divide = Flag(profile, "Divide", 0);
  settings.box = profile.GetString(kSection, "Box");
  settings.x_mailer = Flag(profile, "XMailer", 0);
  settings.english = Flag(profile, "English", 0);
  settings.hiwai = Flag(profile, "Hiwai", 0);
  settings.keyword = Flag(profile, "KeyWord", 0);
  settings.keyword_file = profile.GetString(kSection, "KeyWordFile", DefaultKeywordFilePath());
  settings.keyword_regexp = Flag(profile, "KeyWordRegExp", 0);
  settings.to_check = Flag(profile, "ToCheck", 0);
  settings.virus_check = Flag(profile, "VirusCheck", 1);
  return settings;
}

// The mail under test; its display text is read once, on first need.
class DirectMailFilter::MailView {
 public:
  MailView(CLPOSTDoc& box, int index, const CMail& record) : box_(box), index_(index), record_(record) {}

  [[nodiscard]] const CMail& record() const { return record_; }
  const std::string& Text() {
    if (!text_) text_ = TextShowingError(box_.DisplayText(index_, HeaderMode::FromSetting, 0), box_.ui());
    return *text_;
  }
  [[nodiscard]] std::string XMailer() const { return HeaderValue(box_, index_, "X-Mailer"); }

 private:
  CLPOSTDoc& box_;
  int index_;
  const CMail& record_;
  std::optional<std::string> text_;
};

DirectMailFilter::DirectMailFilter(std::vector<std::string> account_addresses)
    : addresses_(std::move(account_addresses)) {}

DirectMailReason DirectMailFilter::Check(CLPOSTDoc& box, int index) {
  const CMail* record = box.RecordAt(index);
  if (record == nullptr) return DirectMailReason::None;
  const DirectMailSettings settings = DirectMailSettings::Load(box.profile());
  MailView mail(box, index, *record);

  if (settings.x_mailer && ContainsAny(mail.XMailer(), kDirectMailMailers)) return DirectMailReason::XMailer;
  if (settings.english && IsPlain7Bit(record->subject) && IsPlain7Bit(record->to) && IsPlain7Bit(record->from) &&
      IsPlain7Bit(record->cc) && IsPlain7Bit(mail.Text())) {
    return DirectMailReason::English;
  }
  if (settings.hiwai &&
      (ContainsAny(record->subject, kDirectMailPhrases) || ContainsAny(mail.Text(), kDirectMailPhrases))) {
    return DirectMailReason::Phrase;
  }
  if (settings.keyword && KeywordFires(settings, mail, box.ui())) return DirectMailReason::Keyword;
  if (settings.to_check) {
    // Mail dropped into a LAN directory is addressed to a directory: it
    // counts as the user's own.
    bool addressed = EndsWithPathSeparator(record->to) || EndsWithPathSeparator(record->cc);
    for (const std::string& address : addresses_) {
      if (addressed) break;
      if (address.empty()) continue;
      addressed = FindJapaneseText(record->to, address, IgnoreCase) >= 0 ||
                  FindJapaneseText(record->cc, address, IgnoreCase) >= 0;
    }
    if (!addressed) return DirectMailReason::NotAddressedToUser;
  }
  if (settings.virus_check &&
      std::all_of(kVirusTags.begin(), kVirusTags.end(),
                  [&](std::string_view tag) { return FindJapaneseText(mail.Text(), tag, IgnoreCase) >= 0; })) {
    return DirectMailReason::HtmlVirus;
  }
  return DirectMailReason::None;
}

bool DirectMailFilter::KeywordFires(const DirectMailSettings& settings, MailView& mail, UserInterface& ui) {
  KeywordLineReader reader;
  if (!reader.Open(settings.keyword_file)) {
    if (reported_.insert(settings.keyword_file).second) {
      ui.ShowMessage(std::string(store_messages::kFileOpenFailed) + ":" + settings.keyword_file);
    }
    return false;
  }
  std::string line;
  if (!settings.keyword_regexp) {
    while (reader.Next(line)) {
      if (Contains(mail.record().subject, line) || Contains(mail.Text(), line)) return true;
    }
    return false;
  }
  // Patterns see the subject, a line feed and the text, in UTF-8.
  std::optional<std::string> subject_utf8;
  while (reader.Next(line)) {
    if (!subject_utf8) {
      std::string subject = mail.record().subject;
      subject += '\n';
      subject += mail.Text();
      subject_utf8 = Cp932ToUtf8(subject);
    }
    const RegexMatcher& pattern = Pattern(line);
    const RegexResult result = pattern.TestUtf8(*subject_utf8);
    if (result == RegexResult::Matched) return true;
    if (result == RegexResult::BadPattern && reported_.insert(line).second) {
      ui.ShowMessage(std::string(kBadKeywordPattern) + line);
    }
  }
  return false;
}

const RegexMatcher& DirectMailFilter::Pattern(const std::string& line) {
  auto found = patterns_.find(line);
  if (found != patterns_.end()) return *found->second;
  auto matcher = std::make_unique<RegexMatcher>(line, RegexCase::Sensitive);
  if (patterns_.size() < kMaxCachedPatterns) return *patterns_.emplace(line, std::move(matcher)).first->second;
  uncached_ = std::move(matcher);
  return *uncached_;
}

bool IsDirectMail(CLPOSTDoc& box, int index, std::span<const std::string> account_addresses) {
  DirectMailFilter filter({account_addresses.begin(), account_addresses.end()});
  return filter.IsDirectMail(box, index);
}

std::size_t RemoveDirectMail(CLPOSTDoc& box, std::span<const int> mails,
                             std::span<const std::string> account_addresses, OpenBoxRegistry* registry,
                             const WriteStepHook& steps) {
  const std::string destination = DirectMailSettings::Load(box.profile()).box;
  // Copying mail into its own box and then dropping it there would lose it.
  if (destination.empty() || IsSameBoxPath(destination, box.PathName())) return 0;
  DirectMailFilter filter({account_addresses.begin(), account_addresses.end()});
  BatchMove mover(box, registry, steps);
  for (int index : mails) {
    if (mover.IsMarked(index) || !filter.IsDirectMail(box, index)) continue;
    mover.Copy(index, destination);
  }
  return mover.Finish();
}

std::size_t RemoveDirectMailCommand(CLPOSTDoc& box, std::span<const int> selection,
                                    std::span<const std::string> account_addresses, OpenBoxRegistry* registry) {
  UserInterface& ui = box.ui();
  if (DirectMailSettings::Load(box.profile()).box.empty()) {
    ui.ShowMessage(kDirectMailNotConfigured);
    return 0;
  }
  std::vector<int> selected(selection.begin(), selection.end());
  if (selected.empty()) selected.push_back(box.current_index());
  const HeldMails held(box, selected);
  if (ui.Ask(kAskRemoveDirectMail, MessageButtons::OkCancel) != Answer::Ok) return 0;
  return RemoveDirectMail(box, held.Rows(box), account_addresses, registry);
}

}  // namespace lp

#include "net/receive_pipeline.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "codec/html_view.h"
#include "platform/sjis_char.h"
#include "net/analysed_spool_marker.h"
#include "net/pop_messages.h"
#include "net/pop_reply_text.h"
#include "net/receive_messages.h"
#include "net/staged_receive.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "rules/direct_mail.h"
#include "rules/sort_mails.h"
#include "store/fixed_boxes.h"
#include "store/mail_transfer.h"
#include "store/write_steps.h"

namespace lp {

namespace {

constexpr char kSectionSystem[] = "System";

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Equal ignoring the case of ASCII letters; the second byte of a
// double-byte character is compared as it is.
bool EqualPathsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (IsSjisLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

std::string WithTrailingSeparator(std::string path) {
  if (!EndsWithPathSeparator(path)) path += kPathSeparator;
  return path;
}

}  // namespace

ReceivePipeline::ReceivePipeline(CLPOSTDoc& box, OpenBoxRegistry& registry, UserInterface& ui)
    : box_(box), registry_(registry), ui_(ui) {}

std::vector<StagedSpool> ReceivePipeline::SpoolsOf(const ReceivePipelineInput& input) const {
  std::vector<StagedSpool> spools;
  // The session could not flush the spool: it stays as it is, for the next
  // receive to complete, and nothing is moved meanwhile.
  if (input.keep_pop_spool) return spools;
  spools.push_back({kReceiveSpool, input.message_ids});
  const std::string lan = LanSpoolDirectory(box_.profile(), input.working_directory);
  if (!lan.empty()) spools.push_back({JoinPath(lan, kReceiveSpool), nullptr});
  return spools;
}

StagedReceive ReceivePipeline::PlanAnalysis(const ReceivePipelineInput& input) const {
  return PlanStagedReceive(box_, SpoolsOf(input));
}

ReceivePipelineResult ReceivePipeline::Run(const ReceivePipelineInput& input) {
  StagedReceive staged = PlanAnalysis(input);
  AnalyseStagedReceive(staged, box_.profile(), ui_, box_.commands(), nullptr, input.steps);
  StagedCommit commit = TakeStagedRecords(box_, staged, false);
  return Complete(input, staged, commit);
}

std::vector<int> ReceivePipeline::RowsOfNewMail(const StagedCommit& commit) const {
  std::vector<int> rows = box_.RowsOfSerials(commit.serials);
  std::erase(rows, -1);
  std::sort(rows.begin(), rows.end());
  return rows;
}

ReceivePipelineResult ReceivePipeline::Complete(const ReceivePipelineInput& input, StagedReceive& staged,
                                                StagedCommit& commit) {
  Profile& profile = box_.profile();
  ReceivePipelineResult result;
  result.first_new = commit.first_new;
  if (input.keep_pop_spool) return result;

  // MailAnalyze and Lan.
  for (const StagedSpool& spool : staged.spools) {
    if (spool.count < 0) {
      ui_.ShowMessage(receive_text::kAnalysisFailed);
      result.analysis_failed = true;
    }
  }
  if (staged.write_failed) {
    ui_.ShowMessage(staged.message);
    result.save_failed = true;
  }
  std::vector<bool> removed;
  SettleStagedSpools(box_, staged, commit, ui_, &removed, input.steps);
  result.new_count = commit.added;
  if (!commit.saved) {
    result.save_failed = true;
    return result;
  }
  for (std::size_t i = 0; i < staged.spools.size(); ++i) {
    if (staged.spools[i].count > 0 && !removed[i]) ui_.ShowMessage(receive_text::kCannotDeleteSpool);
  }

  // A box that cannot be saved must not have mail moved out of it: the
  // spools are kept and the mails stay where they are.
  if (result.save_failed) return result;

  // The new mails are found by their serials: the box may have changed
  // while its index was written.
  // Virus.
  if (profile.GetInt(kSectionSystem, "VirusCheck", 1) != 0 && !commit.iframe_serials.empty()) {
    std::vector<int> virus = box_.RowsOfSerials(commit.iframe_serials);
    std::erase(virus, -1);
    std::sort(virus.begin(), virus.end());
    SetVirusMailAside(std::move(virus), input.steps);
  }

  // AutoDiv.
  if (profile.GetInt(kSectionSystem, "Autodiv", 1) == 1 && result.new_count >= 1) {
    const std::vector<int> mails = RowsOfNewMail(commit);
    SortOptions options;
    options.sender_text = input.sender_text;
    options.show_notice = false;
    options.registry = &registry_;
    options.steps = input.steps;
    result.created_count = SortMails(box_, mails, options);
  }

  // Spam.
  if (profile.GetInt("Spam", "Divide", 0) != 0 && result.new_count >= 1) {
    const std::vector<int> mails = RowsOfNewMail(commit);
    (void)RemoveDirectMail(box_, mails, input.account_addresses, &registry_, input.steps);
  }

  // Save.
  if (box_.IsModified()) {
    NoteWriteStep(input.steps, "save box index");
    const IndexFileResult saved = box_.Save();
    if (!saved.ok) {
      ui_.ShowMessage(saved.message);
      result.save_failed = true;
    }
  }
  return result;
}

void ReceivePipeline::SetVirusMailAside(std::vector<int> virus, const WriteStepHook& steps) {
  if (virus.empty()) return;

  std::size_t leaving = virus.size();
  if (TrashEnabled(box_.profile())) {
    std::vector<const CMail*> records;
    for (int index : virus) records.push_back(box_.RecordAt(index));
    // A mail the trash did not take stays in this box rather than vanish.
    TransferOptions options;
    options.steps = steps;
    options.registry = &registry_;
    leaving = CopyRecordsTo(box_, records, TrashBoxPath(box_.profile()), options);
  }
  virus.resize(leaving);
  box_.RemoveIndexes(std::move(virus));
  box_.SetModified();
  NoteWriteStep(steps, "save box index");
  const IndexFileResult saved = box_.Save();
  if (!saved.ok) ui_.ShowMessage(saved.message);
  box_.UpdateUnreadMark();
}

int ReceivePipeline::AnalyseAgain(MessageIdObserver* message_ids) {
  StagedReceive staged = PlanStagedReceive(box_, {{kReceiveSpool, message_ids}});
  AnalyseStagedReceive(staged, box_.profile(), ui_, box_.commands(), nullptr);
  const int count = staged.spools.empty() ? 0 : staged.spools.front().count;
  if (staged.write_failed) ui_.ShowMessage(staged.message);
  std::vector<bool> removed;
  StagedCommit commit = TakeStagedRecords(box_, staged, false);
  SettleStagedSpools(box_, staged, commit, ui_, &removed);
  if (count <= 0) ui_.ShowMessage(receive_text::kAnalysisFailed);
  box_.UpdateUnreadMark();
  if (count > 0 && commit.saved && !removed.front()) ui_.ShowMessage(receive_text::kCannotDeleteSpool);
  return count;
}

void ShowArrivalMessages(UserInterface& ui, const Profile& profile, int new_count, int created_count) {
  const bool mail_messages = profile.GetInt("View", "MailMes", 1) != 0;
  char text[128];
  if (profile.GetInt("View", "NoMail", 1) != 0 && new_count == 0) ui.Report(receive_text::kNoNewMail);
  if (mail_messages && new_count > 0) {
    std::snprintf(text, sizeof text, receive_text::kNewMailFormat, new_count);
    ui.Report(text);
  }
  if (created_count > 0 && mail_messages) {
    std::snprintf(text, sizeof text, receive_text::kCreatedMailFormat, created_count);
    ui.Report(text);
  }
}

int CaretAfterReceive(const CLPOSTDoc& box, const Profile& profile, int first_new) {
  switch (profile.GetInt(kSectionSystem, "nRecCursor", 0)) {
    case 1:
      return box.Count() == 0 ? -1 : std::min(first_new, box.Count() - 1);
    case 2:
      return box.FirstUnread();
    default:
      return -1;
  }
}

std::string LanSpoolDirectory(const Profile& profile, std::string_view working_directory) {
  std::string lan = profile.GetString("Lan", "Dir");
  if (lan.empty()) return {};
  lan = WithTrailingSeparator(std::move(lan));
  const std::string work = WithTrailingSeparator(std::string(working_directory));
  if (EqualPathsIgnoringCase(lan, work)) return {};
  if (EqualPathsIgnoringCase(WithTrailingSeparator(AbsolutePath(lan)), work)) return {};
  return lan;
}

bool TrimUnfinishedSpoolTail(std::string_view spool_path) {
  File file;
  if (!file.Open(spool_path, File::Mode::ReadWrite)) return !PathExists(spool_path);
  const std::optional<std::uint64_t> size = file.Size();
  if (!size) return false;
  constexpr std::string_view kTerminator = "\r\n.\r\n";
  constexpr std::size_t kWindow = 64 * 1024;
  // Search backwards window by window; windows overlap by the terminator's
  // length so that one split between two windows is still found.
  std::uint64_t end = *size;
  std::uint64_t keep = 0;
  bool found = false;
  std::string window;
  while (end > 0 && !found) {
    const std::uint64_t start = end > kWindow ? end - kWindow : 0;
    window.resize(static_cast<std::size_t>(end - start));
    if (!file.Seek(start) || file.ReadFull(window.data(), window.size()) != static_cast<std::int64_t>(window.size())) {
      return false;
    }
    const std::size_t at = window.rfind(kTerminator);
    if (at != std::string::npos) {
      keep = start + at + kTerminator.size();
      found = true;
    } else {
      end = start == 0 ? 0 : start + kTerminator.size() - 1;
    }
  }
  if (keep == *size) return true;
  // Only a retrieved message ("+OK" first) is cut; anything else was not
  // written by a session and is left for the analysis.
  std::string head(3, '\0');
  if (!file.Seek(keep) || file.ReadFull(head.data(), head.size()) != 3 || head != "+OK") return true;
  return file.Truncate(keep) && file.Sync();
}

}  // namespace lp

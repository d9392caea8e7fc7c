#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "codec/spool_analyser.h"
#include "net/staged_receive.h"
#include "config/profile.h"
#include "platform/user_interface.h"
#include "store/mailbox_document.h"
#include "store/open_box_registry.h"
#include "store/write_steps.h"

// What happens to received mail between the end of a POP3 session and the
// refreshed list: the spool "inbox.log" and the LAN directory's spool are
// analysed into the receive box, IFRAME mail is set aside, the sort rules and
// the direct-mail filter run, and the box is saved. The new-mail messages and
// the list refresh come afterwards, once per receive or once per patrol.
//
// Every spool is removed only after the box's index that holds its mails is
// on the disk, so no crash between the analysis and the save loses mail.

namespace lp {

// The spool a POP3 session writes, in the working directory.
inline constexpr char kReceiveSpool[] = "inbox.log";

// Told when the mail list of the receive box should be rebuilt, and of the
// status-bar texts of a receive. The desktop list view implements it.
class ReceiveViewObserver {
 public:
  virtual ~ReceiveViewObserver() = default;
  virtual void OnStatusText(std::string_view /*sjis_text*/) {}
  // Rebuild the list; `caret` is the row to put the caret on, or -1 to
  // leave the selection as it is.
  virtual void OnMailListSet(CLPOSTDoc& /*box*/, int /*caret*/) {}
};

struct ReceivePipelineInput {
  std::string sender_text;                  // the current account's "Name <Adr>"
  std::vector<std::string> account_addresses;  // Adr of every account (direct-mail filter)
  std::string working_directory;            // the data directory, Shift_JIS
  MessageIdObserver* message_ids = nullptr;  // told the Message-Ids of the POP spool
  WriteStepHook steps;  // told before every step that writes (crash tests)
  // The POP3 session could not flush the spool to the disk: it is kept
  // unanalysed and the pipeline stops there.
  bool keep_pop_spool = false;
};

struct ReceivePipelineResult {
  int new_count = 0;      // mails added by this receive (virus mail included)
  int created_count = 0;  // outgoing mails the sort rules created
  int first_new = 0;      // the box's mail count before the analysis
  bool analysis_failed = false;
  bool save_failed = false;
};

class ReceivePipeline {
 public:
  ReceivePipeline(CLPOSTDoc& box, OpenBoxRegistry& registry, UserInterface& ui);

  // The stages from the analysis to the save, on this thread.
  ReceivePipelineResult Run(const ReceivePipelineInput& input);

  // Run in three steps, for a front end that analyses on a worker thread:
  // PlanAnalysis and Complete on the box's thread, AnalyseStagedReceive
  // (net/staged_receive.h) in between on any thread, with the box's text
  // file reserved meanwhile.
  [[nodiscard]] StagedReceive PlanAnalysis(const ReceivePipelineInput& input) const;
  // Between the two, TakeStagedRecords puts the records into the box (with
  // a snapshot when the index is written on another thread too).
  ReceivePipelineResult Complete(const ReceivePipelineInput& input, StagedReceive& staged, StagedCommit& commit);

  // Analyse again: the working directory's spool goes into the box once
  // more; it is removed when mail came of it and the box is saved.
  // Returns the number of mails added (0 or -1 when none; the failure was
  // shown).
  int AnalyseAgain(MessageIdObserver* message_ids = nullptr);

 private:
  // The POP3 spool, then the LAN directory's spool when there is one.
  [[nodiscard]] std::vector<StagedSpool> SpoolsOf(const ReceivePipelineInput& input) const;
  // Moves the mails at these rows (ascending) to the trash box.
  void SetVirusMailAside(std::vector<int> virus, const WriteStepHook& steps);
  // The rows that the commit's records hold now, ascending.
  [[nodiscard]] std::vector<int> RowsOfNewMail(const StagedCommit& commit) const;

  CLPOSTDoc& box_;
  OpenBoxRegistry& registry_;
  UserInterface& ui_;
};

// The new-mail messages of a finished receive or patrol, as the settings
// "View"/"NoMail" and "View"/"MailMes" ask.
void ShowArrivalMessages(UserInterface& ui, const Profile& profile, int new_count, int created_count);

// The caret row after a receive by "System"/"nRecCursor": 1 the first new
// mail (capped at the last mail), 2 the first unread mail, else -1.
[[nodiscard]] int CaretAfterReceive(const CLPOSTDoc& box, const Profile& profile, int first_new);

// The LAN directory ("Lan"/"Dir") when it is set and is not the working
// directory (compared ignoring ASCII case, with or without the trailing
// separator); empty otherwise.
[[nodiscard]] std::string LanSpoolDirectory(const Profile& profile, std::string_view working_directory);

// Cuts a message that a broken-off session left half-written at the end of
// a spool (everything after the last "\r\n.\r\n"), so that the next
// session's first message does not merge into it. The server still holds
// that message: it is deleted only after it is whole on the disk. False
// when the file could not be trimmed.
bool TrimUnfinishedSpoolTail(std::string_view spool_path);

}  // namespace lp

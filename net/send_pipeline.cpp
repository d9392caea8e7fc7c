#include "net/send_pipeline.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <utility>

#include "codec/date_header.h"
#include "config/app_settings.h"
#include "net/account_tls.h"
#include "net/send_messages.h"
#include "net/smtp_messages.h"
#include "platform/file_system.h"
#include "store/fixed_boxes.h"
#include "store/mail_transfer.h"

namespace lp {

namespace {

constexpr char kSectionSystem[] = "System";

SmtpAuthMode AuthMode(int value) {
  switch (value) {
    case 1:
      return SmtpAuthMode::CramMd5;
    case 2:
      return SmtpAuthMode::Login;
    default:
      break;
  }
  return SmtpAuthMode::Automatic;
}

}  // namespace

std::string FormatLastRunTime(const Profile& profile, std::string_view key, const char* format) {
  const std::string value = profile.GetString("Time", key, "");
  long long seconds = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
  if (value.empty() || error != std::errc() || end != value.data() + value.size() || seconds < 0) return {};
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (localtime_r(&time, &local) == nullptr) return {};
  char text[64];
  std::snprintf(text, sizeof text, format, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  return text;
}

SendPipeline::SendPipeline(Dependencies dependencies) : deps_(std::move(dependencies)) {}

SendPipeline::~SendPipeline() {
  shutting_down_ = true;
  *alive_ = false;
  if (connection_.session) connection_.session->Cancel();
}

SmtpSessionSettings SendPipeline::SessionSettings(const CSetMenu& account) {
  SmtpSessionSettings settings;
  settings.host = account.smtp;
  settings.port = account.smtp_port;
  settings.tls = TransportTlsOf(account.smtp_tls);
  settings.auth = account.smtp_auth;
  settings.auth_mode = AuthMode(account.smtp_auth_mode);
  settings.oauth = account.auth == AccountAuth::OAuth2;
  settings.user = account.user_id;
  settings.password = account.pass;  // the table holds it unscrambled
  return settings;
}

std::time_t SendPipeline::Now() const { return deps_.clock ? deps_.clock() : std::time(nullptr); }

void SendPipeline::SetMarks(bool busy, bool sending) {
  if (deps_.observer != nullptr) deps_.observer->OnSendMarks(busy, sending);
}

void SendPipeline::ShowStatus(std::string_view text) {
  if (deps_.observer != nullptr) deps_.observer->OnStatusText(text);
}

std::optional<std::string> SendPipeline::FingerprintOf(const CMail& record) {
  MailText read = deps_.box.ReadText(record.text_start, record.text_end);
  if (!read.ok()) {
    deps_.ui.ShowMessage(read.error);
    return std::nullopt;
  }
  return MailFingerprint(record, read.text);
}

std::string SendPipeline::BccField(const CMail& record) const {
  std::string field = record.bcc;
  if (!account_.bcc_adr.empty()) {
    if (!field.empty()) field += ',';
    field += account_.bcc_adr;
  }
  return field;
}

bool SendPipeline::SplitRecipients(const CMail& record, OutgoingMessage& message) const {
  bool network = SplitAddressField(record.to, message.to, deps_.address_lists);
  network = SplitAddressField(record.cc, message.cc, deps_.address_lists) || network;
  network = SplitAddressField(BccField(record), message.bcc, deps_.address_lists) || network;
  return network;
}

void SendPipeline::Prepare(const CMail& record, std::string text, OutgoingMessage& message) {
  message.from = record.from;
  message.subject = record.subject;
  message.attachment = record.attachments;
  message.references = record.message_id;
  message.body = std::move(text);
  if (record.signature > 0) {
    message.body += "\r\n";
    message.body += ExpandDateMacros(signatures_.Text(static_cast<std::size_t>(record.signature)), Now());
  }
  (void)SplitRecipients(record, message);
}

bool SendPipeline::Start(const CSetMenu& account, bool in_send_and_receive) {
  if (running_) {
    result_ = SendRunResult{};
    result_.status = SendRunStatus::Ignored;
    return false;
  }
  // A session that ended inside its own callback is dropped now, from
  // outside it.
  if (callback_depth_ == 0) retired_.clear();
  account_ = account;
  in_send_and_receive_ = in_send_and_receive;
  result_ = SendRunResult{};
  cancelled_ = false;
  run_.clear();
  sent_.clear();
  next_ = 0;
  current_.reset();
  journal_failed_ = false;
  lan_copy_failed_ = false;
  journal_ = deps_.box.PathName().empty() ? nullptr
                                          : std::make_unique<SentJournal>(SentJournalPath(deps_.box.PathName()));

  (void)deps_.profile.WriteString("Time", "Send", std::to_string(static_cast<long long>(Now())));
  signatures_.Load(deps_.profile);
  SetMarks(true, true);
  if (!ApplySentJournal()) {
    Finish(SendRunStatus::Failed);
    return false;
  }

  bool network = false;
  for (int index = 0; index < deps_.box.Count(); ++index) {
    const CMail* record = deps_.box.RecordAt(index);
    if (record->status != kStatusUnsent) continue;
    run_.push_back(record->serial);
    OutgoingMessage message;
    network = SplitRecipients(*record, message) || network;
  }
  result_.unsent_at_start = static_cast<int>(run_.size());
  if (run_.empty()) {
    if (!in_send_and_receive_) deps_.ui.Inform(send_text::kNothingToSend);
    Finish(SendRunStatus::NothingToSend);
    return false;
  }

  running_ = true;
  status_window_ = deps_.ui.BeginProgress(send_text::kSendingCaption);
  if (status_window_) status_window_->SetStatusText(send_text::kInitialising);
  if (!network) {
    // The log of the last SMTP run must not pass for this run's.
    File log;
    (void)log.Open(deps_.log_path, File::Mode::Write);
    result_.lan_only = true;
    RunLanOnly();
    return false;
  }

  ShowStatus(smtp_text::kConnecting);
  if (account_.auto_con && (!account_.pop_before || !in_send_and_receive_) && deps_.observer != nullptr) {
    deps_.observer->OnConnectRequested();
  }
  connection_.transport = deps_.transports ? deps_.transports() : nullptr;
  if (!connection_.transport) {
    status_window_.reset();
    deps_.ui.ShowMessage(send_text::kCannotConnectSmtp);
    Finish(SendRunStatus::ConnectFailed);
    return false;
  }
  connection_.session = std::make_unique<SmtpSession>(
      *connection_.transport, deps_.ui, [this](const SmtpSessionResult& session_result) {
        if (shutting_down_) return;
        // A refused token is not offered again; the next login refreshes it.
        if (session_result.token_refused && deps_.oauth != nullptr) deps_.oauth->Refused(account_);
        ++callback_depth_;
        OnSessionFinished(session_result);
        --callback_depth_;
      });
  SmtpSessionSettings settings = SessionSettings(account_);
  settings.mail_total = static_cast<int>(run_.size());
  settings.log_path = deps_.log_path;
  if (!settings.oauth || deps_.oauth == nullptr) {
    // Without a token source the session itself says that a sign-in is needed.
    connection_.session->Start(settings, status_window_.get(), this);
    return running_;
  }
  // The token may need a refresh first; the session starts when it is there.
  deps_.oauth->Prepare(account_, [this, alive = std::weak_ptr<bool>(alive_), settings](OAuthLogin login) mutable {
    const std::shared_ptr<bool> still = alive.lock();
    if (!still || !*still || shutting_down_ || !connection_.session) return;
    if (!login.ok) {
      deps_.ui.ShowMessage(login.message);
      status_window_.reset();
      retired_.push_back(std::move(connection_));
      connection_ = Connection{};
      Finish(SendRunStatus::ConnectFailed);
      return;
    }
    settings.user = std::move(login.user);
    settings.access_token = std::move(login.access_token);
    connection_.session->Start(settings, status_window_.get(), this);
  });
  return running_;
}

void SendPipeline::Cancel() {
  if (!connection_.session || !connection_.session->Running()) return;
  cancelled_ = true;
  connection_.session->Cancel();
}

SmtpNextMail SendPipeline::TakeNext(SmtpMail& mail) {
  // Without its journal a delivery could be repeated after a crash.
  if (journal_failed_) return SmtpNextMail::Failed;
  while (next_ < run_.size()) {
    const RunMail mail_of_run = run_[next_++];
    const int index = IndexOf(mail_of_run);
    if (index < 0) continue;  // deleted or moved while the run went on
    const CMail* record = deps_.box.RecordAt(index);
    if (record->status != kStatusUnsent) continue;
    // A mail whose text cannot be read must not go out empty.
    MailText read = deps_.box.ReadText(record->text_start, record->text_end);
    if (!read.ok()) {
      deps_.ui.ShowMessage(read.error);
      return SmtpNextMail::Failed;
    }
    std::string text = std::move(read.text);
    MailInProgress in_progress{mail_of_run, MailFingerprint(*record, text), {}};
    OutgoingMessage message;
    Prepare(*record, std::move(text), message);
    ComposeContext context(deps_.ui, ReadComposeSettings(deps_.profile, account_.sender_name));
    context.progress = status_window_.get();
    context.clock = deps_.clock;
    context.new_boundary = deps_.new_boundary;
    context.new_message_id = deps_.new_message_id;
    if (!BuildOutgoingMessage(message, context, deps_.work_file)) return SmtpNextMail::Failed;
    if (!message.lan_failures.empty()) lan_copy_failed_ = true;
    in_progress.message_id = std::move(message.message_id);
    current_ = std::move(in_progress);
    mail.sender = account_.adr;
    mail.recipients = std::move(message.recipients);
    mail.message_path = deps_.work_file;
    return SmtpNextMail::Ready;
  }
  return SmtpNextMail::NoneLeft;
}

void SendPipeline::Delivered() {
  const int index = current_ ? IndexOf(current_->mail) : -1;
  if (index >= 0) {
    CMail* record = deps_.box.RecordAt(index);
    record->status = kStatusSent;
    // From now on the record stands for the mail as it went out: a reply
    // to it refers to this id, as a reply to received mail does.
    record->message_id = current_->message_id;
    deps_.box.NoteRecordChanged(index);
    sent_.push_back(current_->mail);
    ++result_.sent;
    if (journal_ && !journal_->Append({current_->fingerprint, current_->message_id})) {
      journal_failed_ = true;
      deps_.ui.ShowMessage(std::string(send_text::kSentJournalUnwritable) + journal_->Path());
    }
  }
  current_.reset();
}

bool SendPipeline::ApplySentJournal() {
  if (!journal_) return true;
  const std::vector<SentJournalEntry> entries = ReadSentJournal(journal_->Path());
  std::vector<std::string> fingerprints(static_cast<std::size_t>(deps_.box.Count()));
  for (const SentJournalEntry& entry : entries) {
    for (int index = 0; index < deps_.box.Count(); ++index) {
      CMail* record = deps_.box.RecordAt(index);
      if (record->status != kStatusUnsent) continue;
      std::string& fingerprint = fingerprints[static_cast<std::size_t>(index)];
      if (fingerprint.empty()) {
        // The journal stays: the mail may be one it names.
        std::optional<std::string> made = FingerprintOf(*record);
        if (!made) return false;
        fingerprint = std::move(*made);
      }
      if (fingerprint != entry.fingerprint) continue;
      // Two equal mails are one each: the marked one is no longer unsent.
      record->status = kStatusSent;
      record->message_id = entry.message_id;
      deps_.box.NoteRecordChanged(index);
      sent_.push_back(record->serial);
      ++result_.recovered;
      break;
    }
  }
  if (result_.recovered > 0) {
    if (deps_.profile.GetInt(kSectionSystem, "SmailDone", 0) != 0) MoveSentMails();
    SaveBox();
    // The journal stays until the marks are on the disk; nothing goes out
    // before, since the next run would otherwise apply it to this run's mails.
    if (deps_.box.IsModified()) return false;
  }
  // Entries that match no unsent mail were saved before the run was cut off.
  (void)journal_->Remove();
  return true;
}

void SendPipeline::SaveBoxAndJournal() {
  SaveBox();
  if (journal_ && !deps_.box.IsModified()) (void)journal_->Remove();
}

SendRunStatus SendPipeline::Checked(SendRunStatus status) const {
  if (status == SendRunStatus::Sent && (lan_copy_failed_ || journal_failed_)) return SendRunStatus::Failed;
  return status;
}

void SendPipeline::RunLanOnly() {
  SendRunStatus status = SendRunStatus::Sent;
  SmtpMail ignored;
  for (;;) {
    const SmtpNextMail next = TakeNext(ignored);
    if (next == SmtpNextMail::NoneLeft) break;
    if (next == SmtpNextMail::Failed) {
      status = SendRunStatus::Failed;
      break;
    }
    Delivered();
  }
  status_window_.reset();
  EndLanRun(status);
}

void SendPipeline::OnSessionFinished(const SmtpSessionResult& session_result) {
  status_window_.reset();
  retired_.push_back(std::move(connection_));
  connection_ = Connection{};
  current_.reset();
  if (session_result.outcome == SmtpOutcome::ConnectFailed) {
    // The user's own cancel needs no error message.
    if (!cancelled_) deps_.ui.ShowMessage(send_text::kCannotConnectSmtp);
    Finish(SendRunStatus::ConnectFailed);
    return;
  }
  EndSmtpRun(session_result.outcome == SmtpOutcome::Sent ? SendRunStatus::Sent : SendRunStatus::Failed);
}

void SendPipeline::EndSmtpRun(SendRunStatus session_status) {
  const SendRunStatus status = Checked(session_status);
  if (!in_send_and_receive_ && account_.auto_dis && deps_.observer != nullptr) {
    deps_.observer->OnDisconnectRequested();
  }
  if (deps_.profile.GetInt(kSectionSystem, "SmailDone", 0) != 0) MoveSentMails();
  SaveBoxAndJournal();
  ShowStatus(send_text::kReady);
  ShowFinishedNotice(status);
  if (deps_.observer != nullptr) {
    deps_.observer->OnLastTimes(FormatLastRunTime(deps_.profile, "Rec", send_text::kLastReceiveFormat),
                                FormatLastRunTime(deps_.profile, "Send", send_text::kLastSendFormat));
  }
  Finish(status);
}

void SendPipeline::ShowFinishedNotice(SendRunStatus status) {
  // After a failure the error has been shown; "finished" would read as if
  // the mail had gone out.
  if (status == SendRunStatus::Sent && !in_send_and_receive_ &&
      deps_.profile.GetInt("View", "SMail", 1) != 0) {
    deps_.ui.Report(send_text::kSendFinished);
  }
}

void SendPipeline::EndLanRun(SendRunStatus run_status) {
  const SendRunStatus status = Checked(run_status);
  ShowFinishedNotice(status);
  // A LAN-only run leaves its mails in the box: nothing is moved.
  SaveBoxAndJournal();
  Finish(status);
}

void SendPipeline::MoveSentMails() {
  // Only the mails the server accepted (or that went to LAN directories
  // alone): a mail the run never sent stays here for the next run.
  std::vector<int> selection;
  for (const RunMail& mail : sent_) {
    const int index = IndexOf(mail);
    if (index >= 0) selection.push_back(index);
  }
  sent_.clear();
  if (selection.empty()) return;
  std::sort(selection.begin(), selection.end());
  EnsureFixedBoxes(deps_.profile);
  const std::string sent_box = deps_.profile.GetString(kSectionSystem, "SendDoneFile", kDefaultSentBoxFile);
  std::unique_ptr<Progress> window = deps_.ui.BeginProgress(send_text::kSendingCaption);
  TransferOptions options;
  if (window) {
    window->SetStatusText(BoxDisplayName(sent_box) + send_text::kMovingSuffix);
    window->SetRange(0, static_cast<int>(selection.size()));
    options.progress = window.get();
  }
  result_.moved += static_cast<int>(MoveTo(deps_.box, selection, sent_box, deps_.registry, options));
  // The records of the run may be gone now.
  run_.clear();
  next_ = 0;
}

void SendPipeline::SaveBox() {
  // The sent marks reach the disk at once: a mail marked sent only in
  // memory would go out a second time after a crash.
  if (!deps_.box.IsModified() || deps_.box.PathName().empty()) return;
  const IndexFileResult saved = deps_.box.Save();
  if (!saved.ok) deps_.ui.ShowMessage(saved.message);
}

void SendPipeline::Finish(SendRunStatus status) {
  result_.status = status;
  running_ = false;
  // A send-and-receive run keeps its busy mark for its receive step; a
  // failed connection clears it all the same.
  const bool keep_busy = in_send_and_receive_ && status != SendRunStatus::ConnectFailed;
  SetMarks(keep_busy, false);
  if (deps_.observer != nullptr) deps_.observer->OnSendRunEnded(result_);
}

}  // namespace lp

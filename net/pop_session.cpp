#include "net/pop_session.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <utility>

#include "net/apop_digest.h"
#include "net/fetched_uid_journal.h"
#include "net/oauth_messages.h"
#include "net/password_refusal.h"
#include "net/pop_messages.h"
#include "net/pop_reply_text.h"
#include "net/uidl_lists.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "store/write_steps.h"

namespace lp {
namespace {

// Only the headers and the first lines of a TOP response are ever looked at.
constexpr std::size_t kMaxTopKept = 1 << 20;
// UIDL: a line is a number, a space and at most 70 characters; the whole
// list is kept in memory to compare it, so it is bounded too.
constexpr std::size_t kMaxUidlLine = 512;
constexpr std::uint64_t kMaxUidlList = 64u << 20;
// A server that streams without end would otherwise fill the disk (RETR)
// or keep the session busy forever (TOP); no real message comes near these.
constexpr std::uint64_t kMaxRetrResponse = 1ull << 30;
constexpr std::uint64_t kMaxTopResponse = 64ull << 20;
constexpr std::uint64_t kProgressUnitThreshold = 50000;
// A CAPA list is a few short lines.
constexpr std::size_t kMaxCapaLine = 1024;
constexpr std::uint64_t kMaxCapaList = 64 * 1024;
// An AUTH command with its initial response stays within this (RFC 5034);
// a longer token follows on a line of its own after the server's "+".
constexpr std::size_t kMaxAuthLine = 255;
constexpr char kMask[] = " ******\r\n";

// The mechanisms of the CAPA "SASL" line; false when there is none.
bool SaslMechanisms(std::string_view capa, std::string& mechanisms) {
  while (!capa.empty()) {
    const std::size_t end = capa.find('\n');
    std::string_view line = capa.substr(0, end);
    capa = end == std::string_view::npos ? std::string_view() : capa.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() >= 4 && (line[0] | 0x20) == 's' && (line[1] | 0x20) == 'a' && (line[2] | 0x20) == 's' &&
        (line[3] | 0x20) == 'l' && (line.size() == 4 || line[4] == ' ')) {
      mechanisms = std::string(line.substr(std::min<std::size_t>(line.size(), 5)));
      return true;
    }
  }
  return false;
}

std::string Joined(std::string_view text, std::string_view detail) {
  std::string joined(text);
  joined.append(detail);
  return joined;
}

std::string Format(const char* pattern, int a) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, a);
  return buffer;
}

std::string Format(const char* pattern, int a, int b) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, a, b);
  return buffer;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

int ClampToInt(std::uint64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

// "+OK count size": false unless both numbers are there.
bool ParseStat(std::string_view line, std::uint64_t& count, std::uint64_t& size) {
  line.remove_prefix(3);
  auto number = [&line](std::uint64_t& value) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc()) return false;
    line.remove_prefix(static_cast<std::size_t>(end - line.data()));
    return true;
  };
  return number(count) && number(size);
}

}  // namespace

CPopSession::CPopSession(Transport& transport, UserInterface& ui, Finished finished)
    : transport_(transport), ui_(ui), finished_(std::move(finished)) {}

CPopSession::~CPopSession() {
  if (Running()) transport_.Close();
}

void CPopSession::StartReceive(const PopSessionSettings& settings) { Start(settings, Mode::Receive); }

void CPopSession::StartDeleteAll(const PopSessionSettings& settings) { Start(settings, Mode::DeleteAll); }

void CPopSession::StartLoginCheck(const PopSessionSettings& settings) { Start(settings, Mode::LoginCheck); }

void CPopSession::Start(const PopSessionSettings& settings, Mode mode) {
  if (Running()) return;  // one dialogue at a time
  settings_ = settings;
  mode_ = mode;
  finished_reported_ = false;
  result_ = PopSessionResult();
  reader_ = PopReplyReader();
  keep_on_server_ = settings.keep_on_server || settings.confirm_each;
  apop_stamp_.clear();
  capa_response_.clear();
  oauth_status_.clear();
  top_response_.clear();
  uidl_response_.clear();
  new_uids_.clear();
  fetch_list_.clear();
  known_list_.clear();
  known_deleted_ = 0;
  journal_.Close();
  uidl_mode_ = false;
  replace_received_list_ = false;
  spool_secured_ = false;
  spool_safe_ = true;
  message_count_ = 0;
  total_size_ = 0;
  bytes_received_ = 0;
  progress_unit_ = 1;
  fetch_count_ = 0;
  deleted_ = 0;
  current_ = 1;

  std::string caption = settings.account_name;
  caption += pop_text::kReceivingFrom;
  progress_ = ui_.BeginProgress(caption);
  state_ = PopState::Connecting;
  SetStatus(pop_text::kInitialising);
  log_.Open(settings.log_path);

  if (mode == Mode::Receive) {
    // What a session that died left noted goes into the received list
    // first, so that this session does not fetch it again.
    if (PathExists(FetchedJournalPathFor(settings.received_uid_list))) {
      (void)SyncFileToDisk(settings.spool_path);
      (void)SettleFetchedJournal(FetchedJournalPathFor(settings.received_uid_list), settings.received_uid_list,
                                 settings.spool_path);
    }
    if (!spool_.Open(settings.spool_path)) {
      Fail(WithPopReply(pop_text::kCannotWrite, settings.spool_path), PopOutcome::ConnectFailed);
      return;
    }
    if (keep_on_server_) {
      current_ = std::max(1, settings.remembered_retr);
      // Without a received list the remembered number cannot be trusted
      // next time; this session still starts from it.
      if (current_ != 1 && !PathExists(settings.received_uid_list)) result_.new_retr = 1;
    }
  }

  if (settings.oauth && settings.tls == TlsMode::None) {
    // A bearer token in clear is as good as the mailbox to whoever reads it.
    Fail(oauth_text::kNeedsTls, PopOutcome::ConnectFailed);
    return;
  }
  if (settings.oauth && settings.access_token.empty()) {
    result_.token_refused = true;
    Fail(oauth_text::kSignInNeeded, PopOutcome::ConnectFailed);
    return;
  }

  SetStatus(pop_text::kConnectingToHost);
  TransportEndpoint endpoint;
  endpoint.host = settings.host;
  endpoint.port = settings.port;
  endpoint.tls = settings.tls;
  endpoint.idle_timeout = settings.idle_timeout;
  transport_.Connect(endpoint, *this);
}

void CPopSession::Cancel() {
  if (!Running()) return;
  const bool before_greeting = state_ == PopState::Connecting || state_ == PopState::Greeting;
  result_.outcome = before_greeting ? PopOutcome::ConnectFailed : PopOutcome::Failed;
  End();
}

void CPopSession::OnConnected() {
  if (state_ != PopState::Connecting) return;
  ExpectStatus(PopState::Greeting);
}

void CPopSession::OnTlsStarted() {
  if (state_ != PopState::TlsHandshake) return;
  BeginLogin();
}

void CPopSession::OnDisconnected(std::string_view reason) {
  if (!Running()) return;
  switch (state_) {
    case PopState::Connecting:
      // The transport names the cause (host not found, certificate) when it knows it.
      Fail(reason.empty() ? std::string_view(pop_text::kCannotConnect) : reason, PopOutcome::ConnectFailed);
      return;
    case PopState::Greeting:
      Fail(pop_text::kCannotConnect, PopOutcome::ConnectFailed);
      return;
    case PopState::TlsHandshake:
      Fail(reason.empty() ? std::string_view(pop_text::kNoResponse) : reason);
      return;
    case PopState::QuitReply:
      // The server closed after QUIT without answering; the dialogue is over.
      End();
      return;
    default:
      Fail(reason.empty() ? std::string(pop_text::kNoResponse) : WithPopReply(pop_text::kNoResponse, reason));
      return;
  }
}

void CPopSession::OnReceived(std::string_view bytes) {
  if (!Running()) return;
  log_.Received(bytes);
  while (!bytes.empty() && Running() && reader_.Waiting()) {
    switch (reader_.Feed(bytes)) {
      case PopReplyReader::Status::Incomplete:
        break;
      case PopReplyReader::Status::Complete:
        HandleReply();
        break;
      case PopReplyReader::Status::LineTooLong:
      case PopReplyReader::Status::TooLarge:
        Fail(pop_text::kBadResponse);
        return;
      case PopReplyReader::Status::SinkFailed:
        Fail(WithPopReply(pop_text::kCannotWrite, settings_.spool_path));
        return;
    }
  }
  // Bytes nobody asked for (a server talking out of turn) are dropped.
}

void CPopSession::HandleReply() {
  // A copy: the reader is re-armed for the next reply below.
  const std::string reply = reader_.StatusLine();
  const bool ok = reader_.IsOk();
  switch (state_) {
    case PopState::Greeting:
      if (!ok) {
        Fail(pop_text::kCannotConnect, PopOutcome::ConnectFailed);
        return;
      }
      apop_stamp_ = ExtractApopStamp(reply);
      if (settings_.tls == TlsMode::StartTls) {
        ExpectStatus(PopState::StlsReply);
        (void)SendCommand("STLS\r\n");
        return;
      }
      BeginLogin();
      return;

    case PopState::StlsReply:
      if (!ok) {
        // Never fall back to a login in clear.
        FailAndQuit(WithPopReply(pop_text::kNoStls, reply));
        return;
      }
      state_ = PopState::TlsHandshake;
      transport_.StartTls();
      return;

    case PopState::UserReply:
      // The USER reply is not judged: a refused user shows as a refused password.
      SetStatus(pop_text::kCheckingPassword);
      ExpectStatus(mode_ == Mode::Receive ? PopState::UidlPassReply : PopState::PassReply);
      (void)SendCommand("PASS " + settings_.password + "\r\n");
      return;

    case PopState::PassReply:
    case PopState::UidlPassReply:
      if (!ok) {
        result_.password_refused = true;
        result_.passwords_off = RefusesPasswordLogins(reply);
        FailAndQuit(result_.passwords_off ? Joined(oauth_text::kPasswordsOff, reply)
                                          : WithPopReply(pop_text::kPasswordError, reply));
        return;
      }
      AfterLogin();
      return;

    case PopState::CapaReply: {
      std::string mechanisms;
      const bool listed = ok && SaslMechanisms(capa_response_, mechanisms);
      capa_response_.clear();
      if (!ChooseOAuthMechanism(listed, mechanisms, mechanism_)) {
        FailAndQuit(oauth_text::kNotOffered);
        return;
      }
      SendOAuth();
      return;
    }

    case PopState::AuthContinue:
      if (reply.rfind("+ ", 0) != 0 && reply != "+") {
        HandleOAuthReply(reply, ok);
        return;
      }
      ExpectStatus(PopState::AuthReply);
      (void)SendSecret(OAuthInitialResponse(mechanism_, settings_.user, settings_.access_token, settings_.host,
                                            settings_.port) +
                           "\r\n",
                       "******\r\n");
      return;

    case PopState::AuthReply:
      HandleOAuthReply(reply, ok);
      return;

    case PopState::AuthFailureEnd:
      // Whatever the server answers, the token was refused.
      result_.token_refused = true;
      FailAndQuit(Joined(oauth_text::kRefused, oauth_status_.empty() ? reply : oauth_status_));
      return;

    case PopState::UidlList: {
      if (!ok) {
        SetStatus(pop_text::kCheckingMail);
        ExpectStatus(PopState::StatReply);
        (void)SendCommand("STAT\r\n");
        return;
      }
      if (!UidlListIsWellFormed(uidl_response_)) {
        FailAndQuit(pop_text::kBadResponse);
        return;
      }
      if (!ReplaceFileAtomically(settings_.new_uid_list, uidl_response_)) {
        FailAndQuit(WithPopReply(pop_text::kCannotWrite, settings_.new_uid_list));
        return;
      }
      const std::optional<std::string> old_list = ReadWholeFile(settings_.received_uid_list);
      new_uids_ = ParseUidlList(uidl_response_);
      uidl_response_.clear();
      uidl_response_.shrink_to_fit();
      const std::vector<int> fresh = NewUidPositions(old_list ? ParseUidlList(*old_list) : std::vector<std::string>(), new_uids_);
      if (!journal_.Open(FetchedJournalPathFor(settings_.received_uid_list))) {
        FailAndQuit(WithPopReply(pop_text::kCannotWrite, FetchedJournalPathFor(settings_.received_uid_list)));
        return;
      }
      uidl_mode_ = true;
      fetch_list_.assign(1, 0);
      fetch_list_.insert(fetch_list_.end(), fresh.begin(), fresh.end());
      if (!keep_on_server_) {
        // Mail received before, while it was left on the server: it is
        // stored, so it goes from the server now instead of coming twice.
        std::size_t next_fresh = 0;
        for (int position = 1; position <= static_cast<int>(new_uids_.size()); ++position) {
          if (next_fresh < fresh.size() && fresh[next_fresh] == position) {
            ++next_fresh;
          } else {
            known_list_.push_back(position);
          }
        }
      }
      fetch_count_ = static_cast<int>(fetch_list_.size());
      current_ = 1;
      message_count_ = ClampToInt(new_uids_.size());
      if (progress_) progress_->SetRange(0, fetch_count_ - 1);
      if (fetch_count_ > 1) {
        ChooseNext();
      } else if (keep_on_server_) {
        Quit();
      } else {
        DeleteKnownStep();
      }
      return;
    }

    case PopState::StatReply: {
      std::uint64_t count = 0;
      if (!ok) {
        FailAndQuit(WithPopReply(pop_text::kError, reply));
        return;
      }
      if (!ParseStat(reply, count, total_size_)) {
        FailAndQuit(pop_text::kBadResponse);
        return;
      }
      // A count past what a message number can be is a lie; the fetch list
      // is a range, never an array of that size.
      if (count >= static_cast<std::uint64_t>(INT_MAX)) {
        FailAndQuit(pop_text::kBadResponse);
        return;
      }
      message_count_ = static_cast<int>(count);
      progress_unit_ = total_size_ > kProgressUnitThreshold ? 100 : 1;
      if (progress_) {
        progress_->SetRange(0, settings_.progress_by_count ? std::max(0, message_count_ - current_)
                                                           : ClampToInt(total_size_ / static_cast<unsigned>(progress_unit_)));
      }
      if (message_count_ == 0) {
        Quit();
        return;
      }
      fetch_list_.clear();
      fetch_count_ = message_count_ + 1;
      if (message_count_ + 1 < current_) {
        current_ = 1;  // fewer messages than remembered: the server was emptied
      } else if (current_ >= 2) {
        ExpectTop(PopState::MessageIdTop);
        (void)SendCommand("TOP " + std::to_string(current_ - 1) + " 0\r\n");
        return;
      }
      ChooseNext();
      return;
    }

    case PopState::MessageIdTop:
      if (!ok) {
        FailAndQuit(WithPopReply(pop_text::kError, reply));
        return;
      }
      if (FirstMessageId(top_response_) != settings_.remembered_message_id) {
        current_ = 1;  // the remembered position no longer holds
      } else if (message_count_ < current_) {
        Quit();
        return;
      }
      ChooseNext();
      return;

    case PopState::ConfirmTop: {
      if (!ok) {
        FailAndQuit(WithPopReply(pop_text::kError, reply));
        return;
      }
      AskAboutMail(SummariseTop(top_response_, MessageAt(current_)));
      return;
    }

    case PopState::IframeTop:
      if (!ok) {
        FailAndQuit(WithPopReply(pop_text::kError, reply));
        return;
      }
      if (HasInlineFrame(top_response_)) {
        AfterMessage(!keep_on_server_);  // set aside unfetched, handled like a fetched one
      } else {
        SendRetr();
      }
      return;

    case PopState::RetrData:
      if (!ok) {
        // The message the count promised is not there.
        FailAndQuit(WithPopReply(pop_text::kError, reply));
        return;
      }
      AfterMessage(!keep_on_server_);
      return;

    case PopState::DeleReply:
      if (current_ < fetch_count_) {
        ChooseNext();
      } else if (keep_on_server_) {
        Quit();
      } else {
        DeleteKnownStep();
      }
      return;

    case PopState::TrimDeleReply:
      TrimStep();
      return;

    case PopState::KnownDeleReply:
      ++known_deleted_;
      DeleteKnownStep();
      return;

    case PopState::RsetReply:
      if (!ok) {
        // Ending without QUIT keeps the server from deleting anything.
        End();
        return;
      }
      SendQuit();
      return;

    case PopState::DeleteAllStat: {
      std::uint64_t count = 0;
      std::uint64_t size = 0;
      if (!ok) {
        FailAndQuit(WithPopReply(pop_text::kError, reply));
        return;
      }
      if (!ParseStat(reply, count, size) || count >= static_cast<std::uint64_t>(INT_MAX)) {
        FailAndQuit(pop_text::kBadResponse);
        return;
      }
      message_count_ = static_cast<int>(count);
      if (message_count_ == 0) {
        Quit();
        return;
      }
      if (progress_) progress_->SetRange(0, message_count_);
      current_ = 1;
      DeleteAllStep();
      return;
    }

    case PopState::DeleteAllDele:
      ++current_;
      DeleteAllStep();
      return;

    case PopState::QuitReply:
      End();
      return;

    default:
      return;
  }
}

void CPopSession::AfterLogin() {
  if (mode_ == Mode::Receive) {
    SetStatus(pop_text::kCheckingNewMail);
    uidl_response_.clear();
    reader_.ExpectMultiLine(
        [this](std::string_view data) {
          uidl_response_.append(data);
          return true;
        },
        kMaxUidlLine, kMaxUidlList);
    state_ = PopState::UidlList;
    (void)SendCommand("UIDL\r\n");
    return;
  }
  if (mode_ == Mode::LoginCheck) {
    SendQuit();
    return;
  }
  SetStatus(pop_text::kCheckingMail);
  ExpectStatus(PopState::DeleteAllStat);
  (void)SendCommand("STAT\r\n");
}

void CPopSession::BeginOAuthLogin() {
  if (!UsableInCommand(settings_.user) || !UsableInCommand(settings_.access_token)) {
    result_.token_refused = true;
    FailAndQuit(oauth_text::kSignInNeeded);
    return;
  }
  SetStatus(pop_text::kCheckingPassword);
  capa_response_.clear();
  reader_.ExpectMultiLine(
      [this](std::string_view data) {
        capa_response_.append(data);
        return true;
      },
      kMaxCapaLine, kMaxCapaList);
  state_ = PopState::CapaReply;
  (void)SendCommand("CAPA\r\n");
}

void CPopSession::SendOAuth() {
  const std::string command = "AUTH " + std::string(MechanismName(mechanism_));
  const std::string response =
      OAuthInitialResponse(mechanism_, settings_.user, settings_.access_token, settings_.host, settings_.port);
  if (command.size() + 1 + response.size() + 2 > kMaxAuthLine) {
    ExpectStatus(PopState::AuthContinue);
    (void)SendCommand(command + "\r\n");
    return;
  }
  ExpectStatus(PopState::AuthReply);
  (void)SendSecret(command + " " + response + "\r\n", command + kMask);
}

void CPopSession::HandleOAuthReply(const std::string& reply, bool ok) {
  if (ok) {
    AfterLogin();
    return;
  }
  if (reply.rfind("+ ", 0) == 0 || reply == "+") {
    // A refusal challenge: the server ends the exchange after our answer.
    oauth_status_ = OAuthFailureStatus(reply.size() > 2 ? std::string_view(reply).substr(2) : std::string_view());
    ExpectStatus(PopState::AuthFailureEnd);
    (void)SendCommand(oauth_status_.empty() ? std::string("*\r\n")
                                            : std::string(OAuthFailureAcknowledgement(mechanism_)) + "\r\n");
    return;
  }
  result_.token_refused = true;
  FailAndQuit(Joined(oauth_text::kRefused, reply));
}

void CPopSession::BeginLogin() {
  SetStatus(pop_text::kHostConnected);
  if (settings_.oauth) {
    BeginOAuthLogin();
    return;
  }
  // A line break in a credential would smuggle a command of its own.
  if (HasLineBreak(settings_.user) || HasLineBreak(settings_.password)) {
    FailAndQuit(pop_text::kPasswordError);
    return;
  }
  if (!settings_.use_apop) {
    ExpectStatus(PopState::UserReply);
    (void)SendCommand("USER " + settings_.user + "\r\n");
    return;
  }
  // The stamp was read from the greeting, before any STLS: it is a public
  // challenge, so its having travelled in clear weakens nothing.
  if (apop_stamp_.empty()) {
    // A digest of the password alone would be a replayable secret.
    FailAndQuit(pop_text::kNoApop);
    return;
  }
  const std::string digest = ApopDigest(apop_stamp_, settings_.password);
  ExpectStatus(mode_ == Mode::Receive ? PopState::UidlPassReply : PopState::PassReply);
  (void)SendCommand("APOP " + settings_.user + " " + digest + "\r\n");
}

int CPopSession::MessageAt(int index) const {
  if (!uidl_mode_) return index;
  if (index < 1 || index >= static_cast<int>(fetch_list_.size())) return 0;
  return fetch_list_[static_cast<std::size_t>(index)];
}

void CPopSession::ChooseNext() {
  state_ = PopState::NextMessage;
  if (current_ >= fetch_count_) {
    if (keep_on_server_) {
      TrimStep();
    } else {
      DeleteKnownStep();
    }
    return;
  }
  const std::string number = std::to_string(MessageAt(current_));
  if (settings_.confirm_each) {
    ExpectTop(PopState::ConfirmTop);
    (void)SendCommand("TOP " + number + " 100\r\n");
  } else if (!settings_.iframe_check) {
    SendRetr();
  } else {
    ExpectTop(PopState::IframeTop);
    (void)SendCommand("TOP " + number + " 20\r\n");
  }
}

void CPopSession::AskAboutMail(const MailSummary& mail) {
  // However long the user takes, the wait is the user's, not the server's.
  state_ = PopState::ConfirmAnswerWait;
  transport_.SetIdleTimerPaused(true);
  ui_.ConfirmMail(mail, questions_.Wrap<ConfirmAnswer>([this](ConfirmAnswer answer) { OnMailAnswered(answer); }));
}

void CPopSession::OnMailAnswered(ConfirmAnswer answer) {
  if (state_ != PopState::ConfirmAnswerWait) return;
  transport_.SetIdleTimerPaused(false);
  switch (answer) {
    case ConfirmAnswer::Receive:
      SendRetr();
      return;
    case ConfirmAnswer::Delete:
      AfterMessage(true);
      return;
    case ConfirmAnswer::Stop:
      Quit();
      return;
    case ConfirmAnswer::Skip:
      ++current_;
      if (current_ < fetch_count_) {
        ChooseNext();
      } else {
        Quit();
      }
      return;
  }
}

void CPopSession::SendRetr() {
  state_ = PopState::SendRetr;
  const int number = MessageAt(current_);
  SetStatus(Format(pop_text::kReceivingMail, number, message_count_));
  if (uidl_mode_ && number >= 1 && static_cast<std::size_t>(number) <= new_uids_.size() &&
      !journal_.Note(spool_.End(), number, new_uids_[static_cast<std::size_t>(number) - 1])) {
    FailAndQuit(WithPopReply(pop_text::kCannotWrite, FetchedJournalPathFor(settings_.received_uid_list)));
    return;
  }
  reader_.ExpectMultiLine([this](std::string_view data) {
    if (!spool_.Append(data)) return false;
    bytes_received_ = std::min(total_size_, bytes_received_ + data.size());
    ShowProgressPosition();
    return true;
  }, 0, kMaxRetrResponse);
  state_ = PopState::RetrData;
  (void)SendCommand("RETR " + std::to_string(number) + "\r\n");
}

void CPopSession::ShowProgressPosition() {
  if (!progress_) return;
  if (uidl_mode_ || settings_.progress_by_count) {
    progress_->SetPosition(current_);
  } else {
    progress_->SetPosition(ClampToInt(bytes_received_ / static_cast<unsigned>(progress_unit_)));
  }
}

void CPopSession::AfterMessage(bool delete_it) {
  ++result_.received;
  const int number = MessageAt(current_);
  ++current_;
  if (!delete_it) {
    ChooseNext();
    return;
  }
  // The server deletes only after QUIT, and the spool is flushed before it.
  ExpectStatus(PopState::DeleReply);
  (void)SendCommand("DELE " + std::to_string(number) + "\r\n");
}

void CPopSession::TrimStep() {
  state_ = PopState::TrimDeleReply;
  if (settings_.server_delete) {
    const long long left = static_cast<long long>(uidl_mode_ ? message_count_ : current_) -
                           std::max(0, settings_.delete_keep) - deleted_ - 1;
    if (left > 0) {
      ++deleted_;
      SetStatus(Format(pop_text::kDeletingMail, deleted_));
      ExpectStatus(PopState::TrimDeleReply);
      (void)SendCommand("DELE " + std::to_string(deleted_) + "\r\n");
      return;
    }
  }
  result_.new_retr = uidl_mode_ ? 1 : (settings_.server_delete ? current_ - deleted_ : current_);
  replace_received_list_ = uidl_mode_ && !settings_.confirm_each;
  Quit();
}

void CPopSession::DeleteKnownStep() {
  if (known_deleted_ >= known_list_.size()) {
    replace_received_list_ = uidl_mode_;
    Quit();
    return;
  }
  const int number = known_list_[known_deleted_];
  SetStatus(Format(pop_text::kDeletingMail, number));
  ExpectStatus(PopState::KnownDeleReply);
  (void)SendCommand("DELE " + std::to_string(number) + "\r\n");
}

void CPopSession::DeleteAllStep() {
  if (current_ > message_count_) {
    result_.new_retr = 1;
    Quit();
    return;
  }
  SetStatus(Format(pop_text::kDeletingMail, current_));
  if (progress_) progress_->SetPosition(current_);
  ExpectStatus(PopState::DeleteAllDele);
  (void)SendCommand("DELE " + std::to_string(current_) + "\r\n");
}

void CPopSession::Quit() {
  state_ = PopState::Quit;
  if (!SecureSpool()) {
    // The server must keep every message: the deletions are taken back.
    ExpectStatus(PopState::RsetReply);
    (void)SendCommand("RSET\r\n");
    return;
  }
  SendQuit();
}

void CPopSession::SendQuit() {
  SetStatus(pop_text::kDisconnecting);
  ExpectStatus(PopState::QuitReply);
  (void)SendCommand("QUIT\r\n");
}

bool CPopSession::SecureSpool() {
  if (spool_secured_) return spool_safe_;
  spool_secured_ = true;
  journal_.Close();
  if (mode_ != Mode::Receive) return true;
  if (!spool_.Close()) {
    spool_safe_ = false;
    result_.spool_not_on_disk = true;
    Report(WithPopReply(pop_text::kCannotWrite, settings_.spool_path));
    return false;
  }
  // The list may say "received" only for mail already on the disk.
  const std::string journal = FetchedJournalPathFor(settings_.received_uid_list);
  if (SettleFetchedJournal(journal, settings_.received_uid_list, settings_.spool_path) == SettleResult::Failed) {
    Report(WithPopReply(pop_text::kCannotWrite, settings_.received_uid_list));
    return true;
  }
  if (replace_received_list_ && result_.outcome == PopOutcome::Completed &&
      !RenameReplace(settings_.new_uid_list, settings_.received_uid_list)) {
    Report(WithPopReply(pop_text::kCannotWrite, settings_.received_uid_list));
  }
  return true;
}

void CPopSession::Report(std::string_view text) {
  ui_.ShowMessage(text);
  if (result_.outcome != PopOutcome::Completed) return;
  result_.outcome = PopOutcome::Failed;
  result_.error_text = std::string(text);
}

bool CPopSession::SendCommand(std::string_view line) {
  log_.Sent(line);
  if (transport_.Send(line)) return true;
  Fail(pop_text::kSendError);
  return false;
}

bool CPopSession::SendSecret(std::string_view line, std::string_view logged) {
  log_.Sent(logged);
  if (transport_.Send(line)) return true;
  Fail(pop_text::kSendError);
  return false;
}

void CPopSession::ExpectStatus(PopState next) {
  reader_.ExpectStatusLine();
  state_ = next;
}

void CPopSession::ExpectTop(PopState next) {
  top_response_.clear();
  reader_.ExpectMultiLine([this](std::string_view data) {
    const std::size_t room = kMaxTopKept - std::min(kMaxTopKept, top_response_.size());
    top_response_.append(data.substr(0, std::min(room, data.size())));
    return true;
  }, 0, kMaxTopResponse);
  state_ = next;
}

void CPopSession::SetStatus(std::string_view text) {
  if (progress_) progress_->SetStatusText(text);
}

void CPopSession::Fail(std::string_view text, PopOutcome outcome) {
  ui_.ShowMessage(text);
  result_.outcome = outcome;
  result_.error_text = std::string(text);
  End();
}

void CPopSession::FailAndQuit(std::string_view text) {
  ui_.ShowMessage(text);
  result_.outcome = PopOutcome::Failed;
  result_.error_text = std::string(text);
  Quit();
}

void CPopSession::End() {
  if (!Running()) return;
  // An answer still to come finds nobody waiting.
  questions_.Withdraw();
  (void)SecureSpool();
  state_ = PopState::Done;
  log_.Close();
  transport_.Close();
  progress_.reset();
  if (finished_reported_) return;
  finished_reported_ = true;
  if (finished_) finished_(result_);
}

}  // namespace lp

#include "net/smtp_session.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

#include "codec/japanese_text.h"
#include "codec/mime_encoding.h"
#include "net/cram_md5.h"
#include "net/oauth_messages.h"
#include "net/password_refusal.h"
#include "net/smtp_messages.h"

namespace lp {
namespace {

// The message goes to the transport in pieces of this size; the session
// never holds more of it at once.
constexpr std::size_t kMessagePiece = 64 * 1024;
// At most this much of the message waits in the transport; the rest is read
// when the transport reports room (OnWritten), so neither side's memory
// grows with the message.
constexpr std::uint64_t kStreamWindow = 4 * kMessagePiece;
constexpr std::uint64_t kProgressUnitThreshold = 50000;
// What the log shows instead of a line that carries a credential.
constexpr char kMaskedLine[] = "******\r\n";

std::string Format(const char* pattern, int a, int b) {
  char buffer[128];
  std::snprintf(buffer, sizeof buffer, pattern, a, b);
  return buffer;
}

std::string Joined(std::string_view text, std::string_view detail) {
  std::string message(text);
  message.append(detail);
  return message;
}

// A line break (or NUL) inside an address or the HELO name would end the
// command early and smuggle in one of its own.
std::string WithoutLineBreaks(std::string_view text) {
  std::string clean;
  clean.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n' && c != '\0') clean += c;
  }
  return clean;
}

// An envelope address as it goes between "<" and ">": without line breaks
// and without the blanks an entry such as "addr (name)" leaves behind,
// which strict servers refuse as a malformed address.
std::string EnvelopeAddress(std::string_view text) {
  std::string clean = WithoutLineBreaks(text);
  const std::size_t first = clean.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const std::size_t last = clean.find_last_not_of(" \t");
  return clean.substr(first, last - first + 1);
}

int ClampToInt(std::uint64_t value) { return value > INT_MAX ? INT_MAX : static_cast<int>(value); }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char x = (a[i] >= 'a' && a[i] <= 'z') ? static_cast<char>(a[i] - 'a' + 'A') : a[i];
    if (x != b[i]) return false;
  }
  return true;
}

// Calls `use` with the keyword and the parameters of every line of an EHLO
// reply ("250-AUTH CRAM-MD5 LOGIN" gives "AUTH" and "CRAM-MD5 LOGIN"; the
// old form "250-AUTH=LOGIN" gives "AUTH" and "LOGIN").
template <typename Use>
void ForEachEhloLine(std::string_view reply, Use use) {
  while (!reply.empty()) {
    const std::size_t end = reply.find('\n');
    std::string_view line = reply.substr(0, end);
    reply = end == std::string_view::npos ? std::string_view() : reply.substr(end + 1);
    if (line.size() < 4) continue;
    line.remove_prefix(4);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t keyword_end = line.find_first_of(" =");
    const std::string_view keyword = line.substr(0, keyword_end);
    use(keyword, keyword_end == std::string_view::npos ? std::string_view() : line.substr(keyword_end + 1));
  }
}

bool OffersStartTls(std::string_view reply) {
  bool offered = false;
  ForEachEhloLine(reply, [&](std::string_view keyword, std::string_view) {
    offered = offered || EqualsIgnoringCase(keyword, "STARTTLS");
  });
  return offered;
}

}  // namespace

SmtpAuthOffer AuthMechanismsOffered(std::string_view ehlo_reply) {
  SmtpAuthOffer offer;
  ForEachEhloLine(ehlo_reply, [&](std::string_view keyword, std::string_view parameters) {
    if (!EqualsIgnoringCase(keyword, "AUTH")) return;
    offer.listed = true;
    while (!parameters.empty()) {
      const std::size_t blank = parameters.find(' ');
      const std::string_view mechanism = parameters.substr(0, blank);
      parameters = blank == std::string_view::npos ? std::string_view() : parameters.substr(blank + 1);
      if (!mechanism.empty()) {
        if (!offer.mechanisms.empty()) offer.mechanisms += ' ';
        offer.mechanisms.append(mechanism);
      }
      offer.cram_md5 = offer.cram_md5 || EqualsIgnoringCase(mechanism, "CRAM-MD5");
      offer.login = offer.login || EqualsIgnoringCase(mechanism, "LOGIN");
    }
  });
  return offer;
}

namespace {

// A message file that does not end with the line "." would leave the
// server waiting, or end inside the data; it comes from a broken build.
bool EndsWithTerminator(File& file, std::uint64_t size) {
  static constexpr std::string_view kEnd = "\r\n.\r\n";
  const std::size_t tail = static_cast<std::size_t>(std::min<std::uint64_t>(size, kEnd.size()));
  char bytes[5];
  if (tail < 3 || !file.Seek(size - tail) || file.ReadFull(bytes, tail) != static_cast<std::int64_t>(tail) ||
      !file.Seek(0)) {
    return false;
  }
  const std::string_view read(bytes, tail);
  return read == kEnd || read == kEnd.substr(2);
}

}  // namespace

// The run of a session started without a queue: the settings' one mail.
class SmtpSession::SingleMail final : public SmtpMailQueue {
 public:
  explicit SingleMail(SmtpMail mail) : mail_(std::move(mail)) {}
  SmtpNextMail TakeNext(SmtpMail& mail) override {
    if (taken_) return SmtpNextMail::NoneLeft;
    taken_ = true;
    mail = mail_;
    return SmtpNextMail::Ready;
  }
  void Delivered() override {}

 private:
  SmtpMail mail_;
  bool taken_ = false;
};

SmtpSession::SmtpSession(Transport& transport, UserInterface& ui, Finished finished)
    : transport_(transport), ui_(ui), finished_(std::move(finished)) {}

SmtpSession::~SmtpSession() {
  if (Running()) transport_.Close();
}

void SmtpSession::Start(const SmtpSessionSettings& settings, Progress* progress, SmtpMailQueue* queue) {
  if (Running()) return;  // one dialogue at a time
  settings_ = settings;
  progress_ = progress;
  single_mail_.reset();
  if (queue == nullptr) {
    single_mail_ = std::make_unique<SingleMail>(settings.mail);
    queue = single_mail_.get();
  }
  queue_ = queue;
  result_ = SmtpSessionResult();
  reader_.Reset();
  mail_ = SmtpMail();
  mail_number_ = 0;
  rcpt_index_ = 0;
  awaiting_dot_reply_ = false;
  awaiting_auth_reply_ = false;
  auth_offer_ = SmtpAuthOffer();
  oauth_status_.clear();
  message_.Close();
  message_size_ = 0;
  progress_divisor_ = 1;

  log_.Open(settings.log_path);
  state_ = SmtpState::Connecting;
  if (settings.oauth && settings.tls == TlsMode::None) {
    // A bearer token in clear is as good as the mailbox to whoever reads it.
    Fail(oauth_text::kNeedsTls, SmtpOutcome::ConnectFailed);
    return;
  }
  if (settings.oauth && (settings.access_token.empty() || !UsableInCommand(settings.access_token) ||
                         !UsableInCommand(settings.user))) {
    result_.token_refused = true;
    Fail(oauth_text::kSignInNeeded, SmtpOutcome::ConnectFailed);
    return;
  }
  SetStatus(smtp_text::kConnecting);
  transport_.Connect(TransportEndpoint{settings.host, settings.port, settings.tls, settings.idle_timeout}, *this);
}

void SmtpSession::Cancel() {
  if (!Running()) return;
  const bool before_greeting = state_ == SmtpState::Connecting || state_ == SmtpState::Greeting;
  result_.outcome = before_greeting ? SmtpOutcome::ConnectFailed : SmtpOutcome::Failed;
  End();
}

void SmtpSession::OnConnected() {
  if (state_ != SmtpState::Connecting) return;
  reader_.Reset();
  state_ = SmtpState::Greeting;
}

void SmtpSession::OnTlsStarted() {
  if (state_ != SmtpState::TlsHandshake) return;
  // Nothing said in clear survives the upgrade.
  reader_.Reset();
  SendGreeting();
}

void SmtpSession::OnDisconnected(std::string_view reason) {
  if (!Running()) return;
  switch (state_) {
    case SmtpState::Connecting:
      // The transport names the cause (host not found, certificate) when it knows it.
      Fail(reason, SmtpOutcome::ConnectFailed);
      return;
    case SmtpState::Greeting:
      Fail(smtp_text::kCannotConnect, SmtpOutcome::ConnectFailed);
      return;
    case SmtpState::QuitReply:
      // The server closed after QUIT without answering; the dialogue is over.
      End();
      return;
    default:
      Fail(reason.empty() ? std::string_view(smtp_text::kNoResponse) : reason);
      return;
  }
}

void SmtpSession::OnReceived(std::string_view bytes) {
  while (!bytes.empty() && Running()) {
    // Bytes that came with or after the answer to STARTTLS were sent in
    // clear; they must never pass for a reply inside TLS.
    if (state_ == SmtpState::Connecting || state_ == SmtpState::TlsHandshake) return;
    switch (reader_.Feed(bytes)) {
      case SmtpReplyReader::Status::Incomplete:
        break;
      case SmtpReplyReader::Status::Complete: {
        // A copy: handling the reply may feed the reader again.
        const std::string reply = reader_.Reply();
        // The classic log starts with the client's first line, not the greeting.
        if (state_ != SmtpState::Greeting) log_.Received(reply);
        HandleReply(reply);
        break;
      }
      case SmtpReplyReader::Status::TooLong:
        if (state_ == SmtpState::Greeting) {
          Fail(smtp_text::kCannotConnect, SmtpOutcome::ConnectFailed);
        } else {
          Fail(smtp_text::kBadResponse);
        }
        return;
    }
  }
}

void SmtpSession::HandleReply(const std::string& reply) {
  const int code = SmtpReplyCode(reply);
  switch (state_) {
    case SmtpState::Greeting:
      // The greeting's code is not examined: a server that turns us away
      // refuses the next command as well.
      if (settings_.tls == TlsMode::StartTls) {
        state_ = SmtpState::TlsEhlo;
        (void)SendCommand("EHLO " + WithoutLineBreaks(settings_.helo_name) + "\r\n");
        return;
      }
      SendGreeting();
      return;

    case SmtpState::TlsEhlo:
      if (code != 250 || !OffersStartTls(reply)) {
        // Never go on in clear when TLS was asked for.
        FailAndQuit(Joined(Joined(smtp_text::kNoStartTls, smtp_text::kColon), reply));
        return;
      }
      state_ = SmtpState::StartTlsReply;
      (void)SendCommand("STARTTLS\r\n");
      return;

    case SmtpState::StartTlsReply:
      if (code != 220) {
        FailAndQuit(Joined(Joined(smtp_text::kNoStartTls, smtp_text::kColon), reply));
        return;
      }
      state_ = SmtpState::TlsHandshake;
      reader_.Reset();
      transport_.StartTls();
      return;

    case SmtpState::Ready:
      // 235 answers the last AUTH step, never the final ".".
      if (code != 250 && (code != 235 || awaiting_dot_reply_)) {
        result_.auth_refused = awaiting_auth_reply_;
        result_.passwords_off = awaiting_auth_reply_ && RefusesPasswordLogins(reply);
        FailAndQuit(Joined(result_.passwords_off ? oauth_text::kPasswordsOff : smtp_text::kErrorOccurred, reply));
        return;
      }
      awaiting_auth_reply_ = false;
      if (awaiting_dot_reply_) {
        // Only the server's yes to the final "." makes a mail delivered.
        awaiting_dot_reply_ = false;
        result_.message_accepted = true;
        ++result_.delivered;
        queue_->Delivered();
      }
      NextMail();
      return;

    case SmtpState::Recipients:
    case SmtpState::LastRecipient: {
      // 251 (not local, will forward) accepts a recipient too.
      const bool accepted = code == 250 || (rcpt_index_ > 0 && code == 251);
      if (!accepted) {
        if (rcpt_index_ > 0) result_.refused_recipients.push_back(mail_.recipients[rcpt_index_ - 1]);
        FailAndQuit(Joined(smtp_text::kErrorOccurred, reply));
        return;
      }
      if (state_ == SmtpState::Recipients) {
        SendRecipient();
      } else {
        SendData();
      }
      return;
    }

    case SmtpState::DataReply:
      // Anything but 354 means the server reads what follows as commands.
      if (code != 354) {
        FailAndQuit(Joined(smtp_text::kErrorOccurred, reply));
        return;
      }
      StreamMessage();
      return;

    case SmtpState::Streaming:
      // A reply before the end of the message refuses it; inside DATA no
      // QUIT can follow.
      Fail(Joined(smtp_text::kErrorOccurred, reply));
      return;

    case SmtpState::AuthStart:
      SetStatus(smtp_text::kAuthStart);
      auth_offer_ = AuthMechanismsOffered(reply);
      StartAuthentication();
      return;

    case SmtpState::CramReply: {
      if (code != 334) {
        if (settings_.auth_mode == SmtpAuthMode::CramMd5) {
          FailAndQuit({});
          return;
        }
        // In clear, LOGIN after a refused CRAM-MD5 is what a man in the
        // middle would provoke to read the password.
        if (settings_.tls == TlsMode::None) {
          FailAndQuit(Joined(smtp_text::kCramRefusedInClear, reply));
          return;
        }
        if (auth_offer_.listed && !auth_offer_.login) {
          FailAndQuit(smtp_text::kAuthNotSupported);
          return;
        }
        SendAuthLogin();
        return;
      }
      const std::string response = CramMd5Response(reply, settings_.user, settings_.password);
      if (response.empty()) {
        FailAndQuit(smtp_text::kAuthNotSupported);
        return;
      }
      state_ = SmtpState::Ready;
      awaiting_auth_reply_ = true;
      if (!SendSecret(response + "\r\n")) return;
      SetStatus(smtp_text::kAuthenticating);
      return;
    }

    case SmtpState::LoginUser:
    case SmtpState::LoginPassword: {
      if (code != 334) {
        FailAndQuit(smtp_text::kAuthNotSupported);
        return;
      }
      const bool user_step = state_ == SmtpState::LoginUser;
      state_ = user_step ? SmtpState::LoginPassword : SmtpState::Ready;
      awaiting_auth_reply_ = !user_step;
      if (!SendSecret(Base64EncodeText(user_step ? settings_.user : settings_.password) + "\r\n")) return;
      SetStatus(user_step ? smtp_text::kAuthUser : smtp_text::kAuthPassword);
      return;
    }

    case SmtpState::OAuthReply:
      if (code == 235) {
        awaiting_auth_reply_ = false;
        NextMail();
        return;
      }
      result_.auth_refused = true;
      result_.token_refused = true;
      if (code == 334) {
        // A refusal challenge: the server ends the exchange after our answer.
        oauth_status_ = OAuthFailureStatus(std::string_view(reply).substr(std::min<std::size_t>(reply.size(), 4)));
        state_ = SmtpState::OAuthFailureEnd;
        (void)SendCommand(oauth_status_.empty() ? std::string("*\r\n")
                                                : std::string(OAuthFailureAcknowledgement(mechanism_)) + "\r\n");
        return;
      }
      FailAndQuit(Joined(oauth_text::kRefused, reply));
      return;

    case SmtpState::OAuthFailureEnd:
      FailAndQuit(Joined(oauth_text::kRefused, oauth_status_.empty() ? std::string_view(reply) : oauth_status_));
      return;

    case SmtpState::QuitReply:
      End();
      return;

    default:
      return;
  }
}

void SmtpSession::SendGreeting() {
  const std::string name = WithoutLineBreaks(settings_.helo_name);
  if (settings_.auth || settings_.oauth) {
    state_ = SmtpState::AuthStart;
    (void)SendCommand("EHLO " + name + "\r\n");
  } else {
    state_ = SmtpState::Ready;
    (void)SendCommand("HELO " + name + "\r\n");
  }
}

void SmtpSession::StartAuthentication() {
  if (settings_.oauth) {
    if (!ChooseOAuthMechanism(auth_offer_.listed, auth_offer_.mechanisms, mechanism_)) {
      FailAndQuit(oauth_text::kNotOffered);
      return;
    }
    SendOAuth();
    return;
  }
  switch (settings_.auth_mode) {
    case SmtpAuthMode::Login:
      state_ = SmtpState::LoginUser;
      (void)SendCommand("AUTH LOGIN\r\n");
      return;
    case SmtpAuthMode::CramMd5:
      break;
    case SmtpAuthMode::Automatic:
      // A server that lists no mechanisms gets the classic first try.
      if (auth_offer_.listed && !auth_offer_.cram_md5) {
        if (!auth_offer_.login) {
          FailAndQuit(smtp_text::kAuthNotSupported);
          return;
        }
        SendAuthLogin();
        return;
      }
      break;
  }
  state_ = SmtpState::CramReply;
  (void)SendCommand("AUTH CRAM-MD5\r\n");
}

void SmtpSession::SendOAuth() {
  SetStatus(smtp_text::kAuthenticating);
  const std::string command = "AUTH " + std::string(MechanismName(mechanism_));
  state_ = SmtpState::OAuthReply;
  awaiting_auth_reply_ = true;
  (void)SendLogged(command + " " +
                       OAuthInitialResponse(mechanism_, settings_.user, settings_.access_token, settings_.host,
                                            settings_.port) +
                       "\r\n",
                   command + " " + kMaskedLine);
}

void SmtpSession::SendAuthLogin() {
  SetStatus(smtp_text::kPlainAuthStart);
  state_ = SmtpState::LoginUser;
  (void)SendCommand("AUTH LOGIN\r\n");
}

void SmtpSession::NextMail() {
  for (;;) {
    SmtpMail next;
    switch (queue_->TakeNext(next)) {
      case SmtpNextMail::NoneLeft:
        Quit();
        return;
      case SmtpNextMail::Failed:
        // The preparer has told the user; this mail stays unsent.
        result_.outcome = SmtpOutcome::Failed;
        Quit();
        return;
      case SmtpNextMail::Ready:
        break;
    }
    mail_ = std::move(next);
    ++mail_number_;
    result_.message_accepted = false;
    result_.refused_recipients.clear();
    if (mail_.recipients.empty()) {
      // LAN only: the build delivered it.
      ++result_.delivered;
      queue_->Delivered();
      continue;
    }
    rcpt_index_ = 0;
    state_ = SmtpState::Recipients;
    (void)SendCommand("MAIL FROM:<" + EnvelopeAddress(mail_.sender) + ">\r\n");
    return;
  }
}

void SmtpSession::SendRecipient() {
  const std::size_t count = mail_.recipients.size();
  SetStatus(Format(smtp_text::kSendingRecipient, ClampToInt(rcpt_index_ + 1), ClampToInt(count)));
  const std::string& recipient = mail_.recipients[rcpt_index_];
  ++rcpt_index_;
  state_ = rcpt_index_ < count ? SmtpState::Recipients : SmtpState::LastRecipient;
  (void)SendCommand("RCPT TO:<" + EnvelopeAddress(recipient) + ">\r\n");
}

void SmtpSession::SendData() {
  SetStatus(Format(smtp_text::kSendingMail, mail_number_, std::max(mail_number_, settings_.mail_total)));
  message_.Close();
  std::optional<std::uint64_t> size;
  if (!message_.Open(mail_.message_path, File::Mode::Read) || !(size = message_.Size()) ||
      !EndsWithTerminator(message_, *size)) {
    message_.Close();
    FailAndQuit(Joined(smtp_text::kWorkFileUnreadable, mail_.message_path));
    return;
  }
  message_size_ = *size;
  message_sent_ = 0;
  progress_divisor_ = message_size_ > kProgressUnitThreshold ? 100 : 1;
  if (progress_ != nullptr) {
    progress_->SetRange(0, ClampToInt(message_size_ / static_cast<unsigned>(progress_divisor_)));
    progress_->SetPosition(0);
  }
  state_ = SmtpState::DataReply;
  (void)SendCommand("DATA\r\n");
}

void SmtpSession::OnWritten() {
  if (state_ == SmtpState::Streaming) StreamMessage();
}

void SmtpSession::StreamMessage() {
  state_ = SmtpState::Streaming;
  message_piece_.resize(kMessagePiece);
  // Exactly the bytes measured, so the "." checked before DATA is the end.
  while (message_sent_ < message_size_) {
    // Would block: OnWritten goes on from here.
    if (transport_.QueuedBytes() >= kStreamWindow) return;
    const auto want =
        static_cast<std::size_t>(std::min<std::uint64_t>(kMessagePiece, message_size_ - message_sent_));
    const std::int64_t got = message_.ReadFull(message_piece_.data(), want);
    if (got != static_cast<std::int64_t>(want)) {
      // Inside DATA no QUIT can be sent; closing makes the server drop the mail.
      Fail(Joined(smtp_text::kWorkFileUnreadable, mail_.message_path));
      return;
    }
    const std::string_view bytes(message_piece_.data(), want);
    // Received() writes bytes as they are; Sent() would take a piece that
    // happens to start with "pass" for a password line.
    log_.Received(bytes);
    if (!transport_.Send(bytes)) {
      Fail(smtp_text::kSendError);
      return;
    }
    message_sent_ += want;
    if (progress_ != nullptr) {
      progress_->SetPosition(ClampToInt(message_sent_ / static_cast<unsigned>(progress_divisor_)));
    }
  }
  message_.Close();
  awaiting_dot_reply_ = true;
  state_ = SmtpState::Ready;
}

void SmtpSession::Quit() {
  message_.Close();
  state_ = SmtpState::QuitReply;
  SetStatus(smtp_text::kDisconnecting);
  log_.Sent("QUIT\r\n");
  // A QUIT that cannot leave changes nothing about the mails.
  if (!transport_.Send("QUIT\r\n")) End();
}

bool SmtpSession::SendCommand(std::string_view line) {
  std::string converted;
  (void)SjisToJis(line, converted);
  return SendLogged(converted, converted);
}

bool SmtpSession::SendSecret(std::string_view line) { return SendLogged(line, kMaskedLine); }

bool SmtpSession::SendLogged(std::string_view bytes, std::string_view logged) {
  log_.Sent(logged);
  if (transport_.Send(bytes)) return true;
  Fail(smtp_text::kSendError);
  return false;
}

void SmtpSession::SetStatus(std::string_view text) {
  if (progress_ != nullptr) progress_->SetStatusText(text);
}

void SmtpSession::Report(std::string_view text, SmtpOutcome outcome) {
  if (!text.empty()) ui_.ShowMessage(text);
  result_.outcome = outcome;
  result_.error_text = std::string(text);
}

void SmtpSession::Fail(std::string_view text, SmtpOutcome outcome) {
  Report(text, outcome);
  End();
}

void SmtpSession::FailAndQuit(std::string_view text) {
  Report(text, SmtpOutcome::Failed);
  Quit();
}

void SmtpSession::End() {
  if (!Running()) return;
  state_ = SmtpState::Done;
  message_.Close();
  log_.Close();
  transport_.Close();
  if (finished_) finished_(result_);
}

}  // namespace lp

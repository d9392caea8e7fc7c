#include "app/account_check.h"

#include <utility>

#include "app/mail_controller.h"
#include "net/pop_session.h"
#include "net/send_pipeline.h"
#include "net/smtp_session.h"
#include "platform/user_interface.h"

namespace lp {

namespace {

// Passes the session's status texts on; the check cannot be cancelled
// through it (AccountCheck::Cancel ends it).
class StatusProgress final : public Progress {
 public:
  explicit StatusProgress(const AccountCheck::Status& status) : status_(status) {}
  void SetRange(int, int) override {}
  void SetPosition(int) override {}
  void SetStatusText(std::string_view text) override {
    if (status_) status_(text);
  }
  bool CancelRequested() override { return false; }

 private:
  const AccountCheck::Status& status_;
};

// No SMTP mail: the session greets, authenticates and quits.
class NoMail final : public SmtpMailQueue {
 public:
  SmtpNextMail TakeNext(SmtpMail&) override { return SmtpNextMail::NoneLeft; }
  void Delivered() override {}
};

NoMail no_mail;

}  // namespace

// The sessions' messages are kept as the result's texts, never shown.
class AccountCheck::QuietUi final : public UserInterface {
 public:
  explicit QuietUi(Status status) : status_(std::move(status)) {}
  void ShowMessage(std::string_view) override {}
  Answer Ask(std::string_view, MessageButtons) override { return Answer::Cancel; }
  std::unique_ptr<Progress> BeginProgress(std::string_view) override {
    return std::make_unique<StatusProgress>(status_);
  }
  std::optional<std::string> ChooseFile(const FileChoice&) override { return std::nullopt; }

 private:
  Status status_;
};

AccountCheck::AccountCheck(TransportFactory transports, Finished finished, Status status)
    : transports_(std::move(transports)),
      finished_(std::move(finished)),
      ui_(std::make_unique<QuietUi>(std::move(status))) {}

AccountCheck::~AccountCheck() {
  *alive_ = false;
  Cancel();
}

void AccountCheck::Start(const CSetMenuArray& accounts, std::size_t index, const Profile& profile) {
  if (running_ || index >= accounts.Count()) return;
  running_ = true;
  account_ = accounts.At(index);
  result_ = AccountCheckResult();
  if (account_.pop.empty()) {
    StartSmtp();
    return;
  }
  PopSessionSettings settings = MailController::SessionSettings(accounts, index, profile);
  settings.log_path.clear();  // the last receive's log stays
  settings.confirm_each = false;
  result_.pop.tried = true;
  if (!settings.oauth) {
    StartPop(std::move(settings));
    return;
  }
  WithToken(
      result_.pop,
      [this, settings](OAuthLogin login) mutable {
        settings.user = std::move(login.user);
        settings.access_token = std::move(login.access_token);
        StartPop(std::move(settings));
      },
      [this] { StartSmtp(); });
}

void AccountCheck::WithToken(LoginCheckOutcome& outcome, std::function<void(OAuthLogin)> go,
                             std::function<void()> skip) {
  if (oauth_ == nullptr) {
    // The session itself says that a sign-in is needed.
    go(OAuthLogin{});
    return;
  }
  oauth_->Prepare(account_, [this, &outcome, alive = std::weak_ptr<bool>(alive_), go = std::move(go),
                             skip = std::move(skip)](OAuthLogin login) {
    const std::shared_ptr<bool> still = alive.lock();
    if (!still || !running_) return;  // gone or cancelled
    if (!login.ok) {
      outcome.error_text = login.message;
      skip();
      return;
    }
    go(std::move(login));
  });
}

void AccountCheck::StartPop(PopSessionSettings settings) {
  pop_.reset();
  pop_transport_ = transports_();
  pop_ = std::make_unique<CPopSession>(*pop_transport_, *ui_, [this](const PopSessionResult& pop) {
    if (!running_) return;  // cancelled
    result_.pop.ok = pop.outcome == PopOutcome::Completed;
    result_.pop.password_refused = pop.password_refused;
    result_.pop.error_text = pop.error_text;
    if (pop.token_refused && oauth_ != nullptr) oauth_->Refused(account_);
    StartSmtp();
  });
  pop_->StartLoginCheck(settings);
}

void AccountCheck::StartSmtp() {
  if (account_.smtp.empty()) {
    Finish();
    return;
  }
  SmtpSessionSettings settings = SendPipeline::SessionSettings(account_);
  settings.log_path.clear();  // the last send's log stays
  result_.smtp.tried = true;
  if (!settings.oauth) {
    StartSmtpSession(std::move(settings));
    return;
  }
  WithToken(
      result_.smtp,
      [this, settings](OAuthLogin login) mutable {
        settings.user = std::move(login.user);
        settings.access_token = std::move(login.access_token);
        StartSmtpSession(std::move(settings));
      },
      [this] { Finish(); });
}

void AccountCheck::StartSmtpSession(SmtpSessionSettings settings) {
  smtp_.reset();
  smtp_transport_ = transports_();
  smtp_ = std::make_unique<SmtpSession>(*smtp_transport_, *ui_, [this](const SmtpSessionResult& smtp) {
    if (!running_) return;  // cancelled
    result_.smtp.ok = smtp.outcome == SmtpOutcome::Sent;
    result_.smtp.password_refused = smtp.auth_refused && !smtp.token_refused;
    result_.smtp.error_text = smtp.error_text;
    if (smtp.token_refused && oauth_ != nullptr) oauth_->Refused(account_);
    Finish();
  });
  smtp_->Start(settings, nullptr, &no_mail);
}

void AccountCheck::Finish() {
  running_ = false;
  if (finished_) finished_(result_);
}

void AccountCheck::Cancel() {
  if (!running_) return;
  running_ = false;
  if (pop_) pop_->Cancel();
  if (smtp_) smtp_->Cancel();
}

}  // namespace lp

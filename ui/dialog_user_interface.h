#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "platform/user_interface.h"

// The core's messages, questions, progress windows and file choices as Qt
// dialogs over the main window.

namespace lp {

class DialogUserInterface final : public UserInterface {
 public:
  explicit DialogUserInterface(QWidget* parent = nullptr) : parent_(parent) {}

  void SetParent(QWidget* parent) { parent_ = parent; }
  // What the cancel button of a progress window runs besides raising its flag.
  void SetCancelAction(std::function<void()> action) { cancel_action_ = std::move(action); }

  // Where routine reports go instead of a message box (the status bar);
  // the sink answers false when the user wants the boxes.
  void SetReportSink(std::function<bool(const QString&)> sink) { report_sink_ = std::move(sink); }

  // Failures and warnings: a modal box with the error icon.
  void ShowMessage(std::string_view text) override;
  void Inform(std::string_view text) override;
  void Report(std::string_view text) override;
  [[nodiscard]] Answer Ask(std::string_view text, MessageButtons buttons) override;
  // Without a nested event loop: the box shows and the handler hears the
  // answer when the user gives it; closing the box is the cautious answer.
  void AskLater(std::string_view text, MessageButtons buttons, AnswerHandler answered) override;
  // A window with the mail's To, From, Subject and first body lines and the
  // four answers; closing it stops the receive.
  void ConfirmMail(const MailSummary& mail, ConfirmHandler answered) override;
  [[nodiscard]] std::unique_ptr<Progress> BeginProgress(std::string_view caption) override;
  [[nodiscard]] std::optional<std::string> ChooseFile(const FileChoice& choice) override;

 private:
  QPointer<QWidget> parent_;
  std::function<void()> cancel_action_;
  std::function<bool(const QString&)> report_sink_;
};

}  // namespace lp

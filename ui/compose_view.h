#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <ctime>
#include <functional>
#include <optional>

#include "app/compose_form.h"
#include "app/compose_save.h"
#include "config/account_table.h"
#include "config/profile.h"
#include "platform/user_interface.h"
#include "store/held_mail.h"
#include "store/open_box_registry.h"
#include "ui/mail_editor.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// The compose window: the header fields (To, From, Subject, Cc, Bcc,
// Attach) behind buttons that fill them, the signature choice and the body
// in the mail editor. It shows a form the compose core filled for one way
// of opening it and saves the result through the core: send (queued),
// save, or save the edited mail and stay open. Closing with changes asks
// whether to save, discard or move the mail.

namespace lp {

enum class ComposeMode { New, Reply, Forward, Mailto, Edit };

// The close dialog's answer.
enum class ComposeCloseAnswer { Save, Discard, Move, Cancel };

enum class ComposeField { To, From, Subject, Cc, Bcc, Attach };

// What the window asks of its surroundings; tests give their own.
struct ComposeServices {
  UserInterface* ui = nullptr;           // messages, questions, file choices
  OpenBoxRegistry* registry = nullptr;   // open boxes a save or move keeps current
  const CSetMenuArray* accounts = nullptr;  // the From button's choice
  // The close dialog, given the move button's text. Empty: the dialog.
  std::function<ComposeCloseAnswer(const QString& move_text)> ask_close;
  // An address for To, Cc or Bcc from the address book; empty when the
  // user cancels. Empty function: the buttons only focus their field.
  std::function<QString()> pick_address;
  // The address-book entries To, Cc and Bcc complete from while typing.
  QStringList address_entries;
  // Now, for the saved mail's date and the inserted date. Empty: the clock.
  std::function<std::time_t()> clock;
};

class ComposeView final : public QWidget {
  Q_OBJECT

 public:
  // `mail` is the window's box with the edited mail (ComposeMode::Edit), or
  // with no mail: the box then takes the new mail.
  ComposeView(HeldMail mail, ComposeMode mode, const ComposeForm& form, Profile& profile, ComposeServices services,
              QWidget* parent = nullptr);

  // The form as the fields show it now.
  [[nodiscard]] ComposeForm Form() const;
  // Any field, the signature choice or the body changed since the window
  // opened or was last saved.
  [[nodiscard]] bool IsChanged() const;
  [[nodiscard]] QString Title() const;
  [[nodiscard]] ComposeMode mode() const { return mode_; }
  [[nodiscard]] QLineEdit& field(ComposeField which) { return *fields_[static_cast<std::size_t>(which)]; }
  [[nodiscard]] QComboBox& signature() { return *signature_; }
  [[nodiscard]] MailEditor& body() { return *body_; }
  [[nodiscard]] CLPOSTDoc& box() { return *mail_.box(); }
  // The text of the close dialog's move button for this mail.
  [[nodiscard]] QString MoveButtonText() const;

  // A reply marks the replied mail (found by its serial) once it is saved.
  void SetRepliedMail(BoxHandle box, std::uint64_t serial);

  // The three save commands; Send and Save close the window. False when
  // the mail could not be saved (the window keeps the user's text).
  bool Save(ComposeSave command);
  // "破棄": asks when something changed, then closes without saving.
  void Discard();
  void ApplyTemplate();
  void SaveAsTemplate();
  void InsertTextFile();
  // "%Y/%m/%d" at the caret.
  void InsertDate();
  // Sets the Attach field to a file (Shift_JIS path).
  void Attach(const std::string& sjis_path);
  // Shows or hides the header area ("▼" / "▲").
  void SetHeaderAreaVisible(bool visible);
  [[nodiscard]] bool HeaderAreaVisible() const;

 signals:
  // "%02d:%02d" of the body's caret, for the status bar.
  void caretPositionChanged(const QString& text);
  // A command for the main window (keys bound in the key table).
  void commandRequested(int command);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildForm();
  void SetForm(const ComposeForm& form);
  void MarkUnchanged();
  void ChooseAccount();
  void PickAddress(ComposeField which);
  void ChooseAttachment();
  void CloseWindow();
  [[nodiscard]] std::time_t Now() const;
  // The edited mail's status now, or as last seen when it left the box;
  // nullopt for a new mail.
  [[nodiscard]] std::optional<int> EditedStatus() const;

  HeldMail mail_;  // the window's box and the edited mail
  std::optional<int> edited_status_;  // as last seen
  ComposeMode mode_;
  Profile& profile_;
  ComposeServices services_;
  ComposeWindowSettings settings_;
  std::string references_;
  std::array<QLineEdit*, 6> fields_{};
  QComboBox* signature_ = nullptr;
  int saved_signature_ = 0;
  MailEditor* body_ = nullptr;
  QWidget* header_area_ = nullptr;
  QPushButton* header_toggle_ = nullptr;
  HeldMail replied_;
  bool closing_ = false;  // saved or discarded: close without asking
  bool in_close_event_ = false;
};

}  // namespace lp

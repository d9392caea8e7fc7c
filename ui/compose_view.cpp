#include "ui/compose_view.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/compose_files.h"
#include "codec/date_header.h"
#include "config/signatures.h"
#include "ui/address_completer.h"
#include "ui/compose_messages.h"
#include "ui/own_mnemonics.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The body as the record keeps it (CR LF) and as the editor shows it (LF).
std::string BodyFromEditor(const QString& text) {
  const std::string sjis = ToSjis(text);
  std::string body;
  body.reserve(sjis.size() + sjis.size() / 32);
  for (const char c : sjis) {
    if (c == '\n') body += '\r';
    body += c;
  }
  return body;
}
QString BodyForEditor(std::string_view body) {
  QString text = FromSjis(body);
  text.remove(QLatin1Char('\r'));
  return text;
}

ComposeCloseAnswer AskInDialog(QWidget* parent, const QString& move_text) {
  QMessageBox box(parent);
  box.setWindowTitle(U(compose_text::kCloseTitle));
  box.setText(U(compose_text::kCloseQuestion));
  QPushButton* save = box.addButton(U(compose_text::kCloseSave), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(U(compose_text::kCloseDiscard), QMessageBox::DestructiveRole);
  QPushButton* move = box.addButton(move_text, QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton(U(compose_text::kCancel), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  (void)box.exec();
  if (box.clickedButton() == save) return ComposeCloseAnswer::Save;
  if (box.clickedButton() == discard) return ComposeCloseAnswer::Discard;
  if (box.clickedButton() == move) return ComposeCloseAnswer::Move;
  return ComposeCloseAnswer::Cancel;
}

constexpr std::array<const char*, 6> kFieldLabels = {compose_text::kTo,  compose_text::kFrom, compose_text::kSubject,
                                                     compose_text::kCc,  compose_text::kBcc,  compose_text::kAttach};
constexpr std::array<const char*, 6> kFieldNames = {"to", "from", "subject", "cc", "bcc", "attach"};

}  // namespace

ComposeView::ComposeView(HeldMail mail, ComposeMode mode, const ComposeForm& form, Profile& profile,
                         ComposeServices services, QWidget* parent)
    : QWidget(parent), mail_(std::move(mail)), mode_(mode), profile_(profile), services_(std::move(services)),
      settings_(LoadComposeWindowSettings(profile)) {
  edited_status_ = EditedStatus();
  setObjectName(QStringLiteral("composeView"));
  setAcceptDrops(true);
  BuildForm();
  SetForm(form);
  MarkUnchanged();
  setWindowTitle(Title());
}

void ComposeView::BuildForm() {
  new OwnMnemonics(*this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);

  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("composeToolBar"));
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const auto add = [&](const char* text, const char* name, auto slot) {
    QAction* action = bar->addAction(U(text), this, slot);
    action->setObjectName(QLatin1String(name));
  };
  add(compose_text::kApplyTemplate, "applyTemplateAction", [this] { ApplyTemplate(); });
  add(compose_text::kSaveTemplate, "saveTemplateAction", [this] { SaveAsTemplate(); });
  add(compose_text::kInsertFile, "insertFileAction", [this] { InsertTextFile(); });
  add(compose_text::kInsertDate, "insertDateAction", [this] { InsertDate(); });
  add(compose_text::kSaveEdited, "saveEditedAction", [this] { (void)Save(ComposeSave::SaveEdited); });
  layout->addWidget(bar);

  auto* buttons = new QHBoxLayout;
  const auto button = [&](const QString& text, const char* name) {
    auto* push = new QPushButton(text, this);
    push->setObjectName(QLatin1String(name));
    push->setAutoDefault(false);
    buttons->addWidget(push);
    return push;
  };
  connect(button(U(compose_text::kSend), "sendButton"), &QPushButton::clicked, this,
          [this] { (void)Save(ComposeSave::Send); });
  connect(button(U(settings_.draft_box_in_use ? compose_text::kDraft : compose_text::kSave), "saveButton"),
          &QPushButton::clicked, this, [this] { (void)Save(ComposeSave::Save); });
  connect(button(U(compose_text::kDiscard), "discardButton"), &QPushButton::clicked, this, [this] { Discard(); });
  buttons->addStretch();
  header_toggle_ = button(U(compose_text::kHideHeader), "headerToggle");
  connect(header_toggle_, &QPushButton::clicked, this, [this] { SetHeaderAreaVisible(!HeaderAreaVisible()); });
  layout->addLayout(buttons);

  header_area_ = new QWidget(this);
  auto* grid = new QGridLayout(header_area_);
  grid->setContentsMargins(0, 0, 0, 0);
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    auto* label = new QPushButton(U(kFieldLabels[i]), header_area_);
    label->setAutoDefault(false);
    label->setObjectName(QLatin1String(kFieldNames[i]) + QLatin1String("Button"));
    auto* edit = new QLineEdit(header_area_);
    edit->setObjectName(QLatin1String(kFieldNames[i]));
    fields_[i] = edit;
    const int row = static_cast<int>(i);
    grid->addWidget(label, row, 0);
    grid->addWidget(edit, row, 1);
    const auto which = static_cast<ComposeField>(i);
    connect(label, &QPushButton::clicked, this, [this, which] {
      switch (which) {
        case ComposeField::From: ChooseAccount(); break;
        case ComposeField::Attach: ChooseAttachment(); break;
        case ComposeField::Subject: field(which).setFocus(); break;
        default: PickAddress(which); break;
      }
    });
    connect(edit, &QLineEdit::textChanged, this, [this] { setWindowTitle(Title()); });
    const bool address_field = which == ComposeField::To || which == ComposeField::Cc || which == ComposeField::Bcc;
    if (address_field && !services_.address_entries.isEmpty()) new AddressCompleter(*edit, services_.address_entries);
  }
  signature_ = new QComboBox(header_area_);
  signature_->setObjectName(QStringLiteral("signature"));
  signature_->addItem(U(compose_text::kNoSignature));
  CSigneMenuArray signatures;
  signatures.Load(profile_);
  for (std::size_t n = 1; n <= signatures.Count(); ++n) signature_->addItem(FromSjis(signatures.At(n).name));
  grid->addWidget(signature_, static_cast<int>(fields_.size()), 1);
  layout->addWidget(header_area_);

  body_ = new MailEditor(EditorMode::Compose, this);
  body_->setObjectName(QStringLiteral("body"));
  body_->ApplyFontSettings(profile_, "SFont");
  body_->SetWrapAtWindowEdge(profile_.GetInt("System", "Wrap", 1) != 0);
  layout->addWidget(body_, 1);
  connect(body_, &MailEditor::caretMoved, this, [this] { emit caretPositionChanged(body_->CaretPositionText()); });
  connect(body_, &MailEditor::commandRequested, this, &ComposeView::commandRequested);
  setFocusProxy(body_);
}

void ComposeView::SetForm(const ComposeForm& form) {
  const std::array<const std::string*, 6> values = {&form.to, &form.from, &form.subject,
                                                    &form.cc, &form.bcc,  &form.attach};
  for (std::size_t i = 0; i < fields_.size(); ++i) fields_[i]->setText(FromSjis(*values[i]));
  const int signature = form.signature >= 0 && form.signature < signature_->count() ? form.signature : 0;
  signature_->setCurrentIndex(signature);
  body_->setPlainText(BodyForEditor(form.body));
  body_->moveCursor(QTextCursor::Start);
  references_ = form.references;
}

ComposeForm ComposeView::Form() const {
  ComposeForm form;
  std::array<std::string*, 6> values = {&form.to, &form.from, &form.subject, &form.cc, &form.bcc, &form.attach};
  for (std::size_t i = 0; i < fields_.size(); ++i) *values[i] = ToSjis(fields_[i]->text());
  form.signature = signature_->currentIndex();
  form.body = BodyFromEditor(body_->toPlainText());
  form.references = references_;
  return form;
}

void ComposeView::MarkUnchanged() {
  for (QLineEdit* edit : fields_) edit->setModified(false);
  body_->document()->setModified(false);
  saved_signature_ = signature_->currentIndex();
}

bool ComposeView::IsChanged() const {
  for (const QLineEdit* edit : fields_) {
    if (edit->isModified()) return true;
  }
  return body_->document()->isModified() || signature_->currentIndex() != saved_signature_;
}

QString ComposeView::Title() const {
  if (mode_ == ComposeMode::New) return U(compose_text::kNewMailTitle);
  return fields_[static_cast<std::size_t>(ComposeField::Subject)]->text() + QStringLiteral(" to ") +
         fields_[static_cast<std::size_t>(ComposeField::To)]->text();
}

QString ComposeView::MoveButtonText() const {
  if (!settings_.draft_box_in_use) return U(compose_text::kMoveSaveAsSent);
  // A mail waiting in the send queue goes back there; any other mail is a draft.
  if (EditedStatus() == kStatusUnsent) return U(compose_text::kMoveToSendBox);
  return U(compose_text::kMoveToDraftBox);
}

std::optional<int> ComposeView::EditedStatus() const {
  if (const CMail* edited = mail_.Record()) return edited->status;
  return edited_status_;
}

void ComposeView::SetRepliedMail(BoxHandle box, std::uint64_t serial) { replied_ = HeldMail(std::move(box), serial); }

std::time_t ComposeView::Now() const { return services_.clock ? services_.clock() : std::time(nullptr); }

bool ComposeView::Save(ComposeSave command) {
  CLPOSTDoc& box = *mail_.box();
  edited_status_ = EditedStatus();
  const ComposeSavePlan plan = PlanComposeSave(command, box.PathName(), edited_status_, settings_);
  // The destination is held open so that the saved mail's place is known
  // (an edited mail that stays open is edited there next time).
  BoxHandle destination;
  if (!plan.destination.empty() && services_.registry != nullptr) {
    destination = services_.registry->Acquire(plan.destination).box;
  }
  const ComposeTarget target{box, mail_.serial(), services_.registry, edited_status_};
  const std::optional<SavedMail> saved = SaveComposedMail(Form(), command, target, settings_, Now());
  if (!saved) return false;
  if (replied_.Record() != nullptr) MarkReplied(*replied_.box(), replied_.Row());
  replied_ = HeldMail();
  if (command != ComposeSave::SaveEdited) {
    CloseWindow();
    return true;
  }
  BoxHandle saved_in = mail_.box();
  if (destination && destination->PathName() != box.PathName()) saved_in = std::move(destination);
  mail_ = HeldMail(std::move(saved_in), saved->serial);
  edited_status_ = EditedStatus();
  mode_ = ComposeMode::Edit;
  MarkUnchanged();
  setWindowTitle(Title());
  return true;
}

void ComposeView::Discard() {
  if (IsChanged() && services_.ui != nullptr &&
      services_.ui->Ask(ToSjis(U(compose_text::kAskDiscard)), MessageButtons::OkCancel) != Answer::Ok) {
    return;
  }
  CloseWindow();
}

void ComposeView::CloseWindow() {
  closing_ = true;
  // Inside the close dialog the window is already closing.
  if (in_close_event_) return;
  if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget())) {
    frame->close();
  } else {
    close();
  }
}

void ComposeView::closeEvent(QCloseEvent* event) {
  if (closing_ || !IsChanged()) {
    closing_ = true;
    event->accept();
    return;
  }
  const QString move_text = MoveButtonText();
  const ComposeCloseAnswer answer =
      services_.ask_close ? services_.ask_close(move_text) : AskInDialog(this, move_text);
  bool close = false;
  in_close_event_ = true;
  switch (answer) {
    case ComposeCloseAnswer::Save:
      close = Save(ComposeSave::Save);
      break;
    case ComposeCloseAnswer::Move:
      close = Save(move_text == U(compose_text::kMoveToSendBox) ? ComposeSave::Send : ComposeSave::Save);
      break;
    case ComposeCloseAnswer::Discard:
      close = true;
      break;
    case ComposeCloseAnswer::Cancel:
      break;
  }
  in_close_event_ = false;
  // A save that failed, and a cancel, keep the window with the user's text.
  closing_ = close;
  event->setAccepted(close);
}

void ComposeView::ApplyTemplate() {
  if (services_.ui == nullptr) return;
  const std::optional<std::string> path = services_.ui->ChooseFile({ToSjis(U(compose_text::kTemplateTitle)), "", false});
  if (!path) return;
  ComposeForm form = Form();
  if (!ApplyTemplateFile(profile_, *services_.ui, *path, form)) return;
  const std::string references = references_;
  SetForm(form);
  references_ = references;
  for (QLineEdit* edit : fields_) edit->setModified(true);
  body_->document()->setModified(true);
}

void ComposeView::SaveAsTemplate() {
  if (services_.ui == nullptr) return;
  const std::optional<std::string> path =
      services_.ui->ChooseFile({ToSjis(U(compose_text::kSaveTemplateTitle)), "", true});
  if (path) (void)SaveTemplateFile(*services_.ui, *path, Form());
}

void ComposeView::InsertTextFile() {
  if (services_.ui == nullptr) return;
  const std::optional<std::string> path = services_.ui->ChooseFile({ToSjis(U(compose_text::kInsertFileTitle)), "", false});
  if (!path) return;
  if (const std::optional<std::string> text = ReadFileForInsertion(*services_.ui, *path)) {
    body_->ReplaceSelection(BodyForEditor(*text));
  }
}

void ComposeView::InsertDate() { body_->ReplaceSelection(FromSjis(FormatInsertedDate(Now()))); }

void ComposeView::Attach(const std::string& sjis_path) {
  QLineEdit& attach = field(ComposeField::Attach);
  attach.setText(FromSjis(sjis_path));
  attach.setModified(true);
}

void ComposeView::ChooseAttachment() {
  if (services_.ui == nullptr) return;
  if (const std::optional<std::string> path =
          services_.ui->ChooseFile({ToSjis(U(compose_text::kAttachTitle)), "", false})) {
    Attach(*path);
  }
}

void ComposeView::ChooseAccount() {
  if (services_.accounts == nullptr || services_.accounts->Count() == 0) return;
  QMenu menu(this);
  for (std::size_t i = 0; i < services_.accounts->Count(); ++i) {
    const CSetMenu& account = services_.accounts->At(i);
    QAction* action = menu.addAction(FromSjis(account.name) + QStringLiteral("  ") + FromSjis(SenderText(account)));
    action->setData(static_cast<int>(i));
  }
  QAction* chosen = menu.exec(QCursor::pos());
  if (chosen == nullptr) return;
  const CSetMenu& account = services_.accounts->At(static_cast<std::size_t>(chosen->data().toInt()));
  QLineEdit& from = field(ComposeField::From);
  from.setText(FromSjis(SenderText(account)));
  from.setModified(true);
  if (account.signe >= 0 && account.signe < signature_->count()) signature_->setCurrentIndex(account.signe);
}

void ComposeView::PickAddress(ComposeField which) {
  QLineEdit& edit = field(which);
  edit.setFocus();
  if (!services_.pick_address) return;
  const QString address = services_.pick_address();
  if (address.isEmpty()) return;
  edit.setText(edit.text().trimmed().isEmpty() ? address : edit.text() + QStringLiteral(", ") + address);
  edit.setModified(true);
}

void ComposeView::SetHeaderAreaVisible(bool visible) {
  header_area_->setVisible(visible);
  header_toggle_->setText(U(visible ? compose_text::kHideHeader : compose_text::kShowHeader));
}

bool ComposeView::HeaderAreaVisible() const { return !header_area_->isHidden(); }

void ComposeView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ComposeView::dropEvent(QDropEvent* event) {
  // The mail carries one attachment: the first local file dropped.
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      Attach(ToSjis(url.toLocalFile()));
      event->acceptProposedAction();
      return;
    }
  }
}

}  // namespace lp

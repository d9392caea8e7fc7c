#include "ui/read_view.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QListWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/attachment_copy.h"
#include "app/command_ids.h"
#include "app/read_view_text.h"
#include "platform/sjis_path.h"
#include "rules/quote_text.h"
#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {
namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// The editor's selection with its paragraph separators as line breaks.
QString SelectedLines(const QPlainTextEdit& editor) {
  QString text = editor.textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

std::string WithCrLf(const QString& text) {
  std::string sjis = ToSjis(text);
  std::string result;
  result.reserve(sjis.size() + sjis.size() / 32);
  for (const char c : sjis) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

QString WithoutCr(const std::string& sjis) {
  QString text = FromSjis(sjis);
  text.remove(QLatin1Char('\r'));
  return text;
}

std::optional<int> ChooseInDialog(QWidget* parent, const QStringList& names) {
  QDialog dialog(parent);
  dialog.setWindowTitle(U(ui_text::kChooseAttachmentTitle));
  auto* list = new QListWidget(&dialog);
  list->addItems(names);
  list->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(list);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return list->currentRow();
}

}  // namespace

void OpenMailLink(const QString& address, Profile& profile, const std::function<void(int)>& post_command,
                  const std::function<void(const QString&)>& open_address) {
  if (address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)) {
    (void)profile.WriteString("System", "mailto", ToSjis(address));
    post_command(cmd::kProcessMailto);
  } else if (open_address) {
    open_address(address);
  }
}

ReadView::ReadView(BoxHandle box, int index, Profile& profile, ReadViewServices services, QWidget* parent)
    : QWidget(parent), mail_(HeldMail::AtRow(std::move(box), index)), profile_(profile), services_(std::move(services)),
      editor_(new MailEditor(EditorMode::Read, this)) {
  setObjectName(QStringLiteral("readView"));
  editor_->setObjectName(QStringLiteral("readEditor"));
  editor_->ApplyFontSettings(profile_, "EFont");
  editor_->SetWrapAtWindowEdge(profile_.GetInt("System", "Wrap", 1) != 0 || profile_.GetInt("View", "Turn", 0) != 0);
  editor_->SetOpenUrlsOnDoubleClick(profile_.GetInt("System", "Url", 0) != 0);

  if (const CMail* mail = mail_.Record()) {
    title_ = FromSjis(ReadViewTitle(*mail));
    attachments_ = AttachmentPaths(mail->attachments);
    const MailText read = ReadViewText(*mail_.box(), index);
    ShowText(WithoutCr(read.ok() ? read.text : read.error));
  }
  setWindowTitle(title_);

  connect(editor_, &MailEditor::commandRequested, this, &ReadView::commandRequested);
  connect(editor_, &MailEditor::openRequested, this, &ReadView::OpenLink);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(BuildToolBar());
  layout->addWidget(editor_);
  setFocusProxy(editor_);
}

void ReadView::ShowText(QString text) {
  editor_->document()->setUndoRedoEnabled(false);  // read only: nothing to undo
  // A long text shows its beginning at once and the rest follows in parts
  // while the event loop runs, so the window opens without a stall.
  qsizetype first = text.size();
  if (text.size() > kFirstPartChars) {
    const qsizetype line_end = text.indexOf(QLatin1Char('\n'), kFirstPartChars);
    if (line_end >= 0) first = line_end;
  }
  editor_->setPlainText(text.left(first));
  editor_->moveCursor(QTextCursor::Start);
  if (first == text.size()) return;
  pending_text_ = std::move(text);
  pending_offset_ = first;
  loader_.setInterval(0);
  connect(&loader_, &QTimer::timeout, this, &ReadView::ShowNextPart, Qt::UniqueConnection);
  loader_.start();
}

void ReadView::ShowNextPart() {
  qsizetype end = std::min(pending_text_.size(), pending_offset_ + kFirstPartChars);
  if (end < pending_text_.size()) {
    const qsizetype line_end = pending_text_.indexOf(QLatin1Char('\n'), end);
    end = line_end >= 0 ? line_end : pending_text_.size();
  }
  // Appended through a cursor of its own: the user's caret and selection stay.
  QTextCursor append(editor_->document());
  append.movePosition(QTextCursor::End);
  append.insertText(QStringView(pending_text_).mid(pending_offset_, end - pending_offset_).toString());
  pending_offset_ = end;
  if (pending_offset_ >= pending_text_.size()) FinishLoading();
}

void ReadView::FinishLoading() {
  loader_.stop();
  pending_text_.clear();
  pending_offset_ = 0;
}

void ReadView::LoadWholeText() {
  while (!FullyLoaded()) ShowNextPart();
}

QToolBar* ReadView::BuildToolBar() {
  auto* bar = new QToolBar(this);
  bar->setObjectName(QStringLiteral("readToolBar"));
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  const auto add = [&](const char* text, const char* name, auto slot) {
    QAction* action = bar->addAction(U(text), this, slot);
    action->setObjectName(QLatin1String(name));
    return action;
  };
  add(ui_text::kReply, "replyAction", [this] { emit commandRequested(cmd::kReply); });
  add(ui_text::kForward, "forwardAction", [this] { emit commandRequested(cmd::kForward); });
  bar->addSeparator();
  add(ui_text::kOpenAttachment, "openAttachmentAction", [this] { OpenAttachment(); })->setEnabled(HasAttachments());
  add(ui_text::kSaveAllAttachments, "saveAllAction", [this] { SaveAllAttachments(); })->setEnabled(HasAttachments());
  bar->addSeparator();
  add(ui_text::kRedecode, "redecodeAction", [this] { RedecodeSelection(); });
  add(ui_text::kCopyQuoted, "copyQuotedAction", [this] { CopyQuoted(); });
  add(ui_text::kFontSettings, "fontAction", [this] { ChooseFont(); });
  bar->addSeparator();
  QAction* source = add(ui_text::kShowSource, "sourceAction", [this](bool checked) { ShowSource(checked); });
  source->setCheckable(true);
  const CMail* mail = mail_.Record();
  // Outgoing mail has no other form.
  source->setEnabled(mail != nullptr && !mail->IsOutgoing());
  return bar;
}

void ReadView::OpenAttachment() {
  if (attachments_.empty() || services_.opener == nullptr) return;
  std::size_t chosen = 0;
  if (attachments_.size() > 1) {
    QStringList names;
    for (const std::string& path : attachments_) names << FromSjis(path);
    const std::optional<int> choice =
        services_.choose_attachment ? services_.choose_attachment(names) : ChooseInDialog(this, names);
    if (!choice || *choice < 0 || static_cast<std::size_t>(*choice) >= attachments_.size()) return;
    chosen = static_cast<std::size_t>(*choice);
  }
  (void)services_.opener->OpenWithDefaultProgram(attachments_[chosen]);
}

void ReadView::SaveAllAttachments() {
  if (attachments_.empty()) return;
  const QString folder = services_.choose_folder
                             ? services_.choose_folder()
                             : QFileDialog::getExistingDirectory(this, U(ui_text::kSaveAllFolderTitle));
  if (folder.isEmpty()) return;
  const CopiedAttachments copied = CopyAttachmentsTo(attachments_, ToSjis(folder));
  if (!copied.failed.empty() && services_.ui != nullptr) {
    std::string message = ToSjis(U(ui_text::kCannotSaveAttachment));
    for (const std::string& path : copied.failed) message += "\r\n" + FileNameOf(path);
    services_.ui->ShowMessage(message);
  }
  if (!copied.written.empty() && services_.ui != nullptr) {
    services_.ui->Report(ToSjis(U(ui_text::kAttachmentsSaved).arg(copied.written.size()).arg(folder)));
  }
}

void ReadView::RedecodeSelection() {
  LoadWholeText();
  QTextCursor cursor = editor_->textCursor();
  if (!cursor.hasSelection()) return;
  cursor.insertText(WithoutCr(RedecodeLines(WithCrLf(SelectedLines(*editor_)))));
}

void ReadView::CopyQuoted() {
  LoadWholeText();
  const QString selection = SelectedLines(*editor_);
  if (selection.isEmpty()) return;
  const std::string mark = profile_.GetString("System", "ReplyMark", ">");
  QApplication::clipboard()->setText(WithoutCr(QuoteText(WithCrLf(selection), mark)));
}

void ReadView::ChooseFont() {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, editor_->font(), this);
  if (ok) editor_->setFont(font);
}

void ReadView::ShowSource(bool source) {
  if (source == showing_source_) return;
  const int index = mail_.Row();
  if (index < 0) return;
  FinishLoading();
  const MailText read = ReadViewText(*mail_.box(), index, source ? ShownForm::Source : ShownForm::Readable);
  showing_source_ = source;
  ShowText(WithoutCr(read.ok() ? read.text : read.error));
  if (auto* action = findChild<QAction*>(QStringLiteral("sourceAction"))) action->setChecked(source);
}

std::string ReadView::BrowserText() {
  LoadWholeText();  // a long mail may still be arriving in parts
  if (showing_source_) return ToSjis(editor_->toPlainText());
  const int index = mail_.Row();
  const MailText read = ReadViewText(*mail_.box(), index, ShownForm::Source);
  return read.ok() ? read.text : ToSjis(editor_->toPlainText());
}

void ReadView::OpenLink(const QString& address) {
  OpenMailLink(
      address, profile_, [this](int command) { emit commandRequested(command); }, services_.open_address);
}

}  // namespace lp

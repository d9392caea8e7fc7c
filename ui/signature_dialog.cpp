#include "ui/signature_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "platform/atomic_file.h"
#include "platform/file_system.h"
#include "platform/sjis_path.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// The editor's text as a signature file: Shift_JIS lines ending in CR LF.
std::string FileBytesOf(const QString& text) {
  QString lines = text;
  lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (!lines.isEmpty() && !lines.endsWith(QLatin1Char('\n'))) lines += QLatin1Char('\n');
  lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
  return ToSjis(lines);
}

}  // namespace

SignatureDialog::SignatureDialog(Profile& profile, QWidget* parent)
    : QDialog(parent),
      profile_(profile),
      directory_(new QLineEdit(this)),
      list_(new QListWidget(this)),
      name_(new QLineEdit(this)),
      file_(new QLineEdit(this)),
      text_(new QPlainTextEdit(this)) {
  using namespace settings_text;
  setWindowTitle(Text(kSignatureTitle));
  CSigneMenuArray table;
  table.Load(profile_);
  loaded_directory_ = FromSjis(table.Directory());
  directory_->setText(loaded_directory_);
  for (std::size_t number = 1; number <= table.Count(); ++number) {
    const Signature& signature = table.At(number);
    QString text = FromSjis(table.Text(number));
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    entries_.push_back({FromSjis(signature.name), FromSjis(signature.file), text, FromSjis(signature.file)});
    list_->addItem(FromSjis(signature.name));
  }

  auto* form = new QFormLayout;
  form->addRow(Text(kSignatureFolder), directory_);
  auto* add = new QPushButton(Text(kSignatureAdd), this);
  auto* remove = new QPushButton(Text(kSignatureRemove), this);
  auto* list_buttons = new QHBoxLayout;
  list_buttons->addWidget(add);
  list_buttons->addWidget(remove);
  auto* left = new QVBoxLayout;
  left->addWidget(list_);
  left->addLayout(list_buttons);
  auto* right = new QFormLayout;
  right->addRow(Text(kSignatureName), name_);
  right->addRow(Text(kSignatureFile), file_);
  right->addRow(Text(kSignatureText), text_);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addLayout(right, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(columns);
  layout->addWidget(buttons);

  connect(add, &QPushButton::clicked, this, &SignatureDialog::AddSignature);
  connect(remove, &QPushButton::clicked, this, &SignatureDialog::RemoveSignature);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    KeepShownEntry();
    ShowEntry(row);
  });
  connect(name_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (QListWidgetItem* item = list_->item(shown_)) item->setText(text);
  });
  connect(text_, &QPlainTextEdit::textChanged, this, [this] {
    if (shown_ >= 0 && text_->document()->isModified()) entries_[static_cast<std::size_t>(shown_)].text_changed = true;
  });
  if (!entries_.empty()) list_->setCurrentRow(0);
  ShowEntry(list_->currentRow());
}

void SignatureDialog::KeepShownEntry() {
  if (shown_ < 0 || shown_ >= static_cast<int>(entries_.size())) return;
  Entry& entry = entries_[static_cast<std::size_t>(shown_)];
  entry.name = name_->text();
  entry.file = file_->text();
  entry.text = text_->toPlainText();
}

void SignatureDialog::ShowEntry(int row) {
  shown_ = row;
  const bool valid = row >= 0 && row < static_cast<int>(entries_.size());
  for (QWidget* field : {static_cast<QWidget*>(name_), static_cast<QWidget*>(file_), static_cast<QWidget*>(text_)}) {
    field->setEnabled(valid);
  }
  const Entry empty;
  const Entry& entry = valid ? entries_[static_cast<std::size_t>(row)] : empty;
  name_->setText(entry.name);
  file_->setText(entry.file);
  text_->setPlainText(entry.text);
  text_->document()->setModified(false);
}

void SignatureDialog::AddSignature() {
  KeepShownEntry();
  const int number = static_cast<int>(entries_.size()) + 1;
  Entry entry;
  entry.name = Text(settings_text::kSignatureDefaultName).arg(number);
  entry.file = QStringLiteral("signe%1.txt").arg(number);
  // A new signature has no file yet: it is written even when left empty.
  entries_.push_back(entry);
  list_->addItem(entry.name);
  list_->setCurrentRow(number - 1);
}

void SignatureDialog::RemoveSignature() {
  const int row = list_->currentRow();
  if (row < 0) return;
  // The file stays: another table or a backup may still name it.
  shown_ = -1;
  entries_.erase(entries_.begin() + row);
  delete list_->takeItem(row);
  ShowEntry(list_->currentRow());
}

QString SignatureDialog::FilePathOf(const QString& directory, const QString& file) const {
  if (directory.isEmpty()) return file;
  return directory.endsWith(QLatin1Char('/')) ? directory + file : directory + QLatin1Char('/') + file;
}

void SignatureDialog::accept() {
  using namespace settings_text;
  KeepShownEntry();
  const std::optional<std::string> directory = CheckedSettingText(directory_->text(), Text(kSignatureFolder), this);
  if (!directory) return;
  CSigneMenuArray table;
  table.SetDirectory(*directory);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const Entry& entry = entries_[i];
    const QString field = Text(kSignatureNumber).arg(i + 1);
    const std::optional<std::string> name = CheckedSettingText(entry.name, field, this);
    if (!name) return;
    const std::optional<std::string> file = CheckedSettingText(entry.file, field, this);
    if (!file) return;
    if (name->empty() || !IsSinglePathComponent(*file)) {
      QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(kSignatureBadEntry) + field);
      list_->setCurrentRow(static_cast<int>(i));
      return;
    }
    (void)table.Append({*name, *file});
  }
  // The texts first: a table that names a file never written would lose
  // the signature the user just typed.
  if (!directory->empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(ToNativePath(*directory), ignored);
  }
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    // A signature that now names another file (or folder) takes its text
    // along: the new file would otherwise be missing or hold another text.
    const Entry& entry = entries_[i];
    const bool moved = entry.file != entry.loaded_file || directory_->text() != loaded_directory_;
    if (!entry.text_changed && !moved) continue;
    const std::string path = table.FilePath(i + 1);
    std::string error;
    if (!ReplaceFileAtomically(path, FileBytesOf(entry.text), &error)) {
      QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(kCannotSave) + FromSjis(path + ": " + error));
      return;
    }
  }
  if (!table.Save(profile_)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  QDialog::accept();
}

}  // namespace lp

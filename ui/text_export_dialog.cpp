#include "ui/text_export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/sjis_qt.h"
#include "ui/text_export_messages.h"

namespace lp {

namespace {

QCheckBox* Check(const char* text, const char* name, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QPushButton* Button(const char* text, const char* name, QWidget* parent) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoDefault(false);
  return button;
}

QDialogButtonBox* OkCancel(QWidget* parent) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, parent);
  buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(ui_text::kTextExportCancel));
  return buttons;
}

bool Confirmed(QWidget* parent, const char* question) {
  return QMessageBox::question(parent, QString::fromUtf8(ui_text::kTextExportTitle), QString::fromUtf8(question),
                               QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

}  // namespace

TextExportDialog::TextExportDialog(CTextOutSetArray& list, const QStringList& label_names, QWidget* parent)
    : QDialog(parent),
      list_(list),
      read_(Check(ui_text::kTextExportRead, "read", this)),
      unread_(Check(ui_text::kTextExportUnread, "unread", this)),
      replied_(Check(ui_text::kTextExportReplied, "replied", this)),
      sent_(Check(ui_text::kTextExportSent, "sent", this)),
      unsent_(Check(ui_text::kTextExportUnsent, "unsent", this)),
      label_(new QComboBox(this)),
      file_(new QLineEdit(this)),
      all_headers_(Check(ui_text::kTextExportAllHeaders, "allHeaders", this)),
      all_boxes_(Check(ui_text::kTextExportAllBoxes, "allBoxes", this)),
      append_(Check(ui_text::kTextExportAppend, "append", this)) {
  setWindowTitle(QString::fromUtf8(ui_text::kTextExportTitle));
  setObjectName(QStringLiteral("textExportDialog"));
  label_->setObjectName(QStringLiteral("label"));
  label_->addItem(QString::fromUtf8(ui_text::kTextExportEveryLabel));
  label_->addItems(label_names);
  file_->setObjectName(QStringLiteral("outputFile"));
  file_->setMinimumWidth(320);

  auto* states = new QHBoxLayout;
  for (QCheckBox* state : {read_, unread_, replied_, sent_, unsent_}) states->addWidget(state);
  auto* file_row = new QHBoxLayout;
  file_row->addWidget(file_, 1);
  QPushButton* browse = Button(ui_text::kTextExportBrowse, "browse", this);
  file_row->addWidget(browse);
  auto* form = new QFormLayout;
  form->addRow(states);
  form->addRow(QString::fromUtf8(ui_text::kTextExportLabel), label_);
  auto* file_label = new QLabel(QString::fromUtf8(ui_text::kTextExportFile), this);
  file_label->setBuddy(file_);
  form->addRow(file_label, file_row);
  auto* settings_row = new QHBoxLayout;
  QPushButton* load = Button(ui_text::kTextExportLoad, "loadSetting", this);
  QPushButton* save = Button(ui_text::kTextExportSave, "saveSetting", this);
  settings_row->addWidget(load);
  settings_row->addWidget(save);
  settings_row->addStretch();
  auto* buttons = OkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(browse, &QPushButton::clicked, this, &TextExportDialog::ChooseOutputFile);
  connect(load, &QPushButton::clicked, this, &TextExportDialog::LoadSetting);
  connect(save, &QPushButton::clicked, this, &TextExportDialog::SaveSetting);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  for (QCheckBox* box : {all_headers_, all_boxes_, append_}) layout->addWidget(box);
  layout->addLayout(settings_row);
  layout->addWidget(buttons);

  if (list_.entries().empty()) list_.entries().push_back(CTextOutSet{});
  Show(list_.entries().front());
}

CTextOutSet TextExportDialog::Shown() const {
  CTextOutSet setting;
  setting.name = shown_name_;
  setting.read = read_->isChecked();
  setting.unread = unread_->isChecked();
  setting.replied = replied_->isChecked();
  setting.sent = sent_->isChecked();
  setting.unsent = unsent_->isChecked();
  setting.label = label_->currentIndex();
  setting.output_file = ToSjis(file_->text());
  setting.all_headers = all_headers_->isChecked();
  setting.all_boxes = all_boxes_->isChecked();
  setting.append = append_->isChecked();
  return setting;
}

void TextExportDialog::Show(const CTextOutSet& setting) {
  shown_name_ = setting.name;
  read_->setChecked(setting.read);
  unread_->setChecked(setting.unread);
  replied_->setChecked(setting.replied);
  sent_->setChecked(setting.sent);
  unsent_->setChecked(setting.unsent);
  label_->setCurrentIndex(qBound(0, setting.label, label_->count() - 1));
  file_->setText(FromSjis(setting.output_file));
  all_headers_->setChecked(setting.all_headers);
  all_boxes_->setChecked(setting.all_boxes);
  append_->setChecked(setting.append);
}

void TextExportDialog::ChooseOutputFile() {
  const QString chosen = QFileDialog::getSaveFileName(this, QString::fromUtf8(ui_text::kTextExportFileTitle),
                                                      file_->text().isEmpty() ? QStringLiteral("*.txt") : file_->text(),
                                                      QStringLiteral("Text (*.txt *.TXT);;* (*)"));
  if (chosen.isEmpty()) return;
  file_->setText(QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".txt") : chosen);
}

void TextExportDialog::LoadSetting() {
  TextExportChoiceDialog choice(list_, this);
  if (choice.exec() != QDialog::Accepted || choice.Chosen() < 0) return;
  Show(list_.entries()[static_cast<std::size_t>(choice.Chosen())]);
}

void TextExportDialog::SaveSetting() {
  bool ok = false;
  const QString name = QInputDialog::getText(this, QString::fromUtf8(ui_text::kTextExportTitle),
                                             QString::fromUtf8(ui_text::kTextExportAskName), QLineEdit::Normal,
                                             FromSjis(shown_name_), &ok);
  if (!ok || name.isEmpty()) return;
  CTextOutSet setting = Shown();
  setting.name = ToSjis(name);
  if (CTextOutSet* existing = list_.Find(setting.name)) {
    if (!Confirmed(this, ui_text::kTextExportAskOverwrite)) return;
    *existing = setting;
  } else {
    list_.entries().push_back(setting);
  }
  shown_name_ = setting.name;
}

void TextExportDialog::accept() {
  // Entry 0 keeps its name: it is the setting used last.
  CTextOutSet last = Shown();
  last.name = list_.entries().front().name;
  list_.entries().front() = last;
  QDialog::accept();
}

TextExportChoiceDialog::TextExportChoiceDialog(CTextOutSetArray& list, QWidget* parent)
    : QDialog(parent), list_(list), names_(new QListWidget(this)) {
  setWindowTitle(QString::fromUtf8(ui_text::kTextExportChoiceTitle));
  setObjectName(QStringLiteral("textExportChoice"));
  names_->setObjectName(QStringLiteral("names"));
  QPushButton* rename = Button(ui_text::kTextExportRename, "rename", this);
  QPushButton* remove = Button(ui_text::kTextExportDelete, "delete", this);
  QPushButton* up = Button(ui_text::kTextExportUp, "up", this);
  QPushButton* down = Button(ui_text::kTextExportDown, "down", this);
  connect(rename, &QPushButton::clicked, this, [this] {
    if (Chosen() <= 0) return;
    bool ok = false;
    const QString name = QInputDialog::getText(this, windowTitle(), QString::fromUtf8(ui_text::kTextExportAskName),
                                               QLineEdit::Normal, names_->currentItem()->text(), &ok);
    if (ok && !name.isEmpty()) RenameChosen(name);
  });
  connect(remove, &QPushButton::clicked, this, &TextExportChoiceDialog::DeleteChosen);
  connect(up, &QPushButton::clicked, this, [this] { MoveChosen(-1); });
  connect(down, &QPushButton::clicked, this, [this] { MoveChosen(1); });
  connect(names_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* side = new QVBoxLayout;
  for (QPushButton* button : {rename, remove, up, down}) side->addWidget(button);
  side->addStretch();
  auto* row = new QHBoxLayout;
  row->addWidget(names_, 1);
  row->addLayout(side);
  auto* buttons = OkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
  Refill(0);
}

int TextExportChoiceDialog::Chosen() const { return names_->currentRow(); }

void TextExportChoiceDialog::Refill(int current) {
  names_->clear();
  for (const CTextOutSet& setting : list_.entries()) names_->addItem(FromSjis(setting.name));
  names_->setCurrentRow(current);
}

// Entry 0, the setting used last, keeps its name and place.
void TextExportChoiceDialog::RenameChosen(const QString& name) {
  const int row = Chosen();
  if (row <= 0) return;
  list_.entries()[static_cast<std::size_t>(row)].name = ToSjis(name);
  Refill(row);
}

void TextExportChoiceDialog::DeleteChosen() {
  const int row = Chosen();
  if (row <= 0 || !Confirmed(this, ui_text::kTextExportAskDelete)) return;
  list_.entries().erase(list_.entries().begin() + row);
  Refill(qMin(row, names_->count() - 2));
}

void TextExportChoiceDialog::MoveChosen(int step) {
  const int row = Chosen();
  const int to = row + step;
  if (row <= 0 || to <= 0 || to >= static_cast<int>(list_.entries().size())) return;
  std::swap(list_.entries()[static_cast<std::size_t>(row)], list_.entries()[static_cast<std::size_t>(to)]);
  Refill(to);
}

}  // namespace lp

#include "ui/find_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "rules/search_history.h"
#include "ui/find_messages.h"
#include "ui/sjis_qt.h"

namespace lp {

namespace {

QCheckBox* Check(const char* text, const char* name, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(text), parent);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(checked);
  return box;
}

}  // namespace

FindDialog::FindDialog(Profile& profile, const QStringList& label_names, bool all_boxes, QWidget* parent)
    : QDialog(parent),
      profile_(profile),
      stored_(SearchCondition::Load(profile)),
      text_(new QComboBox(this)),
      field_(new QComboBox(this)),
      fold_case_(Check(ui_text::kFindFoldCase, "foldCase", stored_.fold_case, this)),
      fold_width_(Check(ui_text::kFindFoldWidth, "foldWidth", stored_.fold_width, this)),
      fold_kana_(Check(ui_text::kFindFoldKana, "foldKana", stored_.fold_kana, this)),
      regex_(Check(ui_text::kFindRegex, "regex", stored_.regex, this)),
      from_current_(Check(ui_text::kFindFromCurrent, "fromCurrent", stored_.from_current, this)),
      backward_(Check(ui_text::kFindBackward, "backward", stored_.backward, this)),
      status_(new QComboBox(this)),
      label_(new QComboBox(this)) {
  setWindowTitle(QString::fromUtf8(ui_text::kFindTitle));
  setObjectName(QStringLiteral("findDialog"));
  text_->setObjectName(QStringLiteral("findText"));
  text_->setEditable(true);
  text_->setInsertPolicy(QComboBox::NoInsert);
  text_->setMinimumContentsLength(30);
  for (const std::string& entry : LoadSearchHistory(profile_)) text_->addItem(FromSjis(entry));
  text_->setEditText(FromSjis(stored_.text));
  field_->setObjectName(QStringLiteral("findField"));
  for (const char* field : ui_text::kFindFields) field_->addItem(QString::fromUtf8(field));
  field_->setCurrentIndex(static_cast<int>(stored_.field));
  status_->setObjectName(QStringLiteral("findStatus"));
  for (const char* status : ui_text::kFindStatuses) status_->addItem(QString::fromUtf8(status));
  status_->setCurrentIndex(qBound(0, stored_.status + 1, status_->count() - 1));
  label_->setObjectName(QStringLiteral("findLabel"));
  label_->addItem(QString::fromUtf8(ui_text::kFindLabelAny));
  label_->addItem(QString::fromUtf8(ui_text::kFindLabelNone));
  label_->addItems(label_names);
  label_->setCurrentIndex(qBound(0, stored_.label, label_->count() - 1));
  // The start and the direction belong to the search of one box.
  from_current_->setEnabled(!all_boxes);
  backward_->setEnabled(!all_boxes);

  auto* form = new QFormLayout;
  form->addRow(QString::fromUtf8(ui_text::kFindText), text_);
  form->addRow(QString::fromUtf8(ui_text::kFindField), field_);
  form->addRow(QString::fromUtf8(ui_text::kFindStatus), status_);
  form->addRow(QString::fromUtf8(ui_text::kFindLabel), label_);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* start = buttons->addButton(QString::fromUtf8(ui_text::kFindStart), QDialogButtonBox::AcceptRole);
  start->setDefault(true);
  buttons->addButton(QString::fromUtf8(ui_text::kFindCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  for (QCheckBox* box : {fold_case_, fold_width_, fold_kana_, regex_, from_current_, backward_}) layout->addWidget(box);
  layout->addWidget(buttons);
  text_->setFocus();
}

SearchCondition FindDialog::condition() const {
  SearchCondition condition = stored_;  // keeps Youon, which this dialog does not show
  condition.text = ToSjis(text_->currentText());
  condition.field = static_cast<SearchField>(field_->currentIndex());
  condition.fold_case = fold_case_->isChecked();
  condition.fold_width = fold_width_->isChecked();
  condition.fold_kana = fold_kana_->isChecked();
  condition.regex = regex_->isChecked();
  condition.from_current = from_current_->isChecked();
  condition.backward = backward_->isChecked();
  condition.status = status_->currentIndex() - 1;
  condition.label = label_->currentIndex();
  return condition;
}

void FindDialog::accept() {
  const SearchCondition wanted = condition();
  (void)wanted.Save(profile_);
  (void)AddToSearchHistory(profile_, wanted.text);
  QDialog::accept();
}

}  // namespace lp

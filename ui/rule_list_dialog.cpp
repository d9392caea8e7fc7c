#include "ui/rule_list_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/rule_edit_dialog.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

RuleListDialog::RuleListDialog(Profile& profile, std::string data_directory, RuleEditDialog::AddressPicker pick_address,
                               QWidget* parent)
    : QDialog(parent),
      profile_(profile),
      data_directory_(std::move(data_directory)),
      pick_address_(std::move(pick_address)),
      list_(new QListWidget(this)) {
  using namespace settings_text;
  setWindowTitle(Text(kRuleListTitle));
  rules_.Load(profile_);
  auto* add = new QPushButton(Text(kRuleAdd), this);
  auto* remove = new QPushButton(Text(kRuleDelete), this);
  auto* edit = new QPushButton(Text(kRuleEdit), this);
  auto* up = new QPushButton(Text(kRuleUp), this);
  auto* down = new QPushButton(Text(kRuleDown), this);
  auto* side = new QVBoxLayout;
  for (QPushButton* button : {add, remove, edit, up, down}) side->addWidget(button);
  side->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addWidget(list_, 1);
  columns->addLayout(side);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(buttons);
  connect(add, &QPushButton::clicked, this, &RuleListDialog::AddRule);
  connect(remove, &QPushButton::clicked, this, &RuleListDialog::DeleteRule);
  connect(edit, &QPushButton::clicked, this, &RuleListDialog::EditRule);
  connect(list_, &QListWidget::itemDoubleClicked, this, &RuleListDialog::EditRule);
  connect(up, &QPushButton::clicked, this, [this] { MoveRule(-1); });
  connect(down, &QPushButton::clicked, this, [this] { MoveRule(1); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  Refill(rules_.Count() > 0 ? 0 : -1);
}

void RuleListDialog::Refill(int current) {
  list_->clear();
  for (std::size_t i = 0; i < rules_.Count(); ++i) list_->addItem(FromSjis(RuleText(*rules_.At(i))));
  list_->setCurrentRow(current);
}

bool RuleListDialog::Edit(CDivMenu& rule) {
  RuleEditDialog dialog(rule, data_directory_, pick_address_, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  rule = dialog.rule();
  return true;
}

void RuleListDialog::AddRule() {
  CDivMenu rule;
  if (!Edit(rule)) return;
  if (!rules_.Add(rule)) return;
  Refill(static_cast<int>(rules_.Count()) - 1);
}

void RuleListDialog::EditRule() {
  const int row = list_->currentRow();
  const CDivMenu* current = row >= 0 ? rules_.At(static_cast<std::size_t>(row)) : nullptr;
  if (current == nullptr) return;
  CDivMenu rule = *current;
  if (Edit(rule)) {
    (void)rules_.Replace(static_cast<std::size_t>(row), rule);
    Refill(row);
  }
}

void RuleListDialog::DeleteRule() {
  const int row = list_->currentRow();
  if (row < 0) return;
  if (QMessageBox::question(this, QStringLiteral("Lanternpost"), Text(settings_text::kRuleAskDelete)) !=
      QMessageBox::Yes) {
    return;
  }
  (void)rules_.Delete(static_cast<std::size_t>(row));
  Refill(std::min(row, static_cast<int>(rules_.Count()) - 1));
}

void RuleListDialog::MoveRule(int step) {
  const int row = list_->currentRow();
  const int other = row + step;
  if (row < 0 || other < 0 || other >= static_cast<int>(rules_.Count())) return;
  (void)rules_.Swap(static_cast<std::size_t>(row), static_cast<std::size_t>(other));
  Refill(other);
}

void RuleListDialog::accept() {
  if (!rules_.Save(profile_)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         Text(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  QDialog::accept();
}

}  // namespace lp

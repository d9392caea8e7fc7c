#include "ui/rule_edit_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/sjis_path.h"
#include "ui/box_choices.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {
namespace {

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

RuleEditDialog::RuleEditDialog(const CDivMenu& rule, const std::string& data_directory, AddressPicker pick_address,
                               QWidget* parent)
    : QDialog(parent),
      rule_(rule),
      field_(new QComboBox(this)),
      text_(new QLineEdit(FromSjis(rule.cond2), this)),
      box_(new QComboBox(this)),
      forward_(new QLineEdit(FromSjis(rule.foward), this)),
      reply_(new QLineEdit(FromSjis(rule.reply), this)) {
  using namespace settings_text;
  setWindowTitle(Text(kRuleEditTitle));
  field_->addItems({QStringLiteral("To:"), QStringLiteral("From:"), QStringLiteral("Subject:")});
  field_->setCurrentIndex(rule.cond1 >= kRuleFieldTo && rule.cond1 <= kRuleFieldSubject ? rule.cond1 : 0);

  // No move first; a destination that is not among the boxes stays by its path.
  const BoxChoices choices = ListBoxChoices(data_directory);
  box_paths_.emplace_back();
  box_paths_.insert(box_paths_.end(), choices.paths.begin(), choices.paths.end());
  box_->addItem(Text(kRuleNoMove));
  box_->addItems(choices.labels);
  int current = 0;
  for (std::size_t i = 1; i < box_paths_.size(); ++i) {
    if (!rule.mail_box.empty() && AbsolutePath(box_paths_[i]) == AbsolutePath(rule.mail_box)) {
      current = static_cast<int>(i);
    }
  }
  if (current == 0 && !rule.mail_box.empty()) {
    box_paths_.push_back(rule.mail_box);
    box_->addItem(FromSjis(rule.mail_box));
    current = box_->count() - 1;
  }
  box_->setCurrentIndex(current);

  auto* choose = new QPushButton(Text(kRuleChooseReply), this);
  auto* grid = new QGridLayout;
  grid->addWidget(field_, 0, 0);
  grid->addWidget(new QLabel(Text(kRuleGa), this), 0, 1);
  grid->addWidget(text_, 0, 2);
  grid->addWidget(new QLabel(Text(kRuleWhenContains), this), 0, 3);
  grid->addWidget(box_, 1, 2);
  grid->addWidget(new QLabel(Text(kRuleMove), this), 1, 3);
  grid->addWidget(forward_, 2, 2);
  grid->addWidget(new QLabel(Text(kRuleForward), this), 2, 3);
  if (pick_address) {
    auto* book = new QPushButton(Text(kRuleAddressBook), this);
    book->setObjectName(QStringLiteral("addressBook"));
    grid->addWidget(book, 2, 4);
    connect(book, &QPushButton::clicked, this, [this, pick = std::move(pick_address)] {
      const QString picked = pick();
      if (!picked.isEmpty()) forward_->setText(picked);
    });
  }
  grid->addWidget(reply_, 3, 2);
  grid->addWidget(new QLabel(Text(kRuleReply), this), 3, 3);
  grid->addWidget(choose, 3, 4);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  connect(choose, &QPushButton::clicked, this, [this] {
    const QString file = QFileDialog::getOpenFileName(this, Text(settings_text::kRuleReplyFileTitle), reply_->text());
    if (!file.isEmpty()) reply_->setText(file);
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void RuleEditDialog::accept() {
  using namespace settings_text;
  const std::optional<std::string> text = CheckedSettingText(text_->text(), Text(kRuleTextField), this);
  if (!text) return;
  const std::optional<std::string> forward = CheckedSettingText(forward_->text().trimmed(), Text(kRuleForward), this);
  if (!forward) return;
  const std::optional<std::string> reply = CheckedSettingText(reply_->text().trimmed(), Text(kRuleReply), this);
  if (!reply) return;
  const std::string& box = box_paths_[static_cast<std::size_t>(box_->currentIndex())];
  if (box.empty() && forward->empty() && reply->empty()) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"), Text(kRuleDoesNothing));
    return;
  }
  rule_.cond1 = field_->currentIndex();
  rule_.cond2 = *text;
  rule_.mail_box = box.empty() ? std::string() : AbsolutePath(box);
  rule_.foward = *forward;
  rule_.reply = *reply;
  QDialog::accept();
}

}  // namespace lp

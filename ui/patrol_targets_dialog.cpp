#include "ui/patrol_targets_dialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QMessageBox>
#include <QVBoxLayout>

#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

PatrolTargetsDialog::PatrolTargetsDialog(CSetMenuArray& accounts, Profile& profile, QWidget* parent)
    : QDialog(parent), accounts_(accounts), profile_(profile), list_(new QListWidget(this)) {
  setWindowTitle(QString::fromUtf8(settings_text::kPatrolTitle));
  auto* layout = new QVBoxLayout(this);
  for (std::size_t i = 0; i < accounts_.Count(); ++i) {
    auto* item = new QListWidgetItem(FromSjis(accounts_.At(i).name), list_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(accounts_.At(i).round ? Qt::Checked : Qt::Unchecked);
  }
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void PatrolTargetsDialog::accept() {
  CSetMenuArray changed = accounts_;
  for (int row = 0; row < list_->count(); ++row) {
    changed.At(static_cast<std::size_t>(row)).round = list_->item(row)->checkState() == Qt::Checked;
  }
  if (!changed.Save(profile_)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         QString::fromUtf8(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  accounts_ = std::move(changed);
  QDialog::accept();
}

}  // namespace lp

#include "ui/box_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "ui/ui_messages.h"

namespace lp {

BoxPropertiesDialog::BoxPropertiesDialog(const BoxProperties& properties, QWidget* parent)
    : QDialog(parent),
      find_box_(new QCheckBox(QString::fromUtf8(ui_text::kFindBoxCheck))),
      auto_compact_(new QCheckBox(QString::fromUtf8(ui_text::kAutoCompactCheck))) {
  setWindowTitle(QString::fromUtf8(ui_text::kBoxPropertiesTitle));
  find_box_->setChecked(properties.find_box);
  auto_compact_->setChecked(properties.auto_compact);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(find_box_);
  layout->addWidget(auto_compact_);
  layout->addWidget(buttons);
}

BoxProperties BoxPropertiesDialog::properties() const {
  return BoxProperties{find_box_->isChecked(), auto_compact_->isChecked()};
}

bool EditBoxPropertiesInDialog(QWidget* parent, BoxProperties& properties) {
  BoxPropertiesDialog dialog(properties, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  properties = dialog.properties();
  return true;
}

}  // namespace lp

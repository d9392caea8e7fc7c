#include "ui/box_properties_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {

BoxPropertiesDialog::BoxPropertiesDialog(const BoxProperties& properties, QWidget* parent)
    : QDialog(parent),
      find_box_(new QCheckBox(QString::fromUtf8(ui_text::kFindBoxCheck))),
      auto_compact_(new QCheckBox(QString::fromUtf8(ui_text::kAutoCompactCheck))) {
  // The title names the box; the dialog is wide enough to show it whole.
  const QString title = QString::fromUtf8(ui_text::kBoxPropertiesTitle) + QStringLiteral(" - ") + FromSjis(properties.name);
  setWindowTitle(title);
  auto* name = new QLabel(FromSjis(properties.name), this);
  name->setObjectName(QStringLiteral("boxName"));
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  find_box_->setChecked(properties.find_box);
  auto_compact_->setChecked(properties.auto_compact);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(name);
  layout->addWidget(find_box_);
  layout->addWidget(auto_compact_);
  layout->addWidget(buttons);
  // Window managers cut a title that does not fit: leave room for it and
  // the title bar's buttons.
  setMinimumWidth(qMax(sizeHint().width(), fontMetrics().horizontalAdvance(title) + 160));
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

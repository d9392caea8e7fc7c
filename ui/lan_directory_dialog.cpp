#include "ui/lan_directory_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

LanDirectoryDialog::LanDirectoryDialog(Profile& profile, QWidget* parent)
    : QDialog(parent), profile_(profile), directory_(new QLineEdit(this)) {
  using namespace settings_text;
  setWindowTitle(QString::fromUtf8(kLanTitle));
  directory_->setText(FromSjis(profile_.GetString("Lan", "Dir")));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(QString::fromUtf8(kLanDirectory), this);
  label->setBuddy(directory_);
  layout->addWidget(label);
  auto* line = new QHBoxLayout;
  line->addWidget(directory_);
  auto* choose = new QPushButton(QString::fromUtf8(kChooseFolder), this);
  line->addWidget(choose);
  layout->addLayout(line);
  connect(choose, &QPushButton::clicked, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, {}, directory_->text());
    if (!folder.isEmpty()) directory_->setText(folder);
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  setMinimumWidth(420);
}

void LanDirectoryDialog::accept() {
  const std::optional<std::string> directory =
      CheckedSettingText(directory_->text(), QString::fromUtf8(settings_text::kLanDirectory), this);
  if (!directory) return;
  if (!profile_.WriteString("Lan", "Dir", *directory)) {
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         QString::fromUtf8(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  QDialog::accept();
}

}  // namespace lp

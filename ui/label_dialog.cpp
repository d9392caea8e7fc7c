#include "ui/label_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "ui/colour_button.h"
#include "ui/settings_input.h"
#include "ui/settings_texts.h"
#include "ui/sjis_qt.h"

namespace lp {

LabelDialog::LabelDialog(AppSettings& settings, Profile& profile, QWidget* parent)
    : QDialog(parent), settings_(settings), profile_(profile) {
  using namespace settings_text;
  setWindowTitle(QString::fromUtf8(kLabelTitle));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  for (int number = 1; number <= kLabelCount; ++number) {
    const Label& label = settings_.labels[static_cast<std::size_t>(number)];
    names_[number - 1] = new QLineEdit(FromSjis(label.name), this);
    colours_[number - 1] = new ColourButton(QString::fromUtf8(kLabelColour), label.color, this);
    auto* caption = new QLabel(QString::fromUtf8(kLabelNumber).arg(number), this);
    caption->setBuddy(names_[number - 1]);
    grid->addWidget(caption, number - 1, 0);
    grid->addWidget(names_[number - 1], number - 1, 1);
    grid->addWidget(colours_[number - 1], number - 1, 2);
  }
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void LabelDialog::accept() {
  auto labels = settings_.labels;
  for (int number = 1; number <= kLabelCount; ++number) {
    const std::optional<std::string> name = CheckedSettingText(
        names_[number - 1]->text(), QString::fromUtf8(settings_text::kLabelNumber).arg(number), this);
    if (!name) {
      names_[number - 1]->setFocus();
      return;
    }
    labels[static_cast<std::size_t>(number)] = Label{*name, colours_[number - 1]->StoredColour()};
  }
  const auto before = settings_.labels;
  settings_.labels = labels;
  if (!settings_.WriteBack(profile_)) {
    settings_.labels = before;
    QMessageBox::warning(this, QStringLiteral("Lanternpost"),
                         QString::fromUtf8(settings_text::kCannotSave) + FromSjis(profile_.LastError()));
    return;
  }
  QDialog::accept();
}

}  // namespace lp

#pragma once

#include <QDialog>
#include <array>

#include "config/app_settings.h"
#include "config/profile.h"

class QLineEdit;

namespace lp {

class ColourButton;

// The labels ("ラベル内容の設定"): the name and colour of labels 1 to 10.
// OK refuses a name with a line break or a character Shift_JIS cannot
// hold, takes the table over into the program's settings and writes it to
// the file at once; Cancel changes nothing.
class LabelDialog final : public QDialog {
  Q_OBJECT

 public:
  LabelDialog(AppSettings& settings, Profile& profile, QWidget* parent = nullptr);

  // Label `number` from 1 to 10.
  [[nodiscard]] QLineEdit& name(int number) { return *names_.at(number - 1); }
  [[nodiscard]] ColourButton& colour(int number) { return *colours_.at(number - 1); }

  void accept() override;

 private:
  AppSettings& settings_;
  Profile& profile_;
  std::array<QLineEdit*, kLabelCount> names_{};
  std::array<ColourButton*, kLabelCount> colours_{};
};

}  // namespace lp

#pragma once

#include <QDialog>

#include "config/profile.h"

class QLineEdit;

// The LAN directory ("LANディレクトリの設定"): the shared folder that LAN
// mail is picked up from ([Lan] Dir), typed or chosen with the folder
// chooser. Empty means no LAN mail. OK refuses a line break or a character
// Shift_JIS cannot hold and writes the key; Cancel changes nothing.

namespace lp {

class LanDirectoryDialog final : public QDialog {
  Q_OBJECT

 public:
  explicit LanDirectoryDialog(Profile& profile, QWidget* parent = nullptr);

  [[nodiscard]] QLineEdit& directory() { return *directory_; }

  void accept() override;

 private:
  Profile& profile_;
  QLineEdit* directory_;
};

}  // namespace lp

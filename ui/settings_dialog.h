#pragma once

#include <QDialog>
#include <vector>

#include "config/account_table.h"
#include "config/app_settings.h"
#include "config/profile.h"

class QComboBox;
class QTabWidget;

// The settings ("設定"): a property sheet of six pages over keys of
// "lpost.conf" and a few fields of the current account. Opening reads every
// key with its default; OK checks every value first (numbers within their
// range, texts without line breaks and in Shift_JIS) and, only when all
// pass, writes every key in one replacement of the file, stores the account
// fields (an unread pointer of 0 as 1), takes the flags and directories the
// program holds in memory over, saves the account table and creates the
// boxes and directories the new values ask for. Cancel changes nothing.
// The caller refreshes what depends on the keys (the toolbars' first
// button, the folder tree).

namespace lp {

class SettingsDialog final : public QDialog {
  Q_OBJECT

 public:
  SettingsDialog(Profile& profile, CSetMenuArray& accounts, AppSettings& settings, QWidget* parent = nullptr);

  [[nodiscard]] QTabWidget& pages() { return *pages_; }

  void accept() override;

 private:
  void Build();
  [[nodiscard]] bool Apply();

  Profile& profile_;
  CSetMenuArray& accounts_;
  AppSettings& settings_;
  QTabWidget* pages_ = nullptr;
  std::vector<QWidget*> controls_;  // one per row of the key table
  QComboBox* dial_up_entry_ = nullptr;
};

}  // namespace lp

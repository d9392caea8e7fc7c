#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "config/profile.h"
#include "rules/direct_mail.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

// "ダイレクトメール排除設定": the direct-mail filter's switches, the box that
// takes direct mail (chosen among the data directory's boxes) and the
// keyword file (chosen, or made from its template and opened for editing).
// OK checks what the filter needs (a box, a criterion, a keyword file,
// every keyword line a valid regular expression when they are ones) and
// writes every key of [Spam] at once; Cancel changes nothing.

namespace lp {

class DirectMailDialog final : public QDialog {
  Q_OBJECT

 public:
  // `open_file` hands a file to the desktop's editor.
  DirectMailDialog(Profile& profile, const std::string& data_directory,
                   std::function<void(const std::string& sjis_path)> open_file, QWidget* parent = nullptr);

  enum Switch { Divide, XMailer, English, Hiwai, KeyWord, KeyWordRegExp, ToCheck, VirusCheck, SwitchCount };
  [[nodiscard]] QCheckBox& check(Switch which) { return *checks_[which]; }
  [[nodiscard]] QComboBox& box() { return *box_; }
  [[nodiscard]] QLineEdit& keyword_file() { return *keyword_file_; }
  // "ファイルを開いて編集する": makes the file from its template when it is
  // missing, then opens it.
  void OpenKeywordFile();

  void accept() override;

 private:
  // A message naming what is wrong with the keyword file's patterns, or
  // empty when each line compiles (or the file cannot be read yet).
  [[nodiscard]] QString BadKeywordPattern(const std::string& path) const;

  Profile& profile_;
  std::function<void(const std::string&)> open_file_;
  std::vector<std::string> box_paths_;
  QCheckBox* checks_[SwitchCount] = {};
  QComboBox* box_;
  QLineEdit* keyword_file_;
};

}  // namespace lp

#pragma once

#include <QDialog>
#include <QStringList>

#include "util/text_out_set.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

// "テキスト出力": the text-export setting shown from entry 0 of the list
// ("前回の設定"), recalled from and saved under a name. OK stores the
// values shown into entry 0; the caller writes the list and runs the
// export.

namespace lp {

class TextExportDialog final : public QDialog {
  Q_OBJECT

 public:
  // `label_names`: the names of labels 1 to 10.
  TextExportDialog(CTextOutSetArray& list, const QStringList& label_names, QWidget* parent = nullptr);

  // The values shown, named as the setting shown last.
  [[nodiscard]] CTextOutSet Shown() const;
  void Show(const CTextOutSet& setting);

  void accept() override;
  // Steps of the buttons, for the buttons and for tests.
  void ChooseOutputFile();
  void LoadSetting();
  void SaveSetting();

 private:
  CTextOutSetArray& list_;
  std::string shown_name_;
  QCheckBox* read_;
  QCheckBox* unread_;
  QCheckBox* replied_;
  QCheckBox* sent_;
  QCheckBox* unsent_;
  QComboBox* label_;
  QLineEdit* file_;
  QCheckBox* all_headers_;
  QCheckBox* all_boxes_;
  QCheckBox* append_;
};

// "テキスト出力設定の選択": the names of the list, renamed, deleted and moved
// in place; OK chooses one.
class TextExportChoiceDialog final : public QDialog {
  Q_OBJECT

 public:
  TextExportChoiceDialog(CTextOutSetArray& list, QWidget* parent = nullptr);
  // The chosen entry's index, -1 for none.
  [[nodiscard]] int Chosen() const;
  [[nodiscard]] QListWidget& names() { return *names_; }
  void RenameChosen(const QString& name);
  void DeleteChosen();  // asks first
  void MoveChosen(int step);

 private:
  void Refill(int current);

  CTextOutSetArray& list_;
  QListWidget* names_;
};

}  // namespace lp

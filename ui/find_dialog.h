#pragma once

#include <QDialog>
#include <QStringList>

#include "config/profile.h"
#include "rules/mail_search.h"

class QCheckBox;
class QComboBox;

// "検索": the search condition of section "Find" with the text's history
// (section "Search"). On "開始" the condition and the history are written
// and the dialog is accepted. For the all-box search the start position
// and direction do not apply.

namespace lp {

class FindDialog final : public QDialog {
  Q_OBJECT

 public:
  // `label_names`: the names of labels 1 to 10.
  FindDialog(Profile& profile, const QStringList& label_names, bool all_boxes, QWidget* parent = nullptr);

  [[nodiscard]] SearchCondition condition() const;

  void accept() override;

 private:
  Profile& profile_;
  SearchCondition stored_;
  QComboBox* text_;
  QComboBox* field_;
  QCheckBox* fold_case_;
  QCheckBox* fold_width_;
  QCheckBox* fold_kana_;
  QCheckBox* regex_;
  QCheckBox* from_current_;
  QCheckBox* backward_;
  QComboBox* status_;
  QComboBox* label_;
};

}  // namespace lp

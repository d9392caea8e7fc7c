#pragma once

#include <QDialog>
#include <string>

#include "store/mail_import.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "他のメールソフトから取り込む...": the user names another program's
// folder tree or mbox file, sees what was found (folders, their formats
// and message counts, and the box each goes to) and picks the folder of
// ours the boxes go below. Accepting starts nothing by itself: the caller
// runs the import it asks for.

namespace lp {

class MailImportDialog final : public QDialog {
  Q_OBJECT

 public:
  // `data_directory` (Shift_JIS, absolute): its folders are offered as the
  // destination.
  explicit MailImportDialog(std::string data_directory, QWidget* parent = nullptr);

  // Sets the source (a native path) and looks at what it holds.
  void SetSource(const QString& native_path);
  void Scan();
  // The destination as typed or chosen: a folder path ("Old/Thunderbird",
  // ".lp" optional) or the first entry for the data directory.
  void SetDestination(const QString& folder);

  [[nodiscard]] MailImportRequest Request() const;
  [[nodiscard]] const MailSourceScan& Found() const { return scan_; }
  // The index paths the folders go to, below the data directory.
  [[nodiscard]] std::vector<std::string> PlannedBoxPaths() const;

  [[nodiscard]] QTreeWidget* folders() const { return folders_; }
  [[nodiscard]] QPushButton* start_button() const { return start_; }

 private:
  [[nodiscard]] std::string DestinationPath() const;
  void ShowPlan();

  std::string data_directory_;
  MailSourceScan scan_;
  QLineEdit* source_;
  QComboBox* destination_;
  QTreeWidget* folders_;
  QLabel* summary_;
  QPushButton* start_;
};

}  // namespace lp

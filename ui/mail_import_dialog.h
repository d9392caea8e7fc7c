#pragma once

#include <QDialog>
#include <memory>
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
// ours the boxes go below. The look at the source runs on a worker (a tree
// may be large, on a slow disk) with the directory in hand shown and a
// button that stops it. Enter in the source field looks again and never
// starts the import: only the start button does. Accepting starts nothing
// by itself: the caller runs the import it asks for.

namespace lp {

class MailSourceScanRun;

class MailImportDialog final : public QDialog {
  Q_OBJECT

 public:
  // `data_directory` (Shift_JIS, absolute): its folders are offered as the
  // destination.
  explicit MailImportDialog(std::string data_directory, QWidget* parent = nullptr);
  ~MailImportDialog() override;

  // Sets the source (a native path) and starts a look at what it holds.
  void SetSource(const QString& native_path);
  // Starts a look at the source (one still going is dropped); ScanFinished
  // comes when the list shows it.
  void Scan();
  void StopScan();
  [[nodiscard]] bool scanning() const;
  // The destination as typed or chosen: a folder path ("Old/Thunderbird",
  // ".lp" optional) or the first entry for the data directory.
  void SetDestination(const QString& folder);

  [[nodiscard]] MailImportRequest Request() const;
  [[nodiscard]] const MailSourceScan& Found() const { return scan_; }
  // The index paths the folders go to, below the data directory.
  [[nodiscard]] std::vector<std::string> PlannedBoxPaths() const;

  [[nodiscard]] QTreeWidget* folders() const { return folders_; }
  [[nodiscard]] QPushButton* start_button() const { return start_; }
  [[nodiscard]] QPushButton* stop_scan_button() const { return stop_scan_; }

 signals:
  void ScanFinished();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  [[nodiscard]] std::string DestinationPath() const;
  void ShowScan();
  void ShowPlan();

  std::string data_directory_;
  MailSourceScan scan_;
  std::unique_ptr<MailSourceScanRun> scan_run_;
  QLineEdit* source_;
  QComboBox* destination_;
  QTreeWidget* folders_;
  QLabel* summary_;
  QPushButton* start_;
  QPushButton* scan_button_;
  QPushButton* stop_scan_;
};

}  // namespace lp

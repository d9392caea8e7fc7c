#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <string>

#include "platform/job_progress.h"
#include "store/mail_import_source.h"

// A look at an import source on a worker thread: the walk and the message
// counts of every folder found, with the directory in hand as progress and
// a cancel that stops it within one directory or a few thousand lines.
// Finished comes on the GUI thread; the object may be destroyed at any
// time (a run still going is cancelled and waited for).

namespace lp {

class MailSourceScanRun final : public QObject {
  Q_OBJECT

 public:
  explicit MailSourceScanRun(std::string native_source, QObject* parent = nullptr);
  ~MailSourceScanRun() override;

  void Start();
  void Cancel() { progress_.RequestCancel(); }
  [[nodiscard]] bool running() const { return running_; }
  // Valid once Finished came.
  [[nodiscard]] const MailSourceOverview& overview() const { return overview_; }

 signals:
  // The directory or folder being looked at.
  void StatusChanged(const QString& native_path);
  void Finished();

 private:
  void ShowStatus();
  void Done();

  std::string native_source_;
  JobProgress progress_;
  MailSourceOverview overview_;
  QTimer poll_;
  QThreadPool pool_;
  bool running_ = false;
  std::uint64_t shown_generation_ = 0;
};

}  // namespace lp

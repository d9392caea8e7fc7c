#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "config/profile.h"
#include "rules/mail_search.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The search of every box on a worker thread: the window stays usable
// while the modeless "検索中" window shows the box being searched, with
// "中止" (end the search) and "次へ" (leave this box for the next).

namespace lp {

class WorkerJobs;

class AllBoxSearch final : public QObject {
  Q_OBJECT

 public:
  using Done = std::function<void(const BoxSearchResult& result)>;

  AllBoxSearch(QWidget* window, const Profile& profile, WorkerJobs& jobs);
  // A search still running is cancelled; WorkerJobs waits for it.
  ~AllBoxSearch() override;

  // Starts the walk over `box_list` from `start`; false when one runs.
  bool Start(std::vector<std::string> box_list, BoxSearchPosition start, const SearchCondition& condition, Done done);
  [[nodiscard]] bool IsRunning() const { return window_ != nullptr; }
  // The progress window while a search runs.
  [[nodiscard]] QDialog* progress_window() const { return window_; }

 private:
  class Shared;
  void ShowProgress();

  QWidget* parent_;
  const Profile& profile_;
  WorkerJobs& jobs_;
  std::shared_ptr<Shared> shared_;
  QDialog* window_ = nullptr;
  QLabel* status_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QTimer poll_;
};

}  // namespace lp

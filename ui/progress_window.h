#pragma once

#include <QDialog>
#include <functional>

#include "platform/user_interface.h"

class QLabel;
class QProgressBar;

// The modeless progress window of a receive, send or long loop: a status
// line, a bar and a cancel button. The rest of the program stays usable
// while it shows. Cancel both raises the flag that loops poll and runs the
// cancel action (which ends a network run at once).

namespace lp {

class ProgressWindow final : public QDialog, public Progress {
  Q_OBJECT

 public:
  ProgressWindow(QWidget* parent, const QString& caption, std::function<void()> on_cancel);

  void SetRange(int lower, int upper) override;
  void SetPosition(int position) override;
  void SetStatusText(std::string_view text) override;
  [[nodiscard]] bool CancelRequested() override;

  void RequestCancel();
  [[nodiscard]] QString StatusText() const;

 private:
  QLabel* status_;
  QProgressBar* bar_;
  std::function<void()> on_cancel_;
  bool cancel_requested_ = false;
};

}  // namespace lp

#include "ui/progress_window.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/sjis_qt.h"
#include "ui/ui_messages.h"

namespace lp {

ProgressWindow::ProgressWindow(QWidget* parent, const QString& caption, std::function<void()> on_cancel)
    : QDialog(parent), status_(new QLabel(this)), bar_(new QProgressBar(this)), on_cancel_(std::move(on_cancel)) {
  setWindowTitle(caption);
  setModal(false);
  setObjectName(QStringLiteral("progressWindow"));
  auto* cancel = new QPushButton(QString::fromUtf8(ui_text::kCancel), this);
  cancel->setObjectName(QStringLiteral("cancelButton"));
  auto* layout = new QVBoxLayout(this);
  status_->setMinimumWidth(320);
  layout->addWidget(status_);
  layout->addWidget(bar_);
  layout->addWidget(cancel, 0, Qt::AlignRight);
  connect(cancel, &QPushButton::clicked, this, &ProgressWindow::RequestCancel);
}

void ProgressWindow::SetRange(int lower, int upper) { bar_->setRange(lower, upper); }
void ProgressWindow::SetPosition(int position) { bar_->setValue(position); }
void ProgressWindow::SetStatusText(std::string_view text) { status_->setText(FromSjis(text)); }
bool ProgressWindow::CancelRequested() { return cancel_requested_; }
QString ProgressWindow::StatusText() const { return status_->text(); }

void ProgressWindow::RequestCancel() {
  if (cancel_requested_) return;
  cancel_requested_ = true;
  // The action may end the run, which destroys this window: call it last.
  if (on_cancel_) on_cancel_();
}

}  // namespace lp

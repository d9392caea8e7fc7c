#include "ui/mail_source_scan_run.h"

#include <QMetaObject>

#include "ui/sjis_qt.h"

namespace lp {
namespace {

// How often the window shows where the walk is.
constexpr int kPollMilliseconds = 100;

}  // namespace

MailSourceScanRun::MailSourceScanRun(std::string native_source, QObject* parent)
    : QObject(parent), native_source_(std::move(native_source)) {
  pool_.setMaxThreadCount(1);
  poll_.setInterval(kPollMilliseconds);
  connect(&poll_, &QTimer::timeout, this, &MailSourceScanRun::ShowStatus);
}

MailSourceScanRun::~MailSourceScanRun() {
  progress_.RequestCancel();
  pool_.waitForDone();
}

void MailSourceScanRun::Start() {
  running_ = true;
  poll_.start();
  pool_.start([this] {
    overview_ = LookAtMailSource(native_source_, &progress_);
    QMetaObject::invokeMethod(this, &MailSourceScanRun::Done, Qt::QueuedConnection);
  });
}

void MailSourceScanRun::ShowStatus() {
  const JobProgress::Snapshot snapshot = progress_.Read();
  if (snapshot.generation == shown_generation_) return;
  shown_generation_ = snapshot.generation;
  emit StatusChanged(FromSjis(snapshot.status_text));
}

void MailSourceScanRun::Done() {
  poll_.stop();
  pool_.waitForDone();
  running_ = false;
  emit Finished();
}

}  // namespace lp

#pragma once

#include <QString>

#include "app/background_job.h"

class QWidget;

// A long job on one open box (compacting it) run on a worker thread behind
// a progress window. The box is busy meanwhile and the window keeps the
// program's other windows from input until the job ends, so nothing reads
// or changes the box; they go on painting, and the window shows the
// progress and offers the cancel.

namespace lp {

// Returns once the job ended and the box was given back (its views
// reload); Failed, with the message that the box is in use, when a job
// holds the box already.
[[nodiscard]] JobResult RunBoxJobWithProgress(QWidget* parent, CLPOSTDoc& box, const QString& caption,
                                              const JobWork& work);

}  // namespace lp

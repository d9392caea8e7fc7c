#include "app/box_jobs.h"

#include <utility>

#include "store/compaction.h"
#include "store/mail_sort.h"

namespace lp {

JobWork AnalyseSpoolWork(CLPOSTDoc& box, std::string spool_path, MessageIdObserver* message_ids) {
  return [&box, spool_path = std::move(spool_path), message_ids](JobProgress& progress) {
    SpoolAnalysisResult analysis = AnalyseSpoolWithProgress(box, spool_path, &progress, message_ids);
    JobResult result;
    result.count = analysis.count;
    result.message = std::move(analysis.message);
    if (analysis.count == kAnalyseCancelled) {
      result.outcome = JobOutcome::Cancelled;
      result.count = 0;
    } else if (analysis.count < 0) {
      result.outcome = JobOutcome::Failed;
      result.count = 0;
    }
    return result;
  };
}

JobWork CompactWork(CLPOSTDoc& box) {
  return [&box](JobProgress& progress) {
    CompactionResult compaction = CompactWithProgress(box, &progress);
    JobResult result;
    result.count = box.Count();
    result.message = std::move(compaction.message);
    if (!compaction.ok) {
      result.outcome = progress.CancelRequested() ? JobOutcome::Cancelled : JobOutcome::Failed;
    }
    return result;
  };
}

JobWork SortWork(CLPOSTDoc& box, int key) {
  return [&box, key](JobProgress& progress) {
    JobResult result;
    result.count = box.Count();
    if (!Sort(box, key, &progress)) {
      result.outcome = progress.CancelRequested() ? JobOutcome::Cancelled : JobOutcome::Failed;
    }
    return result;
  };
}

}  // namespace lp

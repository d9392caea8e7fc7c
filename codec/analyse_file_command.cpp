#include "codec/analyse_file_command.h"

namespace lp {

int AnalyseFileIntoBox(CLPOSTDoc& box, std::string_view spool_path, MessageIdObserver* message_ids) {
  int count = AnalyseSpool(box, spool_path, message_ids);
  if (count <= 0) box.ui().ShowMessage(kMessageAnalysisFailed);
  box.UpdateUnreadMark();
  if (count > 0) box.SetModified();
  return count;
}

}  // namespace lp

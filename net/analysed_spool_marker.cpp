#include "net/analysed_spool_marker.h"

#include <cstdint>
#include <optional>

#include "net/decimal_fields.h"
#include "platform/atomic_file.h"
#include "platform/file_system.h"

namespace lp {
namespace {

std::string MarkerPath(std::string_view spool_path) {
  std::string path(spool_path);
  path += ".saved";
  return path;
}

// One line: text start, text end, date and the spool's length, then the
// subject, which makes a record that only shares the numbers no match.
struct Mark {
  std::uint64_t text_start = 0;
  std::uint64_t text_end = 0;
  std::int64_t date = 0;
  std::uint64_t spool_size = 0;
  std::string subject;
};

std::optional<Mark> ParseMark(std::string_view text) {
  Mark mark;
  if (!TakeNumber(text, mark.text_start) || !TakeNumber(text, mark.text_end) || !TakeNumber(text, mark.date) ||
      !TakeNumber(text, mark.spool_size)) {
    return std::nullopt;
  }
  if (text.empty() || text.back() != '\n') return std::nullopt;
  text.remove_suffix(1);
  mark.subject = std::string(text);
  return mark;
}

bool Matches(const CMail& record, const Mark& mark) {
  return record.text_start == mark.text_start && record.text_end == mark.text_end && record.date == mark.date &&
         record.subject == mark.subject;
}

}  // namespace

bool MarkSpoolAnalysed(std::string_view spool_path, const CLPOSTDoc& box, int first_new) {
  if (box.Count() <= first_new) return true;
  const CMail* last = box.RecordAt(box.Count() - 1);
  const std::optional<std::uint64_t> spool_size = FileSize(spool_path);
  if (last == nullptr || !spool_size || last->subject.find('\n') != std::string::npos) return false;
  std::string line = std::to_string(last->text_start) + ' ' + std::to_string(last->text_end) + ' ' +
                     std::to_string(last->date) + ' ' + std::to_string(*spool_size) + ' ' + last->subject + '\n';
  return ReplaceFileAtomically(MarkerPath(spool_path), line);
}

void ClearSpoolMark(std::string_view spool_path) { (void)RemoveFile(MarkerPath(spool_path)); }

LeftoverSpool SettleAnalysedSpool(std::string_view spool_path, const CLPOSTDoc& box) {
  const std::string marker_path = MarkerPath(spool_path);
  if (!PathExists(marker_path)) return LeftoverSpool::None;
  const std::optional<std::string> text = ReadWholeFile(marker_path);
  const std::optional<Mark> mark = text ? ParseMark(*text) : std::nullopt;
  bool in_box = false;
  if (mark && FileSize(spool_path) == mark->spool_size) {
    for (int i = box.Count(); i-- > 0 && !in_box;) in_box = Matches(*box.RecordAt(i), *mark);
  }
  // The spool goes before the marker: a crash in between finds the marker
  // again and, with no spool of that length, keeps nothing from it.
  if (in_box && !RemoveFile(spool_path)) return LeftoverSpool::Unknown;
  (void)RemoveFile(marker_path);
  return in_box ? LeftoverSpool::AlreadyInBox : LeftoverSpool::Unknown;
}

}  // namespace lp

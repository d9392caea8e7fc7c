#include "net/fetched_uid_journal.h"

#include <optional>
#include <vector>

#include "net/decimal_fields.h"
#include "net/uidl_lists.h"
#include "store/write_steps.h"

namespace lp {
namespace {

constexpr std::string_view kMessageStart = "+OK";
constexpr std::string_view kMessageEnd = "\r\n.\r\n";

struct JournalLine {
  std::uint64_t start = 0;
  int number = 0;
  std::string_view uid;
};

// "start number uid": nullopt for a line cut short or not ours.
std::optional<JournalLine> ParseLine(std::string_view line) {
  JournalLine parsed;
  if (!TakeNumber(line, parsed.start) || !TakeNumber(line, parsed.number)) return std::nullopt;
  if (line.empty() || line.size() > kMaxUidLength) return std::nullopt;
  parsed.uid = line;
  return parsed;
}

// The complete lines of the journal; a last line cut short by a crash is
// left out.
std::vector<JournalLine> ParseJournal(std::string_view text) {
  std::vector<JournalLine> lines;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    if (std::optional<JournalLine> line = ParseLine(text.substr(0, end))) lines.push_back(*line);
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool BytesAt(File& file, std::uint64_t offset, std::string_view expected) {
  std::string bytes(expected.size(), '\0');
  return file.Seek(offset) && file.ReadFull(bytes.data(), bytes.size()) == static_cast<std::int64_t>(bytes.size()) &&
         bytes == expected;
}

// A message is whole in the spool when it begins with the "+OK" of its
// RETR and the terminator closes it where the next message begins (the
// spool's end for the last one): messages are appended one after another.
bool WholeInSpool(File& spool, std::uint64_t start, std::uint64_t end) {
  return start <= end && end - start >= kMessageStart.size() + kMessageEnd.size() && BytesAt(spool, start, kMessageStart) && BytesAt(spool, end - kMessageEnd.size(), kMessageEnd);
}

}  // namespace

std::string FetchedJournalPathFor(std::string_view received_uid_list) {
  std::string path(received_uid_list);
  path += ".fetched";
  return path;
}

bool FetchedUidJournal::Open(std::string_view sjis_path) { return file_.Open(sjis_path, File::Mode::Append); }

bool FetchedUidJournal::Note(std::uint64_t spool_start, int number, std::string_view uid) {
  std::string line = std::to_string(spool_start);
  line += ' ';
  line += ReceivedUidLine(number, uid);
  return file_.Write(line);
}

SettleResult SettleFetchedJournal(std::string_view journal_path, std::string_view received_uid_list,
                                  std::string_view spool_path) {
  const std::optional<std::string> journal = ReadWholeFile(journal_path);
  if (!journal) return PathExists(journal_path) ? SettleResult::Failed : SettleResult::Nothing;

  std::string received_lines;
  File spool;
  if (spool.Open(spool_path, File::Mode::Read)) {
    const std::uint64_t spool_size = spool.Size().value_or(0);
    const std::vector<JournalLine> lines = ParseJournal(*journal);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::uint64_t end = i + 1 < lines.size() ? lines[i + 1].start : spool_size;
      if (end <= spool_size && WholeInSpool(spool, lines[i].start, end)) {
        received_lines += ReceivedUidLine(lines[i].number, lines[i].uid);
      }
    }
  }
  if (!received_lines.empty()) {
    File list;
    if (!list.Open(received_uid_list, File::Mode::Append) || !list.Write(received_lines) || !list.Sync()) {
      return SettleResult::Failed;
    }
    (void)list.Close();
    (void)SyncDirectoryOf(received_uid_list);
  }
  return RemoveFile(journal_path) ? SettleResult::Settled : SettleResult::Failed;
}

}  // namespace lp

#include "config/profile.h"

#include <climits>
#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/sjis_char.h"
#include "platform/atomic_file.h"
#include "platform/file_stamp.h"
#include "platform/file_system.h"

namespace lp {
namespace {

// A settings file is a few kilobytes; anything beyond this is not read into
// memory and never rewritten.
constexpr std::size_t kMaxFileBytes = std::size_t{16} << 20;

// What a new file gets: CR LF, the line ending INI files are written with.
constexpr std::string_view kDefaultLineEnding = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '"' || c == '\''; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view Trim(std::string_view text) {
  // Blanks are never trail bytes, so trimming by bytes is safe.
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// 2 for a lead byte followed by a trail byte, else 1.
std::size_t CharLength(std::string_view text, std::size_t i) {
  if (IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
      IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]))) {
    return 2;
  }
  return 1;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Only single-byte ASCII letters fold: the trail byte 0x41 of "ア" (0x83 0x41)
// must not meet the 0x61 of "ャ" (0x83 0x61).
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    if (CharLength(a, i) == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
      ++i;
    }
  }
  return true;
}

// Offset of `ch` standing as a character of its own (not a trail byte), or npos.
std::size_t FindCharacter(std::string_view text, char ch, std::size_t from = 0) {
  for (std::size_t i = from; i < text.size(); i += CharLength(text, i)) {
    if (text[i] == ch) return i;
  }
  return std::string_view::npos;
}

// The longest prefix of at most `max_bytes` that does not end in half a
// double-byte character.
std::string_view CutToWholeCharacters(std::string_view text, std::size_t max_bytes) {
  if (text.size() <= max_bytes) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    std::size_t next = end + CharLength(text, end);
    if (next > max_bytes) break;
    end = next;
  }
  return text.substr(0, end);
}

// Trimmed, and one pair of matching enclosing quotes removed.
std::string_view DecodeValue(std::string_view raw) {
  std::string_view value = Trim(raw);
  if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()) {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

// A value that reading would change (surrounding blanks, enclosing quotes)
// is written inside double quotes so that it reads back as it was given.
std::string EncodeValue(std::string_view value) {
  bool needs_quotes =
      !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                         (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()));
  if (!needs_quotes) return std::string(value);
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  quoted += value;
  quoted += '"';
  return quoted;
}

std::optional<int> ParseLeadingInt(std::string_view text) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
  // Saturates instead of overflowing on absurdly long digit runs.
  constexpr std::int64_t kLimit = std::int64_t{INT_MAX} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

enum class LineKind { Blank, Section, Key, Other };

struct IniLine {
  std::size_t begin = 0;     // first byte of the line
  std::size_t text_end = 0;  // where the line ending starts
  std::size_t end = 0;       // past the line ending
  LineKind kind = LineKind::Other;
  std::string_view name;        // trimmed section or key name
  std::size_t value_begin = 0;  // key lines: just past the '='
};

// Walks the lines of the file's content. A line ends at CR LF, LF or a lone CR.
class LineReader {
 public:
  explicit LineReader(std::string_view content)
      : content_(content), next_lf_(Find('\n')), next_cr_(Find('\r')) {}

  // Moves to the next line that starts (after blanks) with '[': lines
  // outside the section looked for are passed at the speed of a byte search.
  void SkipToSectionHeader() {
    std::size_t from = pos_;
    for (;;) {
      std::size_t bracket = content_.find('[', from);
      if (bracket == std::string_view::npos) {
        pos_ = content_.size();
        return;
      }
      // A '[' after anything but blanks (a trail byte included) starts no header.
      std::size_t start = bracket;
      while (start > pos_ && IsBlank(content_[start - 1])) --start;
      if (start == pos_ || content_[start - 1] == '\n' || content_[start - 1] == '\r') {
        pos_ = start;
        return;
      }
      from = bracket + 1;
    }
  }

  bool Next(IniLine& line) {
    if (pos_ >= content_.size()) return false;
    line = IniLine{};
    line.begin = pos_;
    std::size_t i = NextLineBreak();
    line.text_end = i;
    if (i < content_.size()) {
      i += (content_[i] == '\r' && i + 1 < content_.size() && content_[i + 1] == '\n') ? 2 : 1;
    }
    line.end = i;
    pos_ = i;
    Classify(line);
    return true;
  }

 private:
  // The next CR and LF are remembered separately, so a file of LF lines
  // is not searched to its end for a CR at every line.
  std::size_t NextLineBreak() {
    if (next_lf_ < pos_) next_lf_ = Find('\n');
    if (next_cr_ < pos_) next_cr_ = Find('\r');
    return next_lf_ < next_cr_ ? next_lf_ : next_cr_;
  }

  std::size_t Find(char ch) const {
    std::size_t at = content_.find(ch, pos_);
    return at == std::string_view::npos ? content_.size() : at;
  }

  void Classify(IniLine& line) const {
    std::string_view text = content_.substr(line.begin, line.text_end - line.begin);
    std::size_t first = 0;
    while (first < text.size() && IsBlank(text[first])) ++first;
    if (first == text.size()) {
      line.kind = LineKind::Blank;
      return;
    }
    if (text[first] == '[') {
      std::size_t close = FindCharacter(text, ']', first + 1);
      if (close == std::string_view::npos) return;
      line.kind = LineKind::Section;
      line.name = Trim(text.substr(first + 1, close - first - 1));
      return;
    }
    if (text[first] == ';') return;  // comment
    std::size_t equals = text.find('=', first);  // '=' is never a trail byte
    if (equals == std::string_view::npos) return;
    line.kind = LineKind::Key;
    line.name = Trim(text.substr(first, equals - first));
    line.value_begin = line.begin + equals + 1;
  }

  std::string_view content_;
  std::size_t pos_ = 0;
  std::size_t next_lf_;
  std::size_t next_cr_;
};

// Where a key stands, or where it would be added.
struct KeyLocation {
  std::optional<IniLine> key_line;  // the first one: duplicates after it are ignored
  // The first section of that name: its header or its last non-blank line.
  std::optional<IniLine> section_tail;
};

// Keys are looked up through every section of the name, in file order.
KeyLocation LocateKey(std::string_view content, std::string_view section, std::string_view key) {
  KeyLocation location;
  LineReader reader(content);
  IniLine line;
  bool in_section = false;
  bool in_first_section = false;
  for (;;) {
    if (!in_section) reader.SkipToSectionHeader();
    if (!reader.Next(line)) break;
    switch (line.kind) {
      case LineKind::Section:
        in_section = NamesEqual(line.name, section);
        in_first_section = in_section && !location.section_tail;
        if (in_first_section) location.section_tail = line;
        break;
      case LineKind::Key:
        if (in_section && NamesEqual(line.name, key)) {
          location.key_line = line;
          return location;
        }
        if (in_first_section) location.section_tail = line;
        break;
      case LineKind::Other:
        if (in_first_section) location.section_tail = line;
        break;
      case LineKind::Blank:
        break;
    }
  }
  return location;
}

std::string_view DetectLineEnding(std::string_view content) {
  std::size_t i = content.find_first_of("\r\n");
  if (i == std::string_view::npos) return kDefaultLineEnding;
  if (content[i] == '\n') return "\n";
  if (i + 1 < content.size() && content[i + 1] == '\n') return "\r\n";
  return "\r";
}

bool EndsWithLineEnding(std::string_view content) {
  return !content.empty() && (content.back() == '\n' || content.back() == '\r');
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Names and values that the file could not give back as they were meant
// (they would split the line or read as a section header or comment).
bool CheckEntry(std::string_view section, std::string_view key, std::string_view value,
                std::string& error) {
  section = Trim(section);
  key = Trim(key);
  // The header's "]" must stand as a character of its own: a "]" inside the
  // name, or a lead byte at its end taking the "]" as its trail byte, would
  // leave a header that never reads back.
  const std::string header = std::string(section) + "]";
  if (HasLineBreakOrNul(section) || FindCharacter(header, ']') != section.size()) {
    error = "section name cannot be stored: " + std::string(section);
    return false;
  }
  if (HasLineBreakOrNul(key) || key.find('=') != std::string_view::npos ||
      (!key.empty() && (key.front() == '[' || key.front() == ';'))) {
    error = "key name cannot be stored: " + std::string(key);
    return false;
  }
  if (HasLineBreakOrNul(value)) {
    error = "value with a line break cannot be stored for key " + std::string(key);
    return false;
  }
  return true;
}

void SetValue(std::string& content, std::string_view section, std::string_view key,
              std::string_view value) {
  section = Trim(section);
  key = Trim(key);
  KeyLocation location = LocateKey(content, section, key);
  if (location.key_line) {
    const IniLine& line = *location.key_line;
    std::string_view old_raw(content.data() + line.value_begin, line.text_end - line.value_begin);
    // An equal value keeps the line as the user formatted it.
    if (DecodeValue(old_raw) == value) return;
    content.replace(line.value_begin, line.text_end - line.value_begin, EncodeValue(value));
    return;
  }
  std::string_view eol = DetectLineEnding(content);
  std::string key_line;
  key_line.append(key).append("=").append(EncodeValue(value)).append(eol);
  if (location.section_tail) {
    const IniLine& tail = *location.section_tail;
    if (tail.text_end == tail.end) key_line.insert(0, eol);  // last line of the file, unterminated
    content.insert(tail.end, key_line);
    return;
  }
  if (!content.empty() && !EndsWithLineEnding(content)) content.append(eol);
  content.append("[").append(section).append("]").append(eol).append(key_line);
}

void EraseRanges(std::string& content, const std::vector<std::pair<std::size_t, std::size_t>>& ranges) {
  for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
    content.erase(it->first, it->second - it->first);
  }
}

void RemoveKeyLines(std::string& content, std::string_view section, std::string_view key) {
  section = Trim(section);
  key = Trim(key);
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  LineReader reader(content);
  IniLine line;
  bool in_section = false;
  while (reader.Next(line)) {
    if (line.kind == LineKind::Section) {
      in_section = NamesEqual(line.name, section);
    } else if (in_section && line.kind == LineKind::Key && NamesEqual(line.name, key)) {
      // Every duplicate goes, or the next one would surface as the value.
      ranges.emplace_back(line.begin, line.end);
    }
  }
  EraseRanges(content, ranges);
}

void RemoveSectionLines(std::string& content, std::string_view section) {
  section = Trim(section);
  std::vector<std::pair<std::size_t, std::size_t>> ranges;
  LineReader reader(content);
  IniLine line;
  bool in_section = false;
  while (reader.Next(line)) {
    if (line.kind == LineKind::Section) {
      in_section = NamesEqual(line.name, section);
      if (in_section) ranges.emplace_back(line.begin, line.end);
    } else if (in_section) {
      ranges.back().second = line.end;
    }
  }
  EraseRanges(content, ranges);
}

enum class LoadResult { Read, Missing, Unreadable };

LoadResult LoadFile(const std::string& path, std::string& content, std::string* error) {
  content.clear();
  File file;
  if (!file.Open(path, File::Mode::Read)) {
    std::string reason = LastSystemErrorText();
    if (!PathExists(path)) return LoadResult::Missing;
    if (error) *error = reason;
    return LoadResult::Unreadable;
  }
  const std::uint64_t expected = file.Size().value_or(0);
  if (expected > kMaxFileBytes) {
    if (error) *error = "settings file larger than 16 MiB";
    return LoadResult::Unreadable;
  }
  // One read for the whole file; the byte asked for beyond its size shows
  // whether it grew meanwhile.
  content.resize(static_cast<std::size_t>(expected) + 1);
  std::int64_t n = file.ReadFull(content.data(), content.size());
  if (n < 0) {
    if (error) *error = LastSystemErrorText();
    return LoadResult::Unreadable;
  }
  content.resize(static_cast<std::size_t>(n));
  if (static_cast<std::uint64_t>(n) <= expected) return LoadResult::Read;
  char buffer[16384];
  for (;;) {
    n = file.Read(buffer, sizeof buffer);
    if (n < 0) {
      if (error) *error = LastSystemErrorText();
      return LoadResult::Unreadable;
    }
    if (n == 0) return LoadResult::Read;
    if (content.size() + static_cast<std::size_t>(n) > kMaxFileBytes) {
      if (error) *error = "settings file larger than 16 MiB";
      return LoadResult::Unreadable;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
}

// Every rewrite of a settings file in this process takes this lock, so
// that each one reads the file as the one before left it: two threads
// (the import worker noting read boxes, the window saving its settings)
// would otherwise each rename their own edit over the other's. Writes are
// few and short, so one lock for every settings file costs nothing.
std::mutex& RewriteLock() {
  static std::mutex lock;
  return lock;
}

// Names as lookups compare them: ASCII letters outside double-byte
// characters in lower case (see NamesEqual).
std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size();) {
    if (CharLength(folded, i) == 2) {
      i += 2;
    } else {
      folded[i] = FoldAscii(folded[i]);
      ++i;
    }
  }
  return folded;
}

}  // namespace

// The file's content and an index of its keys. The first key of a name in
// the first of the sections of a name wins, as a walk through the file finds it.
class ProfileCache {
 public:
  // The value as stored (trimmed and unquoted), or nullopt when the key or
  // the file is missing or the file cannot be read.
  std::optional<std::string> Value(const std::string& path, std::string_view section,
                                   std::string_view key) {
    std::lock_guard lock(mutex_);
    Refresh(path);
    auto in_section = sections_.find(FoldName(Trim(section)));
    if (in_section == sections_.end()) return std::nullopt;
    auto value = in_section->second.find(FoldName(Trim(key)));
    if (value == in_section->second.end()) return std::nullopt;
    return std::string(value->second);
  }

  void Invalidate() {
    std::lock_guard lock(mutex_);
    valid_ = false;
  }

 private:
  void Refresh(const std::string& path) {
    // The stamp is taken before the read: a change that lands in between
    // leaves newer content under an older stamp, which only costs a re-read.
    std::optional<FileStamp> stamp = StampOfFile(path);
    if (valid_ && stamp == stamp_) return;
    sections_.clear();
    const LoadResult result = LoadFile(path, content_, nullptr);
    valid_ = result != LoadResult::Unreadable;
    stamp_ = stamp;
    if (valid_) Index();
  }

  void Index() {
    LineReader reader(content_);
    IniLine line;
    std::unordered_map<std::string, std::string_view>* section = nullptr;
    while (reader.Next(line)) {
      if (line.kind == LineKind::Section) {
        section = &sections_[FoldName(line.name)];
      } else if (line.kind == LineKind::Key && section) {
        std::string_view raw(content_.data() + line.value_begin, line.text_end - line.value_begin);
        section->emplace(FoldName(line.name), DecodeValue(raw));
      }
    }
  }

  std::mutex mutex_;
  bool valid_ = false;
  std::optional<FileStamp> stamp_;
  std::string content_;
  std::unordered_map<std::string, std::unordered_map<std::string, std::string_view>> sections_;
};

Profile::Profile(std::string sjis_path)
    : path_(std::move(sjis_path)), cache_(std::make_shared<ProfileCache>()) {}

int Profile::GetInt(std::string_view section, std::string_view key, int default_value) const {
  std::optional<std::string> value = cache_->Value(path_, section, key);
  if (!value) return default_value;
  return ParseLeadingInt(*value).value_or(default_value);
}

std::string Profile::GetString(std::string_view section, std::string_view key,
                               std::string_view default_value) const {
  std::optional<std::string> value = cache_->Value(path_, section, key);
  std::string_view result = value ? std::string_view(*value) : default_value;
  return std::string(CutToWholeCharacters(result, kMaxStringBytes));
}

bool Profile::WriteInt(std::string_view section, std::string_view key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool Profile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  ProfileEntry entry{section, key, value};
  return WriteStrings(std::span<const ProfileEntry>(&entry, 1));
}

bool Profile::WriteStrings(std::span<const ProfileEntry> entries) {
  last_error_.clear();
  for (const ProfileEntry& entry : entries) {
    if (!CheckEntry(entry.section, entry.key, entry.value, last_error_)) return false;
  }
  return Rewrite([&](std::string& content) {
    for (const ProfileEntry& entry : entries) SetValue(content, entry.section, entry.key, entry.value);
  });
}

bool Profile::RemoveKey(std::string_view section, std::string_view key) {
  last_error_.clear();
  return Rewrite([&](std::string& content) { RemoveKeyLines(content, section, key); });
}

bool Profile::RemoveSection(std::string_view section) {
  last_error_.clear();
  return Rewrite([&](std::string& content) { RemoveSectionLines(content, section); });
}

template <typename Edit>
bool Profile::Rewrite(Edit edit) {
  const std::lock_guard lock(RewriteLock());
  std::string content;
  // A file that exists but cannot be read is never replaced: its keys
  // would be lost.
  if (LoadFile(path_, content, &last_error_) == LoadResult::Unreadable) return false;
  std::string edited = content;
  edit(edited);
  if (edited == content) return true;  // nothing to change: no write, no new file
  if (edited.size() > kMaxFileBytes) {
    last_error_ = "settings file would grow beyond 16 MiB";
    return false;
  }
  // Read again at the next lookup, whether the replacement went through or not.
  cache_->Invalidate();
  return ReplaceFileAtomically(path_, edited, &last_error_);
}

}  // namespace lp

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_opener.h"
#include "platform/file_system.h"
#include "platform/user_interface.h"
#include "rules/rules_messages.h"

// The direct-mail filter's keyword file: a text file with one keyword (or
// one regular expression) per line, read line by line. All texts are
// Shift_JIS.

namespace lp {

// "keyword.txt" in the data directory (the working directory).
[[nodiscard]] std::string DefaultKeywordFilePath();

// Reads the lines of a keyword file. A line is at most 2047 bytes: a longer
// one is handed out in pieces of that size (never splitting a double-byte
// character). The trailing LF and CR of each line are removed. Memory stays
// bounded whatever the file holds.
class KeywordLineReader {
 public:
  static constexpr std::size_t kMaxLineBytes = 2047;

  // False when the file cannot be opened for reading.
  [[nodiscard]] bool Open(std::string_view sjis_path);
  // The next line into `line`; false at the end of the file.
  bool Next(std::string& line);

 private:
  [[nodiscard]] int Peek();
  void Skip() { ++position_; }

  File file_;
  char buffer_[8192];
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool at_end_ = false;
};

// Creates the keyword file with the template unless it exists. False when
// it could not be created.
bool EnsureKeywordFile(std::string_view sjis_path);

// "ファイルを開いて編集する": makes the file when missing ("ファイルが作れません"
// when it cannot be made) and hands it to the desktop's editor.
bool OpenKeywordFileForEditing(std::string_view sjis_path, UserInterface& ui, FileOpener& opener);

}  // namespace lp

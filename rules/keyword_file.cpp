#include "rules/keyword_file.h"

#include "platform/sjis_char.h"
#include "platform/atomic_file.h"
#include "platform/sjis_path.h"

namespace lp {

std::string DefaultKeywordFilePath() { return JoinPath(CurrentDirectory(), "keyword.txt"); }

bool KeywordLineReader::Open(std::string_view sjis_path) {
  position_ = filled_ = 0;
  at_end_ = false;
  return file_.Open(sjis_path, File::Mode::Read);
}

int KeywordLineReader::Peek() {
  if (position_ == filled_) {
    if (at_end_ || !file_.IsOpen()) return -1;
    const std::int64_t got = file_.Read(buffer_, sizeof buffer_);
    if (got <= 0) {
      at_end_ = true;
      return -1;
    }
    position_ = 0;
    filled_ = static_cast<std::size_t>(got);
  }
  return static_cast<unsigned char>(buffer_[position_]);
}

bool KeywordLineReader::Next(std::string& line) {
  line.clear();
  if (Peek() < 0) return false;
  bool trail_expected = false;
  for (int c = Peek(); c >= 0; c = Peek()) {
    if (c == '\n') {
      Skip();
      break;
    }
    const bool lead = !trail_expected && IsSjisLeadByte(static_cast<unsigned char>(c));
    // A full line ends before a lead byte whose trail would not fit.
    if (line.size() == kMaxLineBytes || (lead && line.size() + 1 == kMaxLineBytes)) {
      // The line end that follows a full piece belongs to it, so that a
      // line of exactly the maximum length gives no empty line after it.
      if (c == '\r') Skip();
      if (Peek() == '\n') Skip();
      break;
    }
    line += static_cast<char>(c);
    Skip();
    trail_expected = lead;
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return true;
}

bool EnsureKeywordFile(std::string_view sjis_path) {
  if (PathExists(sjis_path)) return true;
  return ReplaceFileAtomically(sjis_path, kKeywordFileTemplate);
}

bool OpenKeywordFileForEditing(std::string_view sjis_path, UserInterface& ui, FileOpener& opener) {
  if (!EnsureKeywordFile(sjis_path)) {
    ui.ShowMessage(kKeywordFileCannotCreate);
    return false;
  }
  return opener.OpenWithDefaultProgram(sjis_path);
}

}  // namespace lp

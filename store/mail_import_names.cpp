#include "store/mail_import_names.h"

#include "platform/code_page.h"
#include "platform/sjis_char.h"
#include "platform/sjis_path.h"

namespace lp {
namespace {

bool IsForbiddenInFileName(unsigned char c) {
  switch (c) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
      return true;
    default:
      return c < 0x20 || c == 0x7F;
  }
}

}  // namespace

std::string BoxNameFromFolderName(std::string_view utf8_name) {
  // The conversion writes "?" for a character Shift_JIS lacks; "?" cannot
  // stand in a file name either, so both become "_".
  std::string name = Utf8ToCp932(utf8_name);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (IsSjisLeadByte(byte) && i + 1 < name.size()) {
      ++i;  // a trail byte may be 0x5C or 0x7C: it is part of a character
      continue;
    }
    if (IsForbiddenInFileName(byte)) name[i] = '_';
  }
  std::size_t first = name.find_first_not_of('.');
  name.erase(0, first == std::string::npos ? name.size() : first);
  // Neither byte is ever a trail byte, so the end is a character of its own.
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name.empty() ? std::string("_") : name;
}

std::string FolderPathFromUtf8(std::string_view utf8_folder) {
  std::string folder;
  std::size_t start = 0;
  while (start < utf8_folder.size()) {
    std::size_t slash = utf8_folder.find('/', start);
    if (slash == std::string_view::npos) slash = utf8_folder.size();
    std::string name(utf8_folder.substr(start, slash - start));
    start = slash + 1;
    if (name.empty() || name == ".") continue;
    if (!name.ends_with(".lp")) name += ".lp";
    folder = folder.empty() ? Utf8ToCp932(name) : JoinPath(folder, Utf8ToCp932(name));
  }
  return folder;
}

}  // namespace lp

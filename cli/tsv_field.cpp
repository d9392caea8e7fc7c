#include "cli/tsv_field.h"

#include "platform/code_page.h"

namespace lp {

std::string TsvFieldUtf8(const std::string& sjis) {
  std::string text = Cp932ToUtf8(sjis);
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace lp

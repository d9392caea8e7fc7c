// Fuzz target: any bytes as HTML for HtmlToText and as a stored mail for
// ReadableMailText. The text made has no empty line at either end, never
// two empty lines in a row and a size in proportion to the input; a
// readable mail keeps its header.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "codec/html_text.h"
#include "codec/readable_mail.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string text = lp::HtmlToText(input);
  Check(text.find("\r\n\r\n\r\n") == std::string::npos);
  Check(!text.starts_with("\r\n") && !text.ends_with("\r\n"));
  Check(text.size() <= 64 + 16 * input.size());

  // As a received mail of each kind the display makes readable.
  for (const std::string_view header : {"Content-Type: text/html\r\n\r\n", "Content-Type: multipart/mixed\r\n\r\n"}) {
    const std::string stored = std::string(header) + std::string(input);
    const std::string readable = lp::ReadableMailText(stored);
    Check(readable.starts_with(header));
  }
  return 0;
}

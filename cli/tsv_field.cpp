#include "cli/tsv_field.h"

#include "cli/terminal_text.h"

namespace lp {

std::string TsvFieldUtf8(const std::string& sjis) { return TerminalSafeFromSjis(sjis, LineBreaks::AsBlank); }

}  // namespace lp

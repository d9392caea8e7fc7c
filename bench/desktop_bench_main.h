#pragma once

#include <string>

namespace lp::bench {

// The template data directory, written before the QApplication started.
[[nodiscard]] const std::string& DesktopTemplatePath();

}  // namespace lp::bench

#pragma once

#include <QStringList>
#include <string>
#include <vector>

// The boxes of a data directory as a user picks among them: each box's path
// and its label, "Folder/Box" without the ".lp"s.

namespace lp {

struct BoxChoices {
  std::vector<std::string> paths;  // Shift_JIS, as the box list gives them
  QStringList labels;
};

// Every box (no folders) below `data_directory`, the box at `left_out` (an
// absolute path; empty for none) left out.
[[nodiscard]] BoxChoices ListBoxChoices(const std::string& data_directory, const std::string& left_out = {});

}  // namespace lp

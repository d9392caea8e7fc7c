#pragma once

#include <string_view>

// Hands a file to the program the desktop associates with it (a browser for
// an HTML page). The desktop application implements it with the system's
// "open" service; the command line and tests provide their own.

namespace lp {

class FileOpener {
 public:
  virtual ~FileOpener() = default;
  // False when the file could not be opened; the implementation tells the
  // user why, as only it knows the system's reason.
  virtual bool OpenWithDefaultProgram(std::string_view sjis_path) = 0;
};

}  // namespace lp

#pragma once

#include <memory>
#include <string>

#include "tests/support/temp_directory.h"

// A data directory whose receive box holds 100,000 realistic mails, for
// the desktop benchmarks. The box is written once into a template under
// the system's temporary directory (keyed by a version string, so a change
// of the generator writes a new one) and copied for each run, so a run may
// sort and save without spoiling the next.

namespace lp::bench {

inline constexpr int kDesktopBoxMails = 100000;

// Writes the template unless it is already complete; returns its path.
// Call before the QApplication exists: the writing runs in a child process
// so that its memory does not count towards the benchmark's peak.
[[nodiscard]] std::string EnsureDesktopTemplate();

// A fresh copy of the template, removed with the object.
class DesktopDataCopy {
 public:
  explicit DesktopDataCopy(const std::string& template_path);
  [[nodiscard]] const std::string& path() const { return dir_.path(); }

 private:
  lp::testing::TempDirectory dir_;
};

}  // namespace lp::bench

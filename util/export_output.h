#pragma once

#include <string>
#include <string_view>

#include "codec/buffered_file_writer.h"
#include "platform/atomic_file.h"

// Where a text export writes: a temporary file beside the output file. Only
// once the whole export was produced does it replace the output file (or,
// for a setting that appends, get added at its end): an export that fails,
// is cancelled or is refused leaves the output file as it was.

namespace lp {

class ExportOutput {
 public:
  ExportOutput() = default;
  // An export never committed is dropped.
  ~ExportOutput() { Abandon(); }
  ExportOutput(const ExportOutput&) = delete;
  ExportOutput& operator=(const ExportOutput&) = delete;

  // Makes the temporary file in the directory of `path` (links resolved, so
  // a link keeps naming its file). The output file is not touched. False
  // when it cannot be made; message() then says why.
  [[nodiscard]] bool Begin(std::string_view path, bool append);
  [[nodiscard]] BufferedFileWriter& writer() { return out_; }
  // Puts the export in place. False when the output could not be written;
  // message() says why (Shift_JIS, names the file).
  [[nodiscard]] bool Commit();
  // Removes the temporary file; the output stays as it was.
  void Abandon();

  [[nodiscard]] const std::string& message() const { return message_; }

 private:
  bool Fail(std::string_view reason);
  bool AppendTemporaryToTarget();

  AtomicFileWriter temporary_;
  BufferedFileWriter out_;
  std::string target_;
  std::string message_;
  bool append_ = false;
};

}  // namespace lp

#include "util/export_output.h"

#include <vector>

#include "platform/file_system.h"
#include "platform/resolved_path.h"
#include "util/util_messages.h"

namespace lp {
namespace {

constexpr std::size_t kCopyBlockBytes = 256 * 1024;

}  // namespace

bool ExportOutput::Begin(std::string_view path, bool append) {
  Abandon();
  message_.clear();
  append_ = append;
  const std::optional<std::string> resolved = ResolvedPath(path);
  target_ = resolved ? *resolved : std::string(path);
  if (!resolved || IsDirectory(target_)) return Fail({});
  if (!temporary_.Begin(target_)) return Fail(temporary_.ErrorText());
  if (!out_.OpenAppend(temporary_.TemporaryPath())) return Fail(LastSystemErrorText());
  return true;
}

bool ExportOutput::Commit() {
  if (!out_.Close()) return Fail(out_.ErrorText());
  if (!append_) {
    if (!temporary_.Commit()) return Fail(temporary_.ErrorText());
    return true;
  }
  const bool appended = AppendTemporaryToTarget();
  temporary_.Abandon();
  return appended;
}

bool ExportOutput::AppendTemporaryToTarget() {
  File source;
  File target;
  if (!source.Open(temporary_.TemporaryPath(), File::Mode::Read)) return Fail(LastSystemErrorText());
  if (!target.Open(target_, File::Mode::Append)) return Fail(LastSystemErrorText());
  std::vector<char> block(kCopyBlockBytes);
  for (;;) {
    const std::int64_t read = source.Read(block.data(), block.size());
    if (read < 0) return Fail(LastSystemErrorText());
    if (read == 0) break;
    if (!target.Write(std::string_view(block.data(), static_cast<std::size_t>(read)))) {
      return Fail(LastSystemErrorText());
    }
  }
  if (!target.Sync() || !target.Close()) return Fail(LastSystemErrorText());
  return true;
}

void ExportOutput::Abandon() {
  out_.Close();
  temporary_.Abandon();
}

bool ExportOutput::Fail(std::string_view reason) {
  message_ = std::string(util_messages::kOutputFileOpenFailed) + ":" + target_;
  if (!reason.empty()) message_ += " (" + std::string(reason) + ")";
  Abandon();
  return false;
}

}  // namespace lp

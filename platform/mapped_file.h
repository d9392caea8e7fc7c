#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A whole file mapped read-only, for reading a large file once from front
// to back: the pages already read can be given back, so the process never
// holds the whole file and what it builds from it at the same time.
// The files read this way are replaced by rename when written, never
// rewritten in place, so the mapped bytes stay valid while they are read.

namespace lp {

class MappedFile {
 public:
  MappedFile() = default;
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  // False (with the reason in `error`) when the file cannot be opened or
  // mapped. An empty file maps to no bytes.
  [[nodiscard]] bool Open(std::string_view sjis_path, std::string* error);
  [[nodiscard]] std::string_view bytes() const { return {data_, size_}; }

  // Gives back the whole pages before `offset`; reading them again reads
  // the file again.
  void ReleaseBefore(std::size_t offset);

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t released_ = 0;
};

}  // namespace lp

#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// File operations on Shift_JIS paths. Every OS call gets the path converted
// to UTF-8; names read from a directory come back as Shift_JIS.

namespace lp {

[[nodiscard]] std::string ToNativePath(std::string_view sjis_path);
[[nodiscard]] std::string FromNativePath(std::string_view native_path);

[[nodiscard]] std::string CurrentDirectory();
[[nodiscard]] bool SetCurrentDirectory(std::string_view sjis_path);

[[nodiscard]] bool PathExists(std::string_view sjis_path);
[[nodiscard]] bool IsDirectory(std::string_view sjis_path);
[[nodiscard]] bool IsRegularFile(std::string_view sjis_path);
[[nodiscard]] std::optional<std::uint64_t> FileSize(std::string_view sjis_path);

// True when the directory exists afterwards (an existing one is no error).
bool MakeDirectory(std::string_view sjis_path);
// Creates missing parents as well.
bool MakeDirectories(std::string_view sjis_path);
// Creates a zero-length file unless one can already be opened for reading.
bool CreateEmptyFileIfMissing(std::string_view sjis_path);
// Renames only when `to` does not exist yet (as the Windows MoveFile does).
bool RenameNoReplace(std::string_view from, std::string_view to);
// Renames over an existing `to`.
bool RenameReplace(std::string_view from, std::string_view to);
bool RemoveFile(std::string_view sjis_path);
// Removes a file, or a directory with everything below it; true when
// nothing is left.
bool RemoveTree(std::string_view sjis_path);

struct DirectoryEntry {
  std::string name;  // Shift_JIS
  bool is_directory = false;
};
// Entries other than "." and ".."; nullopt when the directory cannot be read.
[[nodiscard]] std::optional<std::vector<DirectoryEntry>> ListDirectory(std::string_view sjis_path);

// Makes the file readable and writable by its owner only (mode 0600),
// creating it empty when it is missing. False when that failed.
[[nodiscard]] bool KeepPrivate(std::string_view sjis_path);

// The whole content, or nullopt (with the reason in `error`).
[[nodiscard]] std::optional<std::string> ReadWholeFile(std::string_view sjis_path,
                                                       std::string* error = nullptr);

// Text of the last failed OS call (errno).
[[nodiscard]] std::string LastSystemErrorText();
// The system's text for an errno value; safe on any thread.
[[nodiscard]] std::string SystemErrorText(int error_number);

// An unbuffered binary file. Operations report failure by their result.
class File {
 public:
  enum class Mode {
    Read,       // existing file, read only
    // An existing regular file, read only. A named pipe, a device or a
    // socket is refused at once (EINVAL) and never waited on.
    ReadRegular,
    Write,      // create or truncate, write only
    Append,     // create when missing, every write goes to the end
    ReadWrite,  // existing file, read and write
  };

  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  [[nodiscard]] bool Open(std::string_view sjis_path, Mode mode);
  // Opens a path in the file system's own encoding (UTF-8): files of other
  // programs whose names Shift_JIS cannot spell.
  [[nodiscard]] bool OpenNative(std::string_view native_path, Mode mode);
  [[nodiscard]] bool IsOpen() const { return fd_ >= 0; }
  [[nodiscard]] const std::string& Path() const { return path_; }

  // Reads up to `size` bytes; returns the count read (0 at the end) or -1.
  [[nodiscard]] std::int64_t Read(void* buffer, std::size_t size);
  // Reads exactly `size` bytes unless the file ends first; returns the count or -1.
  [[nodiscard]] std::int64_t ReadFull(void* buffer, std::size_t size);
  [[nodiscard]] bool Write(std::string_view bytes);
  [[nodiscard]] bool Seek(std::uint64_t offset);
  [[nodiscard]] std::optional<std::uint64_t> Tell() const;
  [[nodiscard]] std::optional<std::uint64_t> Size() const;
  [[nodiscard]] bool Truncate(std::uint64_t size);
  // Forces the written data to the disk.
  [[nodiscard]] bool Sync();
  bool Close();

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace lp

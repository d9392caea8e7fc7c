#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Path strings in Shift_JIS. A separator is "/" or "\" standing as a
// character of its own: the trail byte 0x5C of a double-byte character
// ("表", "ソ", "能" ...) never counts.

namespace lp {

inline constexpr char kPathSeparator = '/';

// Byte offset of the last separator, or npos.
[[nodiscard]] std::size_t FindLastPathSeparator(std::string_view path);
// Byte offset of the first separator, or npos.
[[nodiscard]] std::size_t FindFirstPathSeparator(std::string_view path);
[[nodiscard]] bool EndsWithPathSeparator(std::string_view path);
[[nodiscard]] bool ContainsPathSeparator(std::string_view path);

// A name that stays exactly one path component on disk: not empty, "." or
// "..", and without a separator or NUL both in Shift_JIS and in its UTF-8
// file-system form. The second test matters for bytes that are not valid
// Shift_JIS: an invalid lead byte becomes U+FFFD while the "/" after it
// survives the conversion.
[[nodiscard]] bool IsSinglePathComponent(std::string_view sjis_name);

// Directory part without the trailing separator ("" for a bare name).
[[nodiscard]] std::string DirectoryOf(std::string_view path);
// The part after the last separator.
[[nodiscard]] std::string FileNameOf(std::string_view path);
// dir + separator (unless dir already ends in one or is empty) + name.
[[nodiscard]] std::string JoinPath(std::string_view dir, std::string_view name);
// A relative path made absolute against the current directory.
[[nodiscard]] std::string AbsolutePath(std::string_view path);

}  // namespace lp

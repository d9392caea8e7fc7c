#pragma once

#include <cstdint>
#include <string>

// A spool like a real inbox for benchmarks and tests that need volume: a
// mix of ISO-2022-JP text, multipart mail with a Base64 attachment of about
// 11 KB, and UTF-8 quoted-printable, every message with a Message-ID.

namespace lp::testing {

// Writes `messages` messages (POP3 form, about 10 KB each on average) to
// `path` in pieces, holding no whole spool in memory; returns the bytes
// written, 0 when the file could not be written.
std::uint64_t WriteSampleSpool(const std::string& path, int messages);

}  // namespace lp::testing

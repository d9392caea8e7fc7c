#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

// Regular expressions with the syntax of the script engine's RegExp object
// (Pattern, IgnoreCase, Test), run by PCRE2. Patterns and subjects are
// Shift_JIS; both are converted to UTF-8 first, so a pattern works on whole
// characters and never matches half of a double-byte one (the trail byte
// 0x5C of "表" is no backslash, "." takes "あ" whole). Matching effort is
// bounded, per subject and not only per start position: PCRE2's JIT where
// the platform has it, its match, depth and heap limits (a JIT stack of at
// most 1 MB), and a time limit checked between slices of start positions.
// A pattern that would backtrack without end gives up with LimitExceeded
// instead of hanging the caller; that answer means "not known", never "no
// match".

struct pcre2_real_code_8;
struct pcre2_real_match_context_8;

namespace lp {

enum class RegexResult {
  Matched,
  NoMatch,
  BadPattern,     // the pattern did not compile
  LimitExceeded,  // an effort, memory or time limit was reached before an answer
};

enum class RegexCase { Sensitive, Ignore };

class RegexMatcher {
 public:
  // Steps the matcher may take from one start position before it gives up.
  static constexpr unsigned kMatchLimit = 1'000'000;
  // Nested backtracking points of one match (the interpreter).
  static constexpr unsigned kDepthLimit = 100'000;
  // Backtracking memory for one match, in KiB.
  static constexpr unsigned kHeapLimitKiB = 16 * 1024;
  // Time one subject may take, all start positions together.
  static constexpr std::chrono::milliseconds kDefaultTimeLimit{1000};

  // Compiles a Shift_JIS pattern. A pattern that does not compile gives a
  // matcher whose ok() is false and whose every test says BadPattern.
  RegexMatcher(std::string_view sjis_pattern, RegexCase letter_case,
               std::chrono::milliseconds time_limit = kDefaultTimeLimit);
  // The same, for a pattern already in UTF-8.
  static RegexMatcher FromUtf8(std::string_view utf8_pattern, RegexCase letter_case,
                               std::chrono::milliseconds time_limit = kDefaultTimeLimit);


  [[nodiscard]] bool ok() const { return code_ != nullptr; }
  // Why the pattern did not compile (the engine's text and the character
  // offset), empty when it compiled. ASCII.
  [[nodiscard]] const std::string& error() const { return error_; }

  // Whether the pattern matches anywhere in the Shift_JIS subject.
  [[nodiscard]] RegexResult Test(std::string_view sjis_subject) const;
  [[nodiscard]] RegexResult TestUtf8(std::string_view utf8_subject) const;

 private:
  struct CodeDeleter {
    void operator()(pcre2_real_code_8* code) const;
  };
  struct ContextDeleter {
    void operator()(pcre2_real_match_context_8* context) const;
  };
  struct Utf8Tag {};
  RegexMatcher(Utf8Tag, std::string_view utf8_pattern, RegexCase letter_case, std::chrono::milliseconds time_limit);

  std::unique_ptr<pcre2_real_code_8, CodeDeleter> code_;
  std::unique_ptr<pcre2_real_match_context_8, ContextDeleter> match_context_;
  std::string error_;
  std::chrono::milliseconds time_limit_;
};

}  // namespace lp

#include "rules/regex_matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "platform/code_page.h"

namespace lp {
namespace {

// The script engine's RegExp follows ECMAScript: "\u" and "\x" take hex
// digits, "$" matches only at the very end without multiline, and "." stops
// at CR and LF. "\C" would match a single byte of a UTF-8 character, so it
// is refused.
// PCRE2_USE_OFFSET_LIMIT lets a test run in slices of start positions.
constexpr std::uint32_t kCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                                          PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_BACKSLASH_C | PCRE2_USE_OFFSET_LIMIT;

// Start positions tried in one call: the elapsed time is checked between
// calls. A slice grows while calls are quick (one call has a fixed cost
// that small slices would pay too often) and shrinks when one was slow.
constexpr std::size_t kFirstSlice = 4096;
constexpr std::size_t kSmallestSlice = 256;
constexpr std::size_t kLargestSlice = std::size_t{1} << 20;
constexpr auto kQuickCall = std::chrono::milliseconds(2);
constexpr auto kSlowCall = std::chrono::milliseconds(20);

// The JIT's own stack starts on the machine stack (32 KB); a match that
// needs more is run again with a stack of its own, up to this size.
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 1024 * 1024;

std::string CompileErrorText(int code, PCRE2_SIZE offset) {
  std::array<PCRE2_UCHAR, 256> buffer{};
  const int length = pcre2_get_error_message(code, buffer.data(), buffer.size());
  std::string text;
  if (length > 0) text.assign(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(length));
  text += " (offset ";
  text += std::to_string(offset);
  text += ')';
  return text;
}

// An empty view may carry no pointer at all; the engine wants one.
const char* NonNull(std::string_view text) { return text.data() != nullptr ? text.data() : ""; }

// The first character boundary at or after `at`: a start offset inside a
// UTF-8 sequence would never match anyway.
std::size_t CharacterStart(std::string_view utf8, std::size_t at) {
  while (at < utf8.size() && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) ++at;
  return at;
}

struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};
struct JitStackDeleter {
  void operator()(pcre2_jit_stack* stack) const { pcre2_jit_stack_free(stack); }
};

}  // namespace

void RegexMatcher::CodeDeleter::operator()(pcre2_real_code_8* code) const { pcre2_code_free(code); }

void RegexMatcher::ContextDeleter::operator()(pcre2_real_match_context_8* context) const {
  pcre2_match_context_free(context);
}

RegexMatcher::RegexMatcher(std::string_view sjis_pattern, RegexCase letter_case,
                           std::chrono::milliseconds time_limit)
    : RegexMatcher(Utf8Tag{}, Cp932ToUtf8(sjis_pattern), letter_case, time_limit) {}

RegexMatcher RegexMatcher::FromUtf8(std::string_view utf8_pattern, RegexCase letter_case,
                                    std::chrono::milliseconds time_limit) {
  return RegexMatcher(Utf8Tag{}, utf8_pattern, letter_case, time_limit);
}

RegexMatcher::RegexMatcher(Utf8Tag, std::string_view utf8_pattern, RegexCase letter_case,
                           std::chrono::milliseconds time_limit)
    : time_limit_(time_limit) {
  pcre2_compile_context* compile_context = pcre2_compile_context_create(nullptr);
  if (compile_context == nullptr) {
    error_ = "out of memory";
    return;
  }
  pcre2_set_newline(compile_context, PCRE2_NEWLINE_ANYCRLF);
  std::uint32_t options = kCompileOptions;
  if (letter_case == RegexCase::Ignore) options |= PCRE2_CASELESS;
  int error_code = 0;
  PCRE2_SIZE error_offset = 0;
  code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(NonNull(utf8_pattern)), utf8_pattern.size(), options,
                            &error_code, &error_offset, compile_context));
  pcre2_compile_context_free(compile_context);
  if (!code_) {
    error_ = CompileErrorText(error_code, error_offset);
    return;
  }
  // Without the JIT (a platform without it, or no memory for the code)
  // the interpreter runs the same pattern under the same limits.
  (void)pcre2_jit_compile(code_.get(), PCRE2_JIT_COMPLETE);
  match_context_.reset(pcre2_match_context_create(nullptr));
  if (!match_context_) {
    code_.reset();
    error_ = "out of memory";
    return;
  }
  pcre2_set_match_limit(match_context_.get(), kMatchLimit);
  pcre2_set_depth_limit(match_context_.get(), kDepthLimit);
  pcre2_set_heap_limit(match_context_.get(), kHeapLimitKiB);
}

RegexResult RegexMatcher::Test(std::string_view sjis_subject) const {
  if (!ok()) return RegexResult::BadPattern;
  return TestUtf8(Cp932ToUtf8(sjis_subject));
}

RegexResult RegexMatcher::TestUtf8(std::string_view utf8_subject) const {
  if (!ok()) return RegexResult::BadPattern;
  // A context of this test's own: the offset limit and the JIT stack
  // change while it runs, and the matcher may be tested on several threads.
  const std::unique_ptr<pcre2_match_context, MatchContextDeleter> context(
      pcre2_match_context_copy(match_context_.get()));
  const std::unique_ptr<pcre2_match_data, MatchDataDeleter> match_data(pcre2_match_data_create(1, nullptr));
  if (!context || !match_data) return RegexResult::LimitExceeded;
  std::unique_ptr<pcre2_jit_stack, JitStackDeleter> jit_stack;

  const auto subject = reinterpret_cast<PCRE2_SPTR>(NonNull(utf8_subject));
  const std::size_t size = utf8_subject.size();
  const auto began = std::chrono::steady_clock::now();
  std::size_t start = 0;
  std::size_t slice = kFirstSlice;
  for (;;) {
    const std::size_t last_start = size - start > slice ? start + slice : size;
    pcre2_set_offset_limit(context.get(), last_start);
    const auto call_began = std::chrono::steady_clock::now();
    const int rc = pcre2_match(code_.get(), subject, size, start, 0, match_data.get(), context.get());
    const auto now = std::chrono::steady_clock::now();
    if (rc >= 0) return RegexResult::Matched;
    if (rc == PCRE2_ERROR_JIT_STACKLIMIT && !jit_stack) {
      jit_stack.reset(pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
      if (!jit_stack) return RegexResult::LimitExceeded;
      pcre2_jit_stack_assign(context.get(), nullptr, jit_stack.get());
      continue;
    }
    // Limits, memory and any other run-time refusal: no answer was found.
    if (rc != PCRE2_ERROR_NOMATCH) return RegexResult::LimitExceeded;
    if (last_start >= size) return RegexResult::NoMatch;
    if (now - began > time_limit_) return RegexResult::LimitExceeded;
    if (now - call_began < kQuickCall) {
      slice = std::min(slice * 2, kLargestSlice);
    } else if (now - call_began > kSlowCall) {
      slice = std::max(slice / 2, kSmallestSlice);
    }
    start = CharacterStart(utf8_subject, last_start + 1);
  }
}

}  // namespace lp

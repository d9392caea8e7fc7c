#include "rules/regex_matcher.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

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
constexpr std::uint32_t kCompileOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF | PCRE2_ALT_BSUX |
                                          PCRE2_DOLLAR_ENDONLY | PCRE2_NEVER_BACKSLASH_C;

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

}  // namespace

void RegexMatcher::CodeDeleter::operator()(pcre2_real_code_8* code) const { pcre2_code_free(code); }

void RegexMatcher::ContextDeleter::operator()(pcre2_real_match_context_8* context) const {
  pcre2_match_context_free(context);
}

RegexMatcher::RegexMatcher(std::string_view sjis_pattern, RegexCase letter_case)
    : RegexMatcher(Utf8Tag{}, Cp932ToUtf8(sjis_pattern), letter_case) {}

RegexMatcher RegexMatcher::FromUtf8(std::string_view utf8_pattern, RegexCase letter_case) {
  return RegexMatcher(Utf8Tag{}, utf8_pattern, letter_case);
}

RegexMatcher::RegexMatcher(Utf8Tag, std::string_view utf8_pattern, RegexCase letter_case) {
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
  match_context_.reset(pcre2_match_context_create(nullptr));
  if (!match_context_) {
    code_.reset();
    error_ = "out of memory";
    return;
  }
  pcre2_set_match_limit(match_context_.get(), kMatchLimit);
  pcre2_set_heap_limit(match_context_.get(), kHeapLimitKiB);
}

RegexResult RegexMatcher::Test(std::string_view sjis_subject) const {
  if (!ok()) return RegexResult::BadPattern;
  return TestUtf8(Cp932ToUtf8(sjis_subject));
}

RegexResult RegexMatcher::TestUtf8(std::string_view utf8_subject) const {
  if (!ok()) return RegexResult::BadPattern;
  pcre2_match_data* match_data = pcre2_match_data_create(1, nullptr);
  if (match_data == nullptr) return RegexResult::LimitExceeded;
  const int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(NonNull(utf8_subject)), utf8_subject.size(),
                             0, 0, match_data, match_context_.get());
  pcre2_match_data_free(match_data);
  if (rc >= 0) return RegexResult::Matched;
  if (rc == PCRE2_ERROR_NOMATCH) return RegexResult::NoMatch;
  // Limits, memory and any other run-time refusal: no answer was found.
  return RegexResult::LimitExceeded;
}

}  // namespace lp

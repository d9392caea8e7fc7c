#include "config/oauth_token_store.h"

#include <charconv>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/file_system.h"

namespace lp {
namespace {

struct Line {
  std::string key;
  OAuthTokens tokens;
};

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

// Lines that do not have the four fields are dropped.
std::vector<Line> Parse(std::string_view text) {
  std::vector<Line> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 4 || fields[0].empty()) continue;
    Line parsed{std::string(fields[0]), {std::string(fields[2]), std::string(fields[1]), 0}};
    (void)std::from_chars(fields[3].data(), fields[3].data() + fields[3].size(), parsed.tokens.expires_at);
    lines.push_back(std::move(parsed));
  }
  return lines;
}

bool Clean(std::string_view text) { return text.find_first_of(std::string_view("\t\r\n\0", 4)) == std::string_view::npos; }

}  // namespace

std::optional<OAuthTokens> FileTokenStore::Load(std::string_view key) {
  const std::optional<std::string> text = ReadWholeFile(path_);
  if (!text) return std::nullopt;
  for (const Line& line : Parse(*text)) {
    if (line.key == key) return line.tokens;
  }
  return std::nullopt;
}

bool FileTokenStore::Save(std::string_view key, const OAuthTokens& tokens) { return Rewrite(key, &tokens); }

bool FileTokenStore::Remove(std::string_view key) { return Rewrite(key, nullptr); }

bool FileTokenStore::Rewrite(std::string_view key, const OAuthTokens* tokens) {
  error_.clear();
  if (!Clean(key) || (tokens != nullptr && (!Clean(tokens->access_token) || !Clean(tokens->refresh_token)))) {
    error_ = "a token holds a line break or a tab";
    return false;
  }
  std::vector<Line> lines;
  if (PathExists(path_)) {
    const std::optional<std::string> text = ReadWholeFile(path_, &error_);
    if (!text) return false;  // never overwrite what could not be read
    lines = Parse(*text);
  }
  std::string content;
  bool written = false;
  auto add = [&content](std::string_view k, const OAuthTokens& t) {
    content.append(k).append("\t").append(t.refresh_token).append("\t").append(t.access_token).append("\t");
    content.append(std::to_string(t.expires_at)).append("\n");
  };
  for (const Line& line : lines) {
    if (line.key != key) {
      add(line.key, line.tokens);
    } else if (tokens != nullptr && !written) {
      add(key, *tokens);
      written = true;
    }
  }
  if (tokens != nullptr && !written) add(key, *tokens);
  // Private before the first token reaches it; the replacement keeps the mode.
  if (!KeepPrivate(path_)) {
    error_ = LastSystemErrorText();
    return false;
  }
  return ReplaceFileAtomically(path_, content, &error_);
}

}  // namespace lp

#include "cli/command_help.h"

#include <string_view>

namespace lp {
namespace {

constexpr std::size_t kWidth = 80;
constexpr std::size_t kSummaryColumn = 28;

// The end of the word that starts at `start`; with `Groups::Keep` a
// bracketed or parenthesised group of a synopsis counts as one word.
enum class Groups { Split, Keep };
std::size_t WordEnd(std::string_view text, std::size_t start, Groups groups) {
  int depth = 0;
  for (std::size_t i = start; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '[' || c == '(') ++depth;
    if ((c == ']' || c == ')') && depth > 0) --depth;
    if (c == ' ' && (depth == 0 || groups == Groups::Split)) return i;
  }
  return text.size();
}

// Appends `text` word by word, breaking before a word that would pass the
// width; continuation lines start at `indent`. `column` is where the text
// starts on the current line.
void AppendWrapped(std::string& out, std::string_view text, std::size_t column, std::size_t indent,
                   Groups groups = Groups::Split) {
  std::size_t start = 0;
  bool first = true;
  while (start < text.size()) {
    const std::size_t end = WordEnd(text, start, groups);
    const std::string_view word = text.substr(start, end - start);
    if (!first && column + 1 + word.size() > kWidth) {
      out += '\n';
      out.append(indent, ' ');
      column = indent;
    } else if (!first) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    first = false;
    start = end + 1;
  }
}

std::string OptionLabel(const CliOption& option) {
  std::string label = "--" + std::string(option.name);
  if (!option.value.empty()) label += " " + std::string(option.value);
  return label;
}

// "  label      text", the text at the summary column (on the next line
// when the label is longer).
void AppendEntry(std::string& out, std::string_view label, std::string_view text) {
  out += "  ";
  AppendWrapped(out, label, 2, 2 + 4, Groups::Keep);
  const std::size_t last_line = out.rfind('\n');
  const std::size_t column = out.size() - (last_line == std::string::npos ? 0 : last_line + 1);
  if (column + 2 > kSummaryColumn) {
    out += '\n';
    out.append(kSummaryColumn, ' ');
  } else {
    out.append(kSummaryColumn - column, ' ');
  }
  AppendWrapped(out, text, kSummaryColumn, kSummaryColumn);
  out += '\n';
}

}  // namespace

std::string CliUsageText() {
  std::string out = "usage: lanternpost-cli [--data-dir DIR] COMMAND [ARGS]\n"
                    "       lanternpost-cli COMMAND --help\n"
                    "options:\n";
  for (const CliOption& option : GlobalCliOptions()) AppendEntry(out, OptionLabel(option), option.english);
  out += "commands:\n";
  for (const CliCommand& command : CliCommands()) {
    std::string label(command.name);
    if (!command.synopsis.empty()) label += " " + std::string(command.synopsis);
    AppendEntry(out, label, command.summary);
  }
  return out;
}

std::string CliCommandHelpText(const CliCommand& command) {
  std::string out = "usage: lanternpost-cli [--data-dir DIR] ";
  out += command.name;
  if (!command.synopsis.empty()) {
    out += ' ';
    AppendWrapped(out, command.synopsis, out.size(), 7, Groups::Keep);
  }
  out += "\n\n";
  AppendWrapped(out, command.english, 0, 0);
  out += '\n';
  if (!command.options.empty()) {
    out += "\noptions:\n";
    for (const CliOption& option : command.options) AppendEntry(out, OptionLabel(option), option.english);
  }
  return out;
}

}  // namespace lp

#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

// The commands of lanternpost-cli: what each runs and how it is described.
// The dispatcher, `--help`, `COMMAND --help`, the manual pages and the shell
// completion are all made from this one table, so none of them can name a
// command or an option the program does not have.

namespace lp {

// A command that changes boxes, settings or work files holds the data
// directory's lock while it runs; one that only reads takes none.
enum class DataAccess { Read, Write };

// What a positional argument or an option's value names, for completion.
enum class ValueKind {
  Text,       // anything (a number, an address, a search text)
  Box,        // a box below the data directory
  Folder,     // a folder below the data directory
  File,       // a file, relative to the current directory
  Directory,  // a directory, relative to the current directory
  Choice,     // one of `choices`
};

struct CliValue {
  ValueKind kind = ValueKind::Text;
  std::string_view choices;  // space-separated, for ValueKind::Choice
};

struct CliOption {
  std::string_view name;   // without "--"
  std::string_view value;  // the placeholder of its value; empty for a flag
  CliValue completes;
  std::string_view english;
  std::string_view japanese;
};

struct CliCommand {
  std::string_view name;
  DataAccess access;
  int (*run)(CommandContext&);
  // The start-up switch of a run a running desktop application takes over
  // (it owns the mailboxes while it runs); empty for the others.
  std::string_view desktop_switch;
  std::string_view synopsis;  // the arguments after the name
  std::string_view summary;   // one line for the command list
  std::string_view english;
  std::string_view japanese;
  std::vector<CliValue> positionals;
  std::vector<CliOption> options;
};

[[nodiscard]] std::span<const CliCommand> CliCommands();
[[nodiscard]] const CliCommand* FindCliCommand(std::string_view name);

// Options every command takes (--data-dir, --yes, --help, --version).
[[nodiscard]] std::span<const CliOption> GlobalCliOptions();

// The names of every option that takes a value, for the argument parser.
[[nodiscard]] std::vector<std::string> CliOptionsWithValue();

}  // namespace lp

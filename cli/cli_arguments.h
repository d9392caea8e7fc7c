#pragma once

#include <optional>
#include <string>
#include <vector>

// Splits a command line into the global option --data-dir, the command name,
// its positional arguments and its --name [value] options.

namespace lp {

struct CliArguments {
  std::optional<std::string> data_dir;
  std::string command;
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // name without "--", value ("" for flags)

  [[nodiscard]] bool Has(const std::string& name) const;
  [[nodiscard]] std::optional<std::string> Value(const std::string& name) const;
};

// Options named in `with_value` take the next argument as their value.
// Returns nullopt with `error` set for a malformed command line.
[[nodiscard]] std::optional<CliArguments> ParseCliArguments(const std::vector<std::string>& args,
                                                            const std::vector<std::string>& with_value,
                                                            std::string* error);

}  // namespace lp

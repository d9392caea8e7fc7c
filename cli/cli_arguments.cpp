#include "cli/cli_arguments.h"

#include <algorithm>

namespace lp {

bool CliArguments::Has(const std::string& name) const {
  return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> CliArguments::Value(const std::string& name) const {
  for (const auto& [key, value] : options) {
    if (key == name) return value;
  }
  return std::nullopt;
}

std::optional<CliArguments> ParseCliArguments(const std::vector<std::string>& args,
                                              const std::vector<std::string>& with_value,
                                              std::string* error) {
  CliArguments result;
  bool options_ended = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_ended && arg == "--") {
      options_ended = true;
      continue;
    }
    if (!options_ended && arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      std::string name = arg.substr(2);
      std::string value;
      bool has_inline = false;
      if (auto eq = name.find('='); eq != std::string::npos) {
        value = name.substr(eq + 1);
        name.resize(eq);
        has_inline = true;
      }
      bool wants_value = std::find(with_value.begin(), with_value.end(), name) != with_value.end();
      if (wants_value && !has_inline) {
        if (i + 1 >= args.size()) {
          *error = "option --" + name + " needs a value";
          return std::nullopt;
        }
        value = args[++i];
      } else if (!wants_value && has_inline) {
        *error = "option --" + name + " takes no value";
        return std::nullopt;
      }
      if (name == "data-dir") {
        result.data_dir = value;
      } else {
        result.options.emplace_back(name, value);
      }
      continue;
    }
    if (result.command.empty()) {
      result.command = arg;
    } else {
      result.positional.push_back(arg);
    }
  }
  return result;
}

}  // namespace lp

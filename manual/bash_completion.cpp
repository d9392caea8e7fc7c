#include "manual/bash_completion.h"

#include <string_view>

#include "cli/command_table.h"

namespace lp {
namespace {

// The data directory as the program resolves it, and its boxes and folders
// by their paths relative to it. Only the file system is read: completing
// never starts the program, which would create a missing directory.
constexpr std::string_view kHelpers = R"(_lanternpost_cli_data_dir() {
    local i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --data-dir) printf '%s\n' "${COMP_WORDS[i+1]}"; return ;;
            --data-dir=*) printf '%s\n' "${COMP_WORDS[i]#--data-dir=}"; return ;;
        esac
    done
    if [[ -n ${LANTERNPOST_HOME-} ]]; then
        printf '%s\n' "$LANTERNPOST_HOME"
    else
        printf '%s\n' "${XDG_DATA_HOME:-$HOME/.local/share}/lanternpost"
    fi
}

# $1: box (boxes and folders) or folder; $2: the word typed so far. One
# level at a time, as paths are completed.
_lanternpost_cli_boxes() {
    local dir path parent=
    dir=$(_lanternpost_cli_data_dir)
    dir=${dir/#\~/$HOME}
    [[ $2 == */* ]] && parent=${2%/*}/
    [[ -d $dir/$parent ]] || return
    while IFS= read -r path; do
        path=$parent$path
        [[ $path == "$2"* ]] && COMPREPLY+=("$path")
    done < <(cd -- "$dir/$parent" && if [[ $1 == folder ]]; then
        find . -mindepth 1 -maxdepth 1 -type d -printf '%P/\n'
    else
        find . -mindepth 1 -maxdepth 1 \( -type d -printf '%P/\n' \) -o \( -type f -name '*.lp' -printf '%P\n' \)
    fi 2>/dev/null)
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == */ ]] && compopt -o nospace 2>/dev/null
}

# $1: what the value names (box, folder, file, directory, text or a list of
# choices after "choice:"); $2: the word typed so far.
_lanternpost_cli_value() {
    case $1 in
        box|folder) _lanternpost_cli_boxes "$1" "$2" ;;
        file) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -f -- "$2")) ;;
        directory) compopt -o filenames 2>/dev/null; COMPREPLY=($(compgen -d -- "$2")) ;;
        choice:*) COMPREPLY=($(compgen -W "${1#choice:}" -- "$2")) ;;
    esac
}

)";

std::string KindWord(const CliValue& value) {
  switch (value.kind) {
    case ValueKind::Box: return "box";
    case ValueKind::Folder: return "folder";
    case ValueKind::File: return "file";
    case ValueKind::Directory: return "directory";
    case ValueKind::Choice: return "choice:" + std::string(value.choices);
    case ValueKind::Text: break;
  }
  return "text";
}

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string OptionNames(const std::vector<CliOption>& options) {
  std::string names;
  for (const CliOption& option : options) names += (names.empty() ? "--" : " --") + std::string(option.name);
  return names;
}

}  // namespace

std::string CliBashCompletion() {
  std::string out = "# bash completion for lanternpost-cli, made from its command table\n\n";
  out += kHelpers;
  out += "_lanternpost_cli() {\n"
         "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "    local i word command='' position=0 skip=0\n"
         "    COMPREPLY=()\n";
  // Options that take a value, and what the value names.
  out += "    local -A takes=(";
  const auto add_values = [&out](const std::vector<CliOption>& options) {
    for (const CliOption& option : options) {
      if (!option.value.empty()) out += " [--" + std::string(option.name) + "]=" + Quoted(KindWord(option.completes));
    }
  };
  std::vector<CliOption> globals(GlobalCliOptions().begin(), GlobalCliOptions().end());
  add_values(globals);
  for (const CliCommand& command : CliCommands()) add_values(command.options);
  out += " )\n";
  // The command and how many positional arguments precede the cursor.
  out += "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "        word=${COMP_WORDS[i]}\n"
         "        if ((skip)); then skip=0; continue; fi\n"
         "        case $word in\n"
         "            --*=*) ;;\n"
         "            --*) [[ -n ${takes[$word]-} ]] && skip=1 ;;\n"
         "            *) if [[ -z $command ]]; then command=$word; else ((position++)); fi ;;\n"
         "        esac\n"
         "    done\n"
         "    if ((skip)); then\n"
         "        _lanternpost_cli_value \"${takes[$prev]}\" \"$cur\"\n"
         "        return\n"
         "    fi\n";
  const std::string global_names = OptionNames(globals);
  std::string command_names;
  for (const CliCommand& command : CliCommands()) command_names += (command_names.empty() ? "" : " ") + std::string(command.name);
  out += "    if [[ -z $command ]]; then\n"
         "        if [[ $cur == -* ]]; then\n"
         "            COMPREPLY=($(compgen -W " + Quoted(global_names) + " -- \"$cur\"))\n"
         "        else\n"
         "            COMPREPLY=($(compgen -W " + Quoted(command_names + " help") + " -- \"$cur\"))\n"
         "        fi\n"
         "        return\n"
         "    fi\n"
         "    local options='' positionals=()\n"
         "    case $command in\n";
  for (const CliCommand& command : CliCommands()) {
    out += "        " + std::string(command.name) + ") options=" + Quoted(OptionNames(command.options)) + "; positionals=(";
    for (const CliValue& value : command.positionals) out += " " + Quoted(KindWord(value));
    out += " ) ;;\n";
  }
  out += "        help) positionals=( " + Quoted("choice:" + command_names) + " ) ;;\n"
         "    esac\n"
         "    if [[ $cur == -* ]]; then\n"
         "        COMPREPLY=($(compgen -W \"$options " + global_names + "\" -- \"$cur\"))\n"
         "    elif ((position < ${#positionals[@]})); then\n"
         "        _lanternpost_cli_value \"${positionals[position]}\" \"$cur\"\n"
         "    fi\n"
         "}\n"
         "complete -F _lanternpost_cli lanternpost-cli\n";
  return out;
}

}  // namespace lp

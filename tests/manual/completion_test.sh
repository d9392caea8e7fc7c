#!/bin/bash
# Drives the generated bash completion of lanternpost-cli as bash would.
#   completion_test.sh COMPLETION_FILE
set -u
source "$1"
failures=0

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p "$data/仕事/2026"
touch "$data/受信.lp" "$data/受信.mb" "$data/仕事/報告.lp"

# expect "LINE TYPED" "EXPECTED COMPLETIONS": the line ends where the cursor is.
expect() {
  read -r -a COMP_WORDS <<< "$1"
  [[ $1 == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _lanternpost_cli
  local got
  got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
  local want
  want=$(printf '%s\n' $2 | sort | tr '\n' ' ')
  if [[ $got != "$want" ]]; then
    echo "FAIL: '$1' gave '$got', expected '$want'"
    failures=$((failures + 1))
  fi
}

expect "lanternpost-cli se" "search send sendrecv"
expect "lanternpost-cli --v" "--version"
expect "lanternpost-cli show --s" "--sjis --source"
expect "lanternpost-cli import-mail x --format " "mbox maildir mh"
expect "lanternpost-cli sort BOX th" "thread"
expect "lanternpost-cli --data-dir $data list " "受信.lp 仕事/"
expect "lanternpost-cli --data-dir $data move 受信.lp 3 仕事/" "仕事/報告.lp 仕事/2026/"
expect "lanternpost-cli --data-dir $data import-mail x --into 仕" "仕事/"
LANTERNPOST_HOME=$data expect "lanternpost-cli search 受" "受信.lp"
expect "lanternpost-cli --data-dir $data/none list " ""

if ((failures)); then
  echo "$failures completion(s) wrong"
  exit 1
fi
echo "completion: all cases passed"

#!/bin/sh
# Remakes docs/screenshot.png (and docs/screenshot-dark.png): a fresh data directory with Japanese mail
# from the test spools, and the main window grabbed on the offscreen platform.
# Usage: scripts/make-screenshot.sh [BUILD_DIR]   (default build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
cli="$build/cli/lanternpost-cli"
"$cli" --data-dir "$data" init >/dev/null
for spool in "$root"/tests/data/spool_realworld/*.txt; do
  "$cli" --data-dir "$data" analyse "$spool" >/dev/null 2>&1 || true
done
QT_QPA_PLATFORM=offscreen LANTERNPOST_NO_DIALOGS=1 \
  "$build/desktop/lanternpost" --data-dir "$data" --screenshot "$root/docs/screenshot.png"
# The same window on a dark palette: every colour must stay readable there too.
QT_QPA_PLATFORM=offscreen LANTERNPOST_NO_DIALOGS=1 \
  "$build/desktop/lanternpost" --data-dir "$data" --screenshot "$root/docs/screenshot-dark.png" --dark
echo "wrote $root/docs/screenshot.png and $root/docs/screenshot-dark.png"

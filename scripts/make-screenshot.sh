#!/bin/sh
# Remakes docs/screenshot.png (and docs/screenshot-dark.png) and the pictures of
# the user manual (manual/ja/images/): a fresh data directory with Japanese mail
# from the test spools, and the windows grabbed on the offscreen platform.
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
# The manual's pictures: the main window, then the window each command opens
# (numbers from app/command_ids.h).
images="$root/manual/ja/images"
mkdir -p "$images"
cp "$root/docs/screenshot.png" "$images/main-window.png"
for shot in connection-settings:32773 sort-rules:32800 direct-mail:32963 address-book:32817 \
    import:32980 search:32821; do
  QT_QPA_PLATFORM=offscreen LANTERNPOST_NO_DIALOGS=1 \
    "$build/desktop/lanternpost" --data-dir "$data" --screenshot "$images/${shot%%:*}.png" \
    --screenshot-command "${shot#*:}"
done
echo "wrote $root/docs/screenshot.png, $root/docs/screenshot-dark.png and $images/*.png"

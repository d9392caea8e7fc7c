#!/bin/sh
# Builds the Debian package from a build directory and checks it: the files
# it must hold, lintian (no error), the desktop entry, the AppStream
# metadata and the manual pages.
# Usage: scripts/check-package.sh [BUILD_DIR]   (default build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
cmake --build "$build" --target package
deb=$(ls -t "$build"/lanternpost_*.deb | head -n 1)
echo "checking $deb"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/files"
missing=0
for file in /usr/bin/lanternpost /usr/bin/lanternpost-cli \
    /usr/share/applications/lanternpost.desktop \
    /usr/share/metainfo/io.github.lanternpost.Lanternpost.metainfo.xml \
    /usr/share/icons/hicolor/scalable/apps/lanternpost.svg \
    /usr/share/man/man1/lanternpost.1.gz /usr/share/man/man1/lanternpost-cli.1.gz \
    /usr/share/man/ja/man1/lanternpost.1.gz /usr/share/man/ja/man1/lanternpost-cli.1.gz \
    /usr/share/bash-completion/completions/lanternpost-cli \
    /usr/share/doc/lanternpost/copyright /usr/share/doc/lanternpost/changelog.gz \
    /usr/share/doc/lanternpost/manual/index.html /usr/share/doc/lanternpost/manual/keywords.html \
    /usr/share/doc/lanternpost/manual/images/main-window.png; do
  if ! grep -qx "$file" "$work/files"; then
    echo "missing from the package: $file"
    missing=1
  fi
done
# Only what belongs to the program: nothing of the tests or the build.
if grep -E '/(lock_holder|sjis_header|write_manual_files)$|_tests$|_bench$|/include/|\.a$' "$work/files"; then
  echo "the package holds files that are not the program's"
  missing=1
fi
[ "$missing" -eq 0 ]

dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/lanternpost.desktop"
appstreamcli validate --no-net --pedantic "$work/root/usr/share/metainfo/io.github.lanternpost.Lanternpost.metainfo.xml"
for page in "$work"/root/usr/share/man/man1/*.1.gz "$work"/root/usr/share/man/ja/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    exit 1
  fi
done
bash -n "$work/root/usr/share/bash-completion/completions/lanternpost-cli"

# Errors fail the check; warnings and notes are shown.
lintian --fail-on error --display-info "$deb"
echo "package $deb checked"

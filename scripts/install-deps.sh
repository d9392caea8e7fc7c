#!/bin/sh
# Installs the Debian 12 packages that building, testing and running need.
# Run as root on a fresh machine; harmless when everything is present.
set -eu
packages="build-essential cmake ninja-build pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev libssl-dev libpcre2-dev qt6-base-dev qt6-networkauth-dev libqt6svg6 qt6-translations-l10n fonts-noto-cjk desktop-file-utils appstream lintian ccache tzdata openssl dovecot-pop3d fetchmail postfix msmtp python3 poppler-utils"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  export DEBIAN_FRONTEND=noninteractive
  # Postfix is only started by the tests with a configuration of their own;
  # the system's mail setup is left unconfigured.
  echo "postfix postfix/main_mailer_type select No configuration" | debconf-set-selections
  apt-get update
  # shellcheck disable=SC2086
  apt-get install -y --no-install-recommends $missing
fi

#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. Skips apt when all is there.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev libsqlite3-dev mdbtools-dev mdbtools libxlsxwriter-dev
          libcurl4-openssl-dev qtkeychain-qt6-dev openssh-server
          libgtest-dev libgmock-dev libbenchmark-dev fonts-liberation xvfb xauth
          python3 python3-html5lib python3-icalendar python3-openpyxl python3-pyftpdlib poppler-utils chromium
          qt6-translations-l10n qt6-qpa-plugins dpkg-dev desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

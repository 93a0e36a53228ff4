#!/usr/bin/env bash
# Builds the Debian package from a finished build, installs it, runs the installed programs the
# way a user and a script would, checks the menu entry and the software centre's description, and
# removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

rm -f "$build"/torvm_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
deb=$(ls "$build"/torvm_*.deb)
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" > /dev/null
trap 'DEBIAN_FRONTEND=noninteractive $sudo apt-get remove -y -qq torvm > /dev/null' EXIT

work=$(mktemp -d)
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
cd "$work"
/usr/bin/torvm-cli demo "$work/demo.mdb"
/usr/bin/torvm-cli export-text "$work/demo.mdb" "$work/demo.txt"
head -c 28 "$work/demo.txt" | grep -q "^Velmarik Wettkampfverwaltung$"
[ "$(wc -c < "$work/demo.txt")" -gt 2000 ]
# The command line never writes the desktop program's settings.
[ ! -e "$XDG_CONFIG_HOME/Velmarik" ]

desktop-file-validate /usr/share/applications/de.velmarik.torvm.desktop
appstreamcli validate --no-net /usr/share/metainfo/de.velmarik.torvm.metainfo.xml > /dev/null
for size in 16 32 48 256; do
    [ -s "/usr/share/icons/hicolor/${size}x${size}/apps/torvm.png" ]
done
[ -s /usr/share/torvm/torvm.tpl ] && [ -s /usr/share/torvm/help/index.html ] && [ -s /usr/share/torvm/help/inhalt.txt ]

# The desktop program starts as the menu entry starts it and keeps running until it is closed.
status=0
QT_QPA_PLATFORM=offscreen timeout 5 /usr/bin/torvm || status=$?
[ "$status" -eq 124 ]
cd /
rm -rf "$work"
echo "Paket $(basename "$deb"): installiert, torvm-cli demo und export-text laufen, Menüeintrag gültig."

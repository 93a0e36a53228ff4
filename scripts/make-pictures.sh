#!/usr/bin/env bash
# Renews the pictures that are kept in the repository: the application icon in every size of the
# icon theme and the screenshots of the help pages, taken under Xvfb with the program's own
# fonts and style. Run after changing a dialog the help shows; then commit the PNG files.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
cmake --build "$build" --target torvm-bilder
export XDG_CONFIG_HOME XDG_DATA_HOME
XDG_CONFIG_HOME=$(mktemp -d)
XDG_DATA_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"' EXIT
QT_QPA_PLATFORM=offscreen "$build/bin/torvm-bilder" icons resources/icons
mkdir -p resources/help/bilder
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/torvm-bilder" screenshots resources/help/bilder
ls -l resources/help/bilder resources/icons/hicolor/*/apps

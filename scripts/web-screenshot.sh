#!/bin/sh
# Writes the web site of the demo competition and takes headless Chromium screenshots of the
# frameset (menu and start page), a fixture page and a results page, to look at by eye.
# Usage: scripts/web-screenshot.sh [BUILD_DIR] [OUT_DIR]
set -eu
build=$(cd "${1:-build}" && pwd)
out=${2:-/tmp/torvm-web-shots}
browser=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$browser" ]; then
    echo "chromium not found" >&2
    exit 1
fi
rm -rf "$out"
mkdir -p "$out"
"$build/bin/torvm-cli" demo "$out/demo.mdb"
"$build/bin/torvm-cli" web-export "$out/demo.mdb" "$out/web" --round 4 --einzel 1 \
    --organiser "Schützengau Velmarik"
for page in index.htm Gruppe0.htm Erg0.htm; do
    "$browser" --headless --no-sandbox --disable-gpu --hide-scrollbars \
        --screenshot="$out/${page%.htm}.png" --window-size=1200,900 "file://$out/web/$page" 2>/dev/null
done
ls -l "$out"/*.png

#!/usr/bin/env bash
# Installs the dependencies, builds the two programs (not the tests and benchmarks), makes the
# demonstration competition in demo/, writes its text export, its printed pages and both web sites
# and starts the program on the competition.
# Without a display the program runs under a virtual X server and is closed after a short look.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)" --target torvm torvm-cli

mkdir -p demo
rm -rf demo/torvm.mdb demo/ausgabe.txt demo/ausgabe.pdf demo/web demo/web-modern
build/release/bin/torvm-cli demo demo/torvm.mdb
build/release/bin/torvm-cli export-text demo/torvm.mdb demo/ausgabe.txt
build/release/bin/torvm-cli print-pdf demo/torvm.mdb demo/ausgabe.pdf
build/release/bin/torvm-cli web-export demo/torvm.mdb demo/web --round 4
build/release/bin/torvm-cli web-export demo/torvm.mdb demo/web-modern --round 4 --style modern
echo "Webseiten geschrieben: demo/web/index.htm (klassisch), demo/web-modern/index.html (modern)"
echo "Text-Ausgabe geschrieben: demo/ausgabe.txt (Windows-1252); die ersten Zeilen:"
iconv -f WINDOWS-1252 -t UTF-8 demo/ausgabe.txt | tr -d '\r' | sed -n 1,30p

# The program opens "torvm.mdb" of its working folder on a first start; its settings stay in demo/.
export XDG_CONFIG_HOME="$PWD/demo/config"
cd demo
if [ -n "${DISPLAY:-}" ]; then
    exec ../build/release/bin/torvm
else
    timeout 5 xvfb-run -a ../build/release/bin/torvm || [ $? -eq 124 ]
    echo "Kein Bildschirm vorhanden: das Programm lief fünf Sekunden unter Xvfb."
fi

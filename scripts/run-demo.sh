#!/usr/bin/env bash
# Installs the dependencies, builds, makes a competition in demo/ and starts the program on it.
# Without a display the program runs under a virtual X server and is closed after a short look.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build/release -j "$(nproc)"

mkdir -p demo
rm -f demo/torvm.mdb
build/release/bin/torvm-cli new demo/torvm.mdb
echo "Wettkampfdatei angelegt: demo/torvm.mdb"

# The program opens "torvm.mdb" of its working folder on a first start; its settings stay in demo/.
export XDG_CONFIG_HOME="$PWD/demo/config"
cd demo
if [ -n "${DISPLAY:-}" ]; then
    exec ../build/release/bin/torvm
else
    timeout 5 xvfb-run -a ../build/release/bin/torvm || [ $? -eq 124 ]
    echo "Kein Bildschirm vorhanden: das Programm lief fünf Sekunden unter Xvfb."
fi

#!/usr/bin/env bash
# Cold start of the desktop program under Xvfb: the time from starting the process to the moment
# the main window's title names the competition opened from the settings ("last file"). Prints
# every run and the median in milliseconds. The title is looked for every few milliseconds, so
# the figures are a little high rather than low.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/release}")
runs=${2:-7}
work=$(mktemp -d)
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" HOME="$work" XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$work/run"
"$build/bin/torvm-cli" demo "$work/liga.mdb" > /dev/null
mkdir -p "$XDG_CONFIG_HOME/Velmarik"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2> /dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 100); do xwininfo -root > /dev/null 2>&1 && break; sleep 0.05; done

times=()
for run in $(seq "$runs"); do
    printf '[VMMainDlg]\nFileName=%s\n' "$work/liga.mdb" > "$XDG_CONFIG_HOME/Velmarik/torvm.conf"
    # Cold as far as this machine allows: without the file cache when we may drop it.
    sync; echo 3 > /proc/sys/vm/drop_caches 2> /dev/null || true
    start=$(date +%s%N)
    "$build/bin/torvm" &
    pid=$!
    until xwininfo -root -tree 2> /dev/null | grep -q 'Velmarik Wettkampfverwaltung - \[liga.mdb\]'; do
        kill -0 "$pid" 2> /dev/null || { echo "torvm ended early" >&2; exit 1; }
    done
    end=$(date +%s%N)
    kill "$pid"; wait "$pid" 2> /dev/null || true
    ms=$(((end - start) / 1000000))
    times+=("$ms")
    echo "Lauf $run: $ms ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")
echo "Median: $median ms (Start bis Fenstertitel mit dem Wettkampf, $runs Läufe)"

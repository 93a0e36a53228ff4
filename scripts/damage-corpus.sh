#!/bin/bash
# Runs the damaged-file corpus in full: N damaged competition files and N damaged Access member
# files (seeded, so every run damages the same way), each read by the program. Prints how many
# were refused, read and imported; a crash or hang ends the test program with a failure. The seeds
# of faults found once (a trigger in a competition, repeated keys, a damaged type byte, the pass
# number the file layer reads as Null, a journal of another file, a path too long for the engine)
# run with it and are counted as wrong successes.
# Usage: scripts/damage-corpus.sh [N] (default 1000), after the build in build/release.
set -euo pipefail
cd "$(dirname "$0")/.."
count="${1:-1000}"
build="${TORVM_BUILD:-build/release}"
export QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 TORVM_DAMAGE_CORPUS="$count"
exec timeout 7200 "$build/tests/test_cli" --gtest_filter='DamageCorpusTest.*'

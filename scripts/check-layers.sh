#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. The layers, lowest first:
# db, document, core (the subsystems' folders outside ui/), widgets, ui (the subsystems' ui/
# folders), app (the shell); cli sees the core layers only. The build enforces the same through
# the include folders of its libraries; this also catches an include written relative to the file.
set -euo pipefail
cd "$(dirname "$0")/../src"

layer_of() {
    case $1 in
        db/*) echo db ;;
        document/*) echo document ;;
        widgets/*) echo widgets ;;
        app/*) echo app ;;
        cli/*) echo cli ;;
        */ui/*) echo ui ;;
        fixtures/* | results/* | output/* | masterdata/* | exchange/* | controls/*) echo core ;;
        *) echo unknown ;;
    esac
}

allowed() {
    case $1 in
        db) echo "db" ;;
        document) echo "db document" ;;
        core) echo "db document core" ;;
        widgets) echo "db document core widgets" ;;
        ui) echo "db document core widgets ui" ;;
        app) echo "db document core widgets ui app" ;;
        cli) echo "db document core cli" ;;
    esac
}

subsystem_rank() {
    case ${1%%/*} in
        controls) echo 0 ;;
        masterdata) echo 1 ;;
        fixtures) echo 2 ;;
        results) echo 3 ;;
        output) echo 4 ;;
        exchange) echo 5 ;;
    esac
}

faults=0
checked=0
while IFS= read -r file; do
    from=$(layer_of "$file")
    if [ "$from" = unknown ]; then
        echo "$file: lies in no layer" >&2
        faults=$((faults + 1))
        continue
    fi
    ok=" $(allowed "$from") "
    dir=$(dirname "$file")
    while IFS= read -r header; do
        checked=$((checked + 1))
        if [ -e "$dir/$header" ]; then
            target=$(realpath --relative-to=. "$dir/$header")
        elif [ -e "$header" ]; then
            target=$header
        elif [ -d "${header%%/*}" ]; then
            echo "$file includes $header, which does not exist" >&2
            faults=$((faults + 1))
            continue
        else
            continue # a header of the build (moc) or of a library
        fi
        to=$(layer_of "$target")
        if [[ $ok != *" $to "* ]]; then
            echo "$file ($from) includes $target ($to)" >&2
            faults=$((faults + 1))
        elif [ "$from" = "$to" ] && { [ "$from" = core ] || [ "$from" = ui ]; }; then
            if [ "$(subsystem_rank "$target")" -gt "$(subsystem_rank "$file")" ]; then
                echo "$file includes $target, a subsystem after its own" >&2
                faults=$((faults + 1))
            fi
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's#^\./##' | sort)

if [ "$faults" -ne 0 ]; then
    echo "check-layers: $faults include(s) against the layer order" >&2
    exit 1
fi
echo "check-layers: $checked includes in layer order"

#!/usr/bin/env bash
# Checks that the source folders form one order of layers: a file may include
# files of its own folder and of the folders below it, never of one above.
#   tools/check_layers.sh [<source root>]     (default: the src folder beside tools/)
# Reads both #include "a/b.h" and #include <a/b.h>. Prints each include that points
# upward or into a folder the order does not know, and each folder the order does
# not know; exits 1 when there is any, else 0.
set -euo pipefail

# Lowest first. filterlib is built apart from the console and uses platform only;
# the services call into it, so it sits between the two.
LAYERS=(platform filterlib services database lists schedules reporting console startup)

ROOT="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)}"
[ -d "$ROOT" ] || { echo "no source folder: $ROOT" >&2; exit 2; }

declare -A RANK=()
for i in "${!LAYERS[@]}"; do RANK[${LAYERS[$i]}]=$i; done

failures=0
report() {
    echo "$1"
    failures=$((failures + 1))
}

for dir in "$ROOT"/*/; do
    folder="$(basename "$dir")"
    [ -n "${RANK[$folder]+set}" ] || report "$folder/: a folder outside the layer order (${LAYERS[*]})"
done

while IFS= read -r -d '' file; do
    rel="${file#"$ROOT"/}"
    folder="${rel%%/*}"
    # Files at the top of the source root (the configured version header) use nothing.
    [ "$folder" = "$rel" ] && continue
    [ -n "${RANK[$folder]+set}" ] || continue
    own=${RANK[$folder]}
    while IFS=: read -r line form target; do
        # Only includes that name a folder: "ui_x.h", "Version.h" and the like are
        # generated beside their users.
        [[ "$target" == */* ]] || continue
        used="${target%%/*}"
        # The compiler finds our folders in both forms, so <console/frmMain.h> is read
        # like "console/frmMain.h". Other <a/b.h> are the system's and libraries'
        # headers (<sys/stat.h>, <curl/curl.h>), unless they climb out of a folder.
        if [ "$form" = "<" ] && [ -z "${RANK[$used]+set}" ] && [ "$used" != ".." ] && [ "$used" != "." ]; then
            continue
        fi
        if [ "$form" = "<" ]; then shown="<$target>"; else shown="\"$target\""; fi
        if [ -z "${RANK[$used]+set}" ]; then
            report "$rel:$line: includes $shown from a folder outside the layer order"
        elif [ "${RANK[$used]}" -gt "$own" ]; then
            report "$rel:$line: includes $shown: $used is above $folder"
        fi
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" |
             sed -E 's/^([0-9]+):[[:space:]]*#[[:space:]]*include[[:space:]]*("([^"]*)"|<([^>]*)>).*/\1:\2/' |
             sed -E 's/^([0-9]+):"(.*)"$/\1:":\2/; s/^([0-9]+):<(.*)>$/\1:<:\2/' || true)
done < <(find "$ROOT" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.in' \) -print0 | sort -z)

if [ "$failures" -gt 0 ]; then
    echo "$failures include(s) or folder(s) break the layer order: ${LAYERS[*]}"
    exit 1
fi
echo "layers in order: ${LAYERS[*]}"

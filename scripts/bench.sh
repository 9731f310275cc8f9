#!/usr/bin/env bash
# Installs what is missing, builds, and runs every benchmark (bench/bench_*), each
# printing its table of console time against the sqlite3 shell doing the same work.
# Extra arguments are passed to every benchmark.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
export QT_QPA_PLATFORM=offscreen
for b in "$BUILD"/bench/bench_*; do
    [ -x "$b" ] && [ -f "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" "$@"
done

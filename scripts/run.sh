#!/usr/bin/env bash
# Installs what is missing, builds, creates the default settings database when
# there is none, and starts the console.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
"$BUILD/tools/dv-install"
exec "$BUILD/src/DravinoleTS" "$@"

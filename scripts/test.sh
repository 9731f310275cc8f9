#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_missing
build
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# The layer check itself: it passes a tree whose includes point down or stay in
# their folder, and fails, naming the file and line, on each include that points up
# or leaves the order, and on a folder the order does not know.
#   test_check_layers.sh <tools/check_layers.sh>
set -uo pipefail
CHECK="$1"
TREE="$(mktemp -d)"
trap 'rm -rf "$TREE"' EXIT
fails=0
expect() {  # expect <description> <wanted exit code> <text the output must hold or "">
    local rc out
    out="$("$CHECK" "$TREE/src" 2>&1)"
    rc=$?
    if [ "$rc" -ne "$2" ] || { [ -n "$3" ] && ! grep -qF -- "$3" <<<"$out"; }; then
        echo "FAIL: $1 (exit $rc, wanted $2${3:+, output holding: $3})"
        echo "$out"
        fails=$((fails + 1))
    fi
}

mkdir -p "$TREE"/src/{platform,filterlib,services,database,lists,schedules,reporting,console,startup}
printf '#pragma once\n' > "$TREE/src/platform/Platform.h"
printf '#include "platform/Platform.h"\n#include <QString>\n' > "$TREE/src/filterlib/lhdvsock.cpp"
printf '#include "filterlib/lhdvsock.h"\n#include "platform/Platform.h"\n' > "$TREE/src/services/modFilters.cpp"
printf '#include "reporting/frmReport.h"\n#include "lists/ListEditor.h"\n#include "ui_frmReport.h"\n#include "Version.h"\n' > "$TREE/src/reporting/frmReport.cpp"
printf '#include "console/frmLogin.h"\n#include "reporting/frmReporting.h"\n' > "$TREE/src/startup/main.cpp"
printf '#pragma once\n' > "$TREE/src/Version.h.in"
expect "a tree whose includes point down" 0 "layers in order"

printf '#include "platform/Platform.h"\n  #  include "services/ErrorHandler.h"\n' > "$TREE/src/platform/Dv_Application.cpp"
expect "platform including services" 1 'platform/Dv_Application.cpp:2: includes "services/ErrorHandler.h": services is above platform'
rm "$TREE/src/platform/Dv_Application.cpp"

printf '#include "database/modDB.h"\n#include "console/frmMain.h"\n' > "$TREE/src/lists/ListEditor.cpp"
printf '#include "schedules/ScheduleEditor.h"\n' > "$TREE/src/lists/ListEditor.h"
expect "a feature including the console" 1 'lists/ListEditor.cpp:2: includes "console/frmMain.h": console is above lists'
expect "one feature including a later one" 1 'lists/ListEditor.h:1: includes "schedules/ScheduleEditor.h"'
expect "each upward include counted" 1 "2 include(s) or folder(s) break the layer order"
rm "$TREE/src/lists/ListEditor.cpp" "$TREE/src/lists/ListEditor.h"

printf '#include "platform/RegistryStore.h"\n#include "services/modGlobal.h"\n' > "$TREE/src/filterlib/WinsockCatalog.cpp"
expect "the filter library using more than platform" 1 'filterlib/WinsockCatalog.cpp:2: includes "services/modGlobal.h"'
rm "$TREE/src/filterlib/WinsockCatalog.cpp"

# The angle form names our folders as well; the system's and libraries' headers in
# it are no layer.
printf '#include <sys/stat.h>\n#include <curl/curl.h>\n#include <QtCore/QString>\n#include <platform/Platform.h>\n  #  include  <console/frmMain.h>\n' > "$TREE/src/lists/ListEditor.cpp"
expect "a feature including the console in angle brackets" 1 'lists/ListEditor.cpp:5: includes <console/frmMain.h>: console is above lists'
expect "only the upward angle include counted" 1 "1 include(s) or folder(s) break the layer order"
printf '#include <../console/frmMain.h>\n' > "$TREE/src/lists/ListEditor.cpp"
expect "an angle path around the order" 1 'lists/ListEditor.cpp:1: includes <../console/frmMain.h> from a folder outside the layer order'
printf '#include <database/modDB.h>\n#include <lists/ListEditor.h>\n#include <gtest/gtest.h>\n' > "$TREE/src/lists/ListEditor.cpp"
expect "angle includes pointing down" 0 "layers in order"
rm "$TREE/src/lists/ListEditor.cpp"

printf '#include "../console/frmMain.h"\n' > "$TREE/src/database/modDB.cpp"
expect "a path around the order" 1 'database/modDB.cpp:1: includes "../console/frmMain.h" from a folder outside the layer order'
rm "$TREE/src/database/modDB.cpp"

mkdir -p "$TREE/src/widgets"
expect "a folder outside the order" 1 "widgets/: a folder outside the layer order"
rmdir "$TREE/src/widgets"
expect "the tree clean again" 0 ""

[ "$fails" -eq 0 ] && echo "layer check: all cases pass"
exit $((fails > 0))

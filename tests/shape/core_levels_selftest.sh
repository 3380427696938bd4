#!/usr/bin/env bash
# core_levels.sh must see every kind of break: it runs here on a small tree
# with one break of each kind, and must name each one and fail.
set -euo pipefail
check=$(cd "$(dirname "$0")" && pwd)/core_levels.sh
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/src/{image,link,operations,sim,history,app} "$tree/build"

put()
{
    printf '%s\n' "${@:2}" >"$tree/$1"
}
put src/image/settings.h '#include "settings_parts.h"' '#include <vector>' '#include "link/timing.h"'
put src/image/settings_parts.h '#pragma once'
put src/image/CMakeLists.txt 'target_link_libraries(telvor_image PUBLIC Qt6::Core)'
put src/link/timing.h '#include <QString>'
put src/link/timing.cpp '#include "timing.h"'
put src/operations/read.cpp '#include "image/settings.h"' '#include "../link/timing.h"' '#include "sim/server.h"' \
    '#include "app/window.h"'
put src/sim/server.h '#include "history/store.h"'
put src/history/store.h '#include "operations/read.h"' '#include <QtCore/QDir>'
put src/app/window.h '#include <QWidget>' '#include "cli/commands.h"'
cat >"$tree/build/compile_commands.json" <<JSON
[
{
  "directory": "$tree/build",
  "command": "/usr/bin/c++ -DQT_CORE_LIB -isystem /usr/include/x86_64-linux-gnu/qt6 -o timing.o -c $tree/src/link/timing.cpp",
  "file": "$tree/src/link/timing.cpp",
  "output": "timing.o"
},
{
  "directory": "$tree/build",
  "command": "/usr/bin/c++ -DQT_WIDGETS_LIB -o window.o -c $tree/src/app/window.cpp",
  "file": "$tree/src/app/window.cpp",
  "output": "window.o"
}
]
JSON

expected=(
    "src/image/settings.h:3: image (level 1) includes link/timing.h of link (level 1)"
    "src/image/CMakeLists.txt:1: a core target names Qt"
    "src/link/timing.h:1: the core folder link includes Qt's QString"
    "src/operations/read.cpp:3: operations (level 2) includes sim/server.h of sim (level 2)"
    "src/operations/read.cpp:4: the core folder operations includes app/window.h of app/, which is no core folder"
    "src/sim/server.h:1: sim (level 2) includes history/store.h of history (level 3)"
    "src/history/store.h:2: the core folder history includes Qt's QtCore/QDir"
    "src/link/timing.cpp: compiled with Qt (QT_CORE_LIB): its target links Qt"
    "8 break(s) of the core's shape"
)
status=0
output=$("$check" "$tree" "$tree/build") || status=$?
failed=0
if [ "$status" -ne 1 ]; then
    echo "core_levels.sh exited $status on a broken tree, not 1"
    failed=1
fi
for line in "${expected[@]}"; do
    if ! grep -qxF "$line" <<<"$output"; then
        echo "not reported: $line"
        failed=1
    fi
done
if [ "$failed" -ne 0 ]; then
    echo "--- what core_levels.sh printed:"
    echo "$output"
    exit 1
fi
echo "every break of the test tree reported"

#!/usr/bin/env bash
# Sets up, builds the library and the gnutil tool, and runs the tool on the
# Shift-JIS sample in a real Shift-JIS locale.
set -euo pipefail
source "$(dirname "$0")/env.sh"
"$GNUTIL_ROOT/scripts/setup.sh"
cmake -S "$GNUTIL_ROOT" -B "$GNUTIL_ROOT/build/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$GNUTIL_ROOT/build/linux" -j "$JOBS" --target gnutil_tool >/dev/null
echo "\$ LC_ALL=ja_JP.sjis gnutil chars examples/sample-sjis.txt"
LC_ALL=ja_JP.sjis "$GNUTIL_ROOT/build/linux/tools/gnutil" chars "$GNUTIL_ROOT/examples/sample-sjis.txt"

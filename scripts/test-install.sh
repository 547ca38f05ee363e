#!/usr/bin/env bash
# The installed package as users meet it, in Debian's layout
# (lib/<multiarch>): the Linux build (build/linux, made by test-all.sh or
# here) is installed into a staging tree, and the examples, the consumer and
# the acceptance tests are built against it only: with the CMake package and
# with pkg-config, and run.
set -uo pipefail
source "$(dirname "$0")/env.sh"
"$GNUTIL_ROOT/scripts/install-packages.sh" cmake make g++ pkg-config libicu-dev libgtest-dev \
  >/dev/null || exit 1
"$GNUTIL_ROOT/scripts/gen-locales.sh" "$LOCPATH" >/dev/null
build="$GNUTIL_ROOT/build/linux"
logs="$GNUTIL_ROOT/build/logs"
stage="$GNUTIL_ROOT/build/stage"
mkdir -p "$logs"
log="$logs/install-steps.log"
: > "$log"
CHECK_LOG="$log"
source "$GNUTIL_ROOT/scripts/checks.sh"
start=$SECONDS

# Debian's layout (lib/<multiarch>), as the packages use it.
echo "== install: staging tree build/stage/usr"
install_staged() {
  gnutil_build_for_install && rm -rf "$stage" && DESTDIR="$stage" cmake --install "$build"
}
check "the build installs into a staging tree" install_staged
prefix="$stage/usr"
libdir="$prefix/$GNUTIL_LIBDIR"
export PKG_CONFIG_PATH="$libdir/pkgconfig"

pc_paths_resolve() {  # the .pc file's prefix follows the tree wherever it lies
  [ "$(realpath "$(pkg-config --variable=libdir gnutil)")" = "$(realpath "$libdir")" ] &&
    [ "$(realpath "$(pkg-config --variable=includedir gnutil)")" = "$(realpath "$prefix/include")" ] &&
    [ -f "$(pkg-config --variable=includedir gnutil)/gnutil/version.h" ]
}
check "pkg-config finds the library and headers of the staged tree" pc_paths_resolve

examples="$GNUTIL_ROOT/build/examples"
build_examples() {
  rm -rf "$examples" &&
    cmake -S "$GNUTIL_ROOT/examples" -B "$examples" -DCMAKE_PREFIX_PATH="$prefix" &&
    cmake --build "$examples" -j "$JOBS"
}
check "the examples build with the CMake package" build_examples

# CMake gives each program the library's directory as its run path; a
# pkg-config program gets it from the command line below.
consumer_cmake() {
  local out
  out=$("$examples/consumer/consumer") || return 1
  echo "$out"
  grep -qx "consumer ok (11 bytes)" <<<"$out" &&
    grep -qx "gnutil headers \([0-9.]*\), library \1" <<<"$out" &&
    out=$(LC_ALL=en_US.UTF-8 "$examples/consumer/consumer") &&
    grep -q "^library messages: Automation (" <<<"$out"
}
check "the CMake consumer runs: version of headers and library, the library's texts" consumer_cmake
consumer_pkgconfig() {
  local out
  g++ -std=c++17 "$GNUTIL_ROOT/examples/consumer/main.cpp" -o "$examples/consumer-pc" \
    $(pkg-config --cflags --libs gnutil) -Wl,-rpath,"$(pkg-config --variable=libdir gnutil)" &&
    out=$("$examples/consumer-pc") || return 1
  echo "$out"
  grep -qx "consumer ok (11 bytes)" <<<"$out"
}
check "a consumer built with pkg-config runs" consumer_pkgconfig

sample="$GNUTIL_ROOT/examples/sample-sjis.txt"
check "convert: the Shift-JIS sample becomes EUC and is detected as such" \
  "$examples/convert" "$sample" "$examples/sample-euc.txt" euc
check "convert: and back to Shift-JIS, byte for byte" \
  eval '"$examples/convert" "$examples/sample-euc.txt" "$examples/sample-back.txt" sjis &&
        cmp "$sample" "$examples/sample-back.txt"'
check "dates: a typed US date is read and shown" \
  env LC_ALL=en_US.UTF-8 "$examples/dates" "3/5/01 2:07 PM" "Dec 25, 99"
check "dates: a typed Japanese date is read and shown" \
  env LC_ALL=ja_JP.UTF-8 "$examples/dates" "2001年3月5日 14:07"
check "decimal: C form to German form and back" env LC_ALL=de_DE.UTF-8 "$examples/decimal"
check "trace: two threads, one trace file, every line whole" \
  "$examples/trace" "$examples/trace-example.log"
check "config: a value written and read back" "$examples/config" "$examples/config-example.ini"

acceptance() {
  cmake -S "$GNUTIL_ROOT/tests/acceptance" -B "$GNUTIL_ROOT/build/acceptance" \
    -DCMAKE_PREFIX_PATH="$prefix" &&
    cmake --build "$GNUTIL_ROOT/build/acceptance" -j "$JOBS"
}
check "the acceptance tests build against the staged package" acceptance
echo "   ($((SECONDS - start)) s)"
check_summary

echo "== install: acceptance tests against the staged package"
(cd "$GNUTIL_ROOT/build/acceptance" && GNUTIL_REQUIRE_LOCALES=1 \
   ctest -j "$JOBS" --output-on-failure --timeout 300)
rc=$?
[ $bad -eq 0 ] && [ $rc -eq 0 ]

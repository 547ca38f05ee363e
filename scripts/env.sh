# Sourced by the scripts: where things live and the locale search path.
GNUTIL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export LOCPATH="$GNUTIL_ROOT/.locales"
JOBS=$(nproc 2>/dev/null || echo 2)

# gnutil_build_for_install: configures build/linux (the Linux build that CI
# tests) for the /usr prefix with Debian's multiarch library directory, as the
# packages and the staged install need it, and builds it.
gnutil_build_for_install() {
  local multiarch
  multiarch=$(gcc -print-multiarch 2>/dev/null)
  GNUTIL_LIBDIR="lib/${multiarch:-x86_64-linux-gnu}"
  cmake -S "$GNUTIL_ROOT" -B "$GNUTIL_ROOT/build/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGNUTIL_WERROR=ON -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_LIBDIR="$GNUTIL_LIBDIR" &&
    cmake --build "$GNUTIL_ROOT/build/linux" -j "$JOBS"
}

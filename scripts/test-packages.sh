#!/usr/bin/env bash
# The Debian packages: built with CPack from build/linux (configured for /usr
# as Debian lays it out), checked with lintian, then installed with apt on a
# clean Debian 12 made with debootstrap (minbase plus a compiler, CMake,
# pkg-config and make), where a consumer is built with pkg-config and with
# CMake against /usr and run; purging the packages must leave no file behind.
# Nothing is cached between runs. Packages: build/packages/*.deb.
#
# Lintian warnings accepted (LINTIAN_ACCEPTED below), and why:
#   maintscript-calls-ldconfig          CPack writes a postinst and postrm that
#                                       run ldconfig for a library in /usr/lib;
#                                       the package's ldconfig trigger does the
#                                       same, so the call is redundant, not wrong
#   shared-library-lacks-prerequisites  gnutilres.so is the library's message
#                                       table, a data-only module that the
#                                       library opens itself: it needs no libc
# Informational tags (I:) are shown and not counted.
set -uo pipefail
source "$(dirname "$0")/env.sh"
"$GNUTIL_ROOT/scripts/install-packages.sh" cmake make g++ dpkg-dev file lintian debootstrap \
  >/dev/null || exit 1
packages="$GNUTIL_ROOT/build/packages"
root="$GNUTIL_ROOT/build/chroot"
logs="$GNUTIL_ROOT/build/logs"
mkdir -p "$logs"
log="$logs/packages-steps.log"
: > "$log"
CHECK_LOG="$log" CHECK_TAIL=25
source "$GNUTIL_ROOT/scripts/checks.sh"
retry() {  # retry COMMAND...: three tries, for steps that use the network
  local n
  for n in 1 2 3; do
    "$@" && return 0
    echo "retried after a failure ($n): $*"
    sleep $((n * 10))
  done
  return 1
}
unmount_chroot() {
  local m
  for m in proc dev/pts dev; do
    mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
  done
  return 0
}
trap unmount_chroot EXIT
start=$SECONDS

echo "== packages: Debian packages with CPack"
build_packages() {
  gnutil_build_for_install &&
    rm -rf "$packages" && (cd "$GNUTIL_ROOT/build/linux" && cpack -G DEB -B "$packages") &&
    ls "$packages"/*.deb
}
check "cpack makes libgnutil1, libgnutil-dev and gnutil-tools" \
  eval 'build_packages && [ $(ls "$packages"/*.deb | wc -l) -eq 3 ]'
debs=("$packages"/*.deb)
for deb in "${debs[@]}"; do
  echo "   $(basename "$deb"): $(dpkg-deb -f "$deb" Depends)"
done
depends_ok() {  # the shlibs-derived dependencies are there
  dpkg-deb -f "$packages"/libgnutil1_*.deb Depends | grep -q 'libicu' &&
    dpkg-deb -f "$packages"/libgnutil1_*.deb Depends | grep -q 'libstdc++6' &&
    dpkg-deb -f "$packages"/libgnutil-dev_*.deb Depends | grep -q 'libgnutil1 (= ' &&
    dpkg-deb -I "$packages"/libgnutil1_*.deb shlibs | grep -q '^libgnutil 1 libgnutil1'
}
check "dependencies: ICU and the C++ runtime by shlibs; the shlibs file of libgnutil1" depends_ok

LINTIAN_ACCEPTED="maintscript-calls-ldconfig shared-library-lacks-prerequisites"
run_lintian() {
  lintian --allow-root --display-info "${debs[@]}" > "$logs/lintian.log" 2>&1
  local rc=$?
  [ $rc -eq 0 ] || [ $rc -eq 2 ] || return 1  # 2: errors found; anything else: lintian failed
  cat "$logs/lintian.log"
  local accepted=${LINTIAN_ACCEPTED// /|}
  ! grep -E '^E: ' "$logs/lintian.log" &&
    ! grep -E '^W: ' "$logs/lintian.log" | grep -vE "^W: [^ ]+ ($accepted)( |$)"
}
check "lintian: no error, no warning beyond the accepted ones" run_lintian
sed 's/^/   lintian: /' "$logs/lintian.log" | head -30

echo "== packages: apt install on a clean Debian 12 (debootstrap)"
make_chroot() {  # made in the background by test-all.sh, or here
  if [ -n "${GNUTIL_CHROOT_PID:-}" ]; then
    while [ ! -e "$root.done" ] && kill -0 "$GNUTIL_CHROOT_PID" 2>/dev/null; do sleep 2; done
    [ -e "$root.ok" ] && return 0
  fi
  "$GNUTIL_ROOT/scripts/make-chroot.sh"
}
check "a fresh Debian 12 chroot with g++, cmake, pkg-config, make" make_chroot
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
              DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 bash -c "$1"; }
mount -t proc proc "$root/proc" 2>/dev/null
# Every file of the system except the package manager's own state, caches,
# logs and the scratch folders the test uses.
snapshot='find / -xdev \( -path /proc -o -path /tmp -o -path /root -o -path /var/cache \
  -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log \) -prune -o -print | sort'
prepare() {
  rm -rf "$root/tmp/gnutil" && mkdir -p "$root/tmp/gnutil" &&
    cp "${debs[@]}" "$root/tmp/gnutil/" && cp -r "$GNUTIL_ROOT/examples" "$root/tmp/gnutil/" &&
    retry in_root 'apt-get update' &&
    in_root "$snapshot > /tmp/gnutil/before.txt"
}
check "the chroot knows the archive; its files are listed" prepare
check "apt install ./*.deb pulls in the dependencies and installs" \
  in_root 'apt-get install -y --no-install-recommends /tmp/gnutil/*.deb'
consumer_pkgconfig() {
  local out
  out=$(in_root 'cd /tmp/gnutil && g++ -std=c++17 examples/consumer/main.cpp -o consumer-pc \
                   $(pkg-config --cflags --libs gnutil) && ./consumer-pc') || return 1
  echo "$out"
  grep -qx "consumer ok (11 bytes)" <<<"$out"
}
check "a consumer built with pkg-config against /usr runs" consumer_pkgconfig
consumer_cmake() {
  local out
  out=$(in_root 'cd /tmp/gnutil && cmake -S examples -B build >/dev/null &&
                 cmake --build build -j2 >/dev/null && build/consumer/consumer &&
                 build/convert examples/sample-sjis.txt out.txt euc && build/decimal &&
                 build/trace /tmp/gnutil/trace.log && build/config /tmp/gnutil/c.ini') || return 1
  echo "$out"
  grep -q "^library messages: Automation (" <<<"$out"
}
check "the examples built with CMake against /usr run (the consumer with the library's texts)" \
  consumer_cmake
check "the gnutil tool of gnutil-tools runs" \
  in_root 'gnutil chars --codeset SJIS /tmp/gnutil/examples/sample-sjis.txt | tail -1'
purged_clean() {
  in_root 'apt-get purge -y --autoremove libgnutil1 libgnutil-dev gnutil-tools' &&
    in_root "$snapshot > /tmp/gnutil/after.txt" &&
    diff "$root/tmp/gnutil/before.txt" "$root/tmp/gnutil/after.txt"
}
check "apt purge leaves no file behind (file lists compared)" purged_clean
unmount_chroot
rm -rf "$root"
echo "   ($((SECONDS - start)) s)"
check_summary

#!/usr/bin/env bash
# Records the locale-information items of seven locales from the system's own
# GetLocaleInfoA under Wine (each locale read by the Wine user whose code page
# holds it) into tests/data/locale_items_wine.txt, and compares them with the
# Linux answers (ICU) of the current build. Needs both builds' gnutil tools:
#   build/linux/tools/gnutil and build/windows/bin/gnutil.exe
# The table in docs/LOCALE.md is the summary this prints.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
linux_tool="$root/build/linux/tools/gnutil"
windows_bin="$root/build/windows/bin"
out="$root/tests/data/locale_items_wine.txt"
export WINEPREFIX="$root/build/windows/wineprefix" WINEARCH=win32 WINEDEBUG=-all
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "${1:-}" != "--compare-only" ]; then
  [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
  : > "$work/wine.txt"
  for user in "en_US 1252 409 407 40c" "ja_JP 932 411" "zh_TW 950 404" "ko_KR 949 412" \
              "zh_CN 936 804"; do
    set -- $user
    lang=$1 page=$2
    shift 2
    (cd "$windows_bin" && LANG=$lang.UTF-8 LC_ALL=$lang.UTF-8 xvfb-run -a \
       wine gnutil.exe locale --items "$@" </dev/null 2>/dev/null) |
      tr -d '\r' | iconv -f "cp$page" -t UTF-8 >> "$work/wine.txt"
  done
  cp "$work/wine.txt" "$out"
fi

LC_ALL=C.UTF-8 "$linux_tool" locale --items 409 407 40c 411 404 412 804 > "$work/linux.txt"
python3 - "$out" "$work/linux.txt" <<'PY'
import sys
def load(path):
    items = {}
    for line in open(path, encoding="utf-8"):
        p = line.rstrip("\n").split(" ", 3)
        items[(p[0], p[1])] = p[3] if p[2] == "ok" and len(p) > 3 else ("" if p[2] == "ok" else None)
    return items
system, linux = load(sys.argv[1]), load(sys.argv[2])
by_locale = {}
for key, text in system.items():
    total, agree = by_locale.get(key[0], (0, 0))
    by_locale[key[0]] = (total + 1, agree + (linux.get(key) == text))
for lcid, (total, agree) in by_locale.items():
    print(f"| {lcid} | {total} | {agree} |")
print(f"| all | {sum(t for t, _ in by_locale.values())} | {sum(a for _, a in by_locale.values())} |")
for key, text in system.items():
    if linux.get(key) != text:
        print(f"differs: {key[0]} {key[1]}: Linux {linux.get(key)!r}, system {text!r}")
PY

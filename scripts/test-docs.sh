#!/usr/bin/env bash
# Builds the API reference with Doxygen and fails on any warning: every
# class, member and function that include/gnutil/ exports must carry a doc
# comment. Prints the number of documented entities. Output:
# build/docs/docs/html/index.html.
set -uo pipefail
source "$(dirname "$0")/env.sh"
"$GNUTIL_ROOT/scripts/install-packages.sh" doxygen cmake g++ libicu-dev >/dev/null || exit 1
build="$GNUTIL_ROOT/build/docs"
source "$GNUTIL_ROOT/scripts/checks.sh"

echo "== docs: doxygen over include/gnutil"
start=$SECONDS
cmake -S "$GNUTIL_ROOT" -B "$build" -DGNUTIL_BUILD_TESTS=OFF -DGNUTIL_BUILD_TOOLS=OFF \
  > "$build.log" 2>&1 || { tail -20 "$build.log"; }
log="$build/docs/doxygen-warnings.log"
doxygen_clean() {
  cmake --build "$build" --target docs >> "$build.log" 2>&1 && [ ! -s "$log" ]
}
if ! check "the API reference builds with no Doxygen warning" doxygen_clean; then
  echo "   Every exported class, member, function, macro and constant in a public"
  echo "   header (include/gnutil/*.h) needs a doc comment: a '///' line above it or"
  echo "   a '///<' after it (one brief line; say what it returns on failure and"
  echo "   which locale or code set it reads where that is not obvious). A file"
  echo "   needs '/// \\file' and '/// \\ingroup <subsystem>' (docs/groups.dox)."
  echo "   Doxygen's complaints, by header and line:"
  sed 's/^/     /' "$log" 2>/dev/null | head -60
fi

# The count of documented public entities, from Doxygen's XML.
count_entities() {
  python3 - "$build/docs/xml" <<'PY'
import glob, sys, xml.etree.ElementTree as ET
from collections import Counter
seen, undocumented = {}, []
for path in glob.glob(sys.argv[1] + "/*.xml"):
    if path.endswith("index.xml"):
        continue
    for compound in ET.parse(path).getroot().iter("compounddef"):
        if compound.get("kind") in ("class", "struct", "file", "namespace", "group"):
            seen[compound.get("id")] = compound.get("kind")
        for member in compound.iter("memberdef"):
            if member.get("prot") == "private" or member.get("kind") == "friend":
                continue
            text = "".join(member.find("briefdescription").itertext()).strip()
            text += "".join(member.find("detaileddescription").itertext()).strip()
            if text:
                seen[member.get("id")] = member.get("kind")
            elif compound.get("kind") != "struct" or "::" not in compound.findtext("compoundname"):
                undocumented.append(compound.findtext("compoundname") + "::" + member.findtext("name"))
kinds = Counter(seen.values())
print("   documented entities: %d (%s)" % (len(seen), ", ".join("%s %d" % kv for kv in sorted(kinds.items()))))
for name in undocumented:
    print("   undocumented: " + name)
sys.exit(1 if undocumented or not seen else 0)
PY
}
check "every public entity in Doxygen's XML has a description" count_entities
echo "   ($((SECONDS - start)) s; reference: build/docs/docs/html/index.html)"
check_summary

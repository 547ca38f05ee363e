# Sourced by the scripts: where things live and the locale search path.
GNUTIL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export LOCPATH="$GNUTIL_ROOT/.locales"
JOBS=$(nproc 2>/dev/null || echo 2)

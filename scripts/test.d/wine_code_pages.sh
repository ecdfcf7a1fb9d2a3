#!/usr/bin/env bash
# The Wine suite on code pages other than 936: the scenarios that read every text of the program
# back in UTF-16, once under 1252 (C.UTF-8) and once under UTF-8 (hi_IN.UTF-8, a locale that has
# no ANSI code page of its own, for which Wine uses 65001); under 1252 also the names that the code
# page lacks or would turn into others. Each gets a prefix of its own; the screenshots land in
# build/e2e/ beside those of the main run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd) || exit 1

status=0
texts=(wide-texts fatal-out-of-memory fatal-internal-error)
echo "== e2e under C.UTF-8"
E2E_LOCALE=C.UTF-8 bash "$here/e2e.sh" names "${texts[@]}" || status=1
echo "== e2e under hi_IN.UTF-8"
E2E_LOCALE=hi_IN.UTF-8 bash "$here/e2e.sh" "${texts[@]}" || status=1
exit "$status"

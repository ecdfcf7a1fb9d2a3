#!/usr/bin/env bash
# The program's own texts under Wine on code pages other than 936: the scenarios that read every
# text back in UTF-16, once under 1252 (C.UTF-8) and once under UTF-8 (hi_IN.UTF-8, a locale that
# has no ANSI code page of its own, for which Wine uses 65001). Each gets a prefix of its own; the
# screenshots land in build/e2e/ beside those of the main run.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd) || exit 1

status=0
for locale_name in C.UTF-8 hi_IN.UTF-8; do
    echo "== e2e under $locale_name"
    E2E_LOCALE=$locale_name bash "$here/e2e.sh" wide-texts fatal-out-of-memory fatal-internal-error ||
        status=1
done
exit "$status"

#!/usr/bin/env bash
# The scenarios of names outside the code page once more, under code page 1252 (LANG=C.UTF-8),
# in a Wine prefix of their own (build/e2e-C.UTF-8/).
set -euo pipefail
E2E_LOCALE=C.UTF-8 exec bash "$(dirname "$0")/e2e.sh" names

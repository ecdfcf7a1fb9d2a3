#!/usr/bin/env bash
# Runs every test suite of the builds that `make test` has just built.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== native tests"
ctest --test-dir build/native --output-on-failure -j "$(nproc)"
echo "== sanitizer tests"
ctest --test-dir build/asan --output-on-failure -j "$(nproc)"
for suite in scripts/test.d/*.sh; do
    [ -e "$suite" ] || continue
    echo "== $(basename "$suite" .sh)"
    bash "$suite"
done

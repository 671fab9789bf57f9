#!/usr/bin/env bash
# Prints the non-blank lines of C++ and resource script under tests/ and under the five product
# folders, and the tests' share of all code (the project keeps it to a third at most). CMake files,
# scripts and the fuzz corpus do not count.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.rc' \) -print0 | xargs -0 cat | grep -cv '^[[:space:]]*$'
}
tests=$(count tests)
product=$(count settings keys dialog app resources)
echo "Code: product $product lines, tests $tests lines;" \
    "tests are $((100 * tests / (tests + product))) % of all code ($((100 * tests / product)) % of the product)"

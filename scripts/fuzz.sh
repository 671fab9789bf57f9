#!/usr/bin/env bash
# Fuzzes the load and save of the bindings file for SECONDS (default 60), starting from the
# committed corpus. New inputs gather in build/fuzz-corpus; a crash is saved as build/fuzz-crash-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target load_fuzzer
mkdir -p build/fuzz-corpus
build/fuzz/tests/load_fuzzer -max_total_time="$seconds" -max_len=3000 -print_final_stats=1 \
    -artifact_prefix="$root/build/fuzz-crash-" "$root/build/fuzz-corpus" "$root/tests/fuzz/corpus"

#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: native, native with sanitizers, and the
# Windows programs under Wine. Pass --no-e2e to leave out the end-to-end tests of the real program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

echo "== formatting (clang-format, .clang-format)"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

ctest_args=()
[ "${1:-}" = "--no-e2e" ] && ctest_args+=(--label-exclude e2e)

for preset in host host-sanitize fuzz; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done

# The shipped 32-bit program and its tests, run under 32-bit Wine: natively where the kernel can
# execute 32-bit code, through qemu's user-mode emulation where it cannot.
echo "== windows"
cmake --preset windows >/dev/null
cmake --build --preset windows
echo "== build/windows/orvane_config.exe: $(stat -c %s build/windows/orvane_config.exe) bytes"
echo "== release zip, and the same bytes from a second build in another folder"
"$root/scripts/check-release.sh"
"$root/scripts/with-wine32.sh" ctest --preset windows "${ctest_args[@]}"

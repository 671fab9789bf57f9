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

# The product is the 32-bit program. Its tests run under 32-bit Wine where the kernel can execute
# 32-bit code; otherwise the same sources are built for 64-bit Windows and tested under 64-bit Wine.
echo "== windows"
cmake --preset windows >/dev/null
cmake --build --preset windows
. "$root/scripts/wine-loader.sh"
wine_preset=windows
if [ "$ORVANE_WINE_BITS" = 64 ]; then
    echo "This machine cannot run 32-bit code: the Windows tests run on the 64-bit build."
    wine_preset=windows64
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64
fi
echo "== build/windows/orvane_config.exe: $(stat -c %s build/windows/orvane_config.exe) bytes, imports:"
i686-w64-mingw32-objdump -p build/windows/orvane_config.exe | grep 'DLL Name' | sed 's/^\s*/  /'
echo "== $wine_preset under Wine"
ctest --preset "$wine_preset" "${ctest_args[@]}"

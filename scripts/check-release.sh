#!/usr/bin/env bash
# Builds the release zip of build/windows and checks it: it holds exactly the program and the two
# guides, its program is build/windows/orvane_config.exe byte for byte, and its .sha256 file is
# right. Then builds the program and the zip again from a copy of the sources in another folder and
# checks that both come out byte-identical. The copy lies on another kind of filesystem (a tmpfs,
# where the sources are on disk), which lists a folder's files in another order, as Debian's
# reproducible-builds tests vary it. Run after the windows preset has been built.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)
export SOURCE_DATE_EPOCH

# Stages and zips an already built program: no rebuild of the tests that the package target
# would build first.
package() {
    (cd "$1" && cpack --config CPackConfig.cmake >/dev/null)
    ls "$1"/release/orvane_config-*-win32.zip
}

cmake --preset windows >/dev/null
cmake --build --preset windows --target orvane_config >/dev/null
zip=$(package build/windows)
python3 - "$zip" build/windows/orvane_config.exe <<'PY'
import hashlib, sys, zipfile
zip_path, exe_path = sys.argv[1:]
expected = ["orvane_config.exe", "README-zh-TW.txt", "README-en.txt"]
with zipfile.ZipFile(zip_path) as archive:
    names = archive.namelist()
    if names != expected:
        sys.exit(f"{zip_path} holds {names}, not {expected} in that order")
    if archive.read("orvane_config.exe") != open(exe_path, "rb").read():
        sys.exit(f"the program in {zip_path} is not {exe_path}")
    for guide in ("README-zh-TW.txt", "README-en.txt"):
        text = archive.read(guide)
        if not text.startswith(b"\xef\xbb\xbf") or b"\n" in text.replace(b"\r\n", b""):
            sys.exit(f"{guide} is not UTF-8 with a BOM and CRLF line ends")
digest = hashlib.sha256(open(zip_path, "rb").read()).hexdigest()
listed = open(zip_path + ".sha256").read().split()[0]
if listed != digest:
    sys.exit(f"{zip_path}.sha256 says {listed}, the zip's SHA-256 is {digest}")
print(f"{zip_path}: {names}, SHA-256 {digest}")
PY

other_kind=/dev/shm
[ "$(stat -f -c %T .)" = tmpfs ] && other_kind=/var/tmp
elsewhere=$(mktemp -d "$other_kind/orvane-second-build.XXXXXX")
echo "second build in $elsewhere ($(stat -f -c %T "$elsewhere"); the sources: $(stat -f -c %T .))"
trap 'rm -rf "$elsewhere"' EXIT
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$elsewhere"
(cd "$elsewhere" && cmake --preset windows >/dev/null &&
    cmake --build --preset windows --target orvane_config >/dev/null)
second_zip=$(package "$elsewhere/build/windows")
status=0
for pair in "build/windows/orvane_config.exe $elsewhere/build/windows/orvane_config.exe" "$zip $second_zip"; do
    set -- $pair
    first_sum=$(sha256sum <"$1" | cut -d' ' -f1)
    second_sum=$(sha256sum <"$2" | cut -d' ' -f1)
    echo "$(basename "$1"): $first_sum here, $second_sum in $elsewhere"
    if [ "$first_sum" != "$second_sum" ]; then
        echo "FAILED: two builds of the same sources differ: $1" >&2
        status=1
    fi
done
[ $status -eq 0 ] && echo "Release zip and program: the same bytes from both builds"
exit $status

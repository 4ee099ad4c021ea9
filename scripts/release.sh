#!/usr/bin/env bash
# Builds huepeek.exe from the checked-out sources in a build folder of its own and writes the release:
#   dist/huepeek-<version>-x64.zip   huepeek.exe and README.txt (this README as text, CR LF)
#   dist/SHA256SUMS                  the SHA-256 of the zip and of huepeek.exe, for sha256sum -c
# Two builds of one commit give the same huepeek.exe, byte for byte, in any folder: the exe's time
# stamp is the commit's time (cmake/windows.cmake), and nothing else in it depends on the folder or
# the clock. The zip's entries carry the commit's time too.
#   scripts/release.sh [--build DIR] [--dist DIR]     (defaults: build/release and dist)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build/release"
dist="$root/dist"
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build="$2"; shift 2 ;;
        --dist) dist="$2"; shift 2 ;;
        *) echo "usage: scripts/release.sh [--build DIR] [--dist DIR]" >&2; exit 2 ;;
    esac
done
mkdir -p "$build" "$dist"
build="$(cd "$build" && pwd)"
dist="$(cd "$dist" && pwd)"
"$root/scripts/setup.sh"

# A compiler cache keyed without the folder could hand this build objects compiled elsewhere and hide
# a difference between two builds.
export CCACHE_DISABLE=1
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
cmake -S "$root" -B "$build" --toolchain "$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
if ! cmake --build "$build" --target huepeek -j "$(nproc 2>/dev/null || echo 2)" >"$build/release-build.log" 2>&1; then
    cat "$build/release-build.log" >&2
    echo "release: the build failed" >&2
    exit 1
fi
exe="$build/bin/huepeek.exe"

version="$(sed -n 's/^project(Huepeek VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
zip="huepeek-$version-x64.zip"
rm -f "$dist/$zip" "$dist/SHA256SUMS"
python3 - "$exe" "$root/README.md" "$dist/$zip" <<'PYTHON'
import struct, sys, time, zipfile
exe, readme, out = sys.argv[1:4]
with open(readme, "rb") as f:
    text = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
with open(exe, "rb") as f:
    program = f.read()
# The entries' time is the exe's own time stamp (the commit's time); zip times start in 1980.
pe = struct.unpack_from("<I", program, 0x3C)[0]
stamp = time.gmtime(max(struct.unpack_from("<I", program, pe + 8)[0], 315532800))[:6]
with zipfile.ZipFile(out, "w") as archive:
    for name, data in (("huepeek.exe", program), ("README.txt", text)):
        entry = zipfile.ZipInfo(name, stamp)
        entry.compress_type = zipfile.ZIP_DEFLATED
        entry.create_system = 0  # MS-DOS: no Unix modes, as Windows' own zips
        archive.writestr(entry, data, compresslevel=9)
PYTHON
(cd "$dist" && sha256sum "$zip" > SHA256SUMS && (cd "$(dirname "$exe")" && sha256sum huepeek.exe) >> SHA256SUMS)
echo "release: $dist/$zip"
cat "$dist/SHA256SUMS"

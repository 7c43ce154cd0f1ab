#!/usr/bin/env bash
# test.sh: builds everything and runs every test: the portable core natively
# (plain and with AddressSanitizer/UBSan), the fuzzers briefly, and the Windows
# client with its tests and the end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

bash scripts/setup.sh

status=0
step() { echo; echo "=== $*"; }

step "house style of the C++ files"
# Every tracked C++ file must read as clang-format-14 writes it with the root
# .clang-format; a difference is reported with its place and fails the run.
if git rev-parse --git-dir >/dev/null 2>&1; then
    if ! git ls-files -z '*.cpp' '*.h' | xargs -0 -r clang-format-14 --dry-run --Werror; then
        echo "format differs: run clang-format-14 -i on the files above"
        status=1
    fi
else
    echo "not a git checkout; format not checked"
fi

step "native build and unit tests"
cmake -S . -B build/native -G Ninja -DMJ_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/native -j "$jobs"
ctest --test-dir build/native --output-on-failure -j "$jobs" || status=1

step "native unit tests under AddressSanitizer and UBSan"
cmake -S . -B build/asan -G Ninja -DMJ_WERROR=ON -DMJ_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
ninja -C build/asan -j "$jobs"
ctest --test-dir build/asan --output-on-failure -j "$jobs" -LE 'slow' || status=1

step "fuzzers, briefly"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMJ_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build/fuzz -j "$jobs"
if ctest --test-dir build/fuzz -N -L fuzz | grep -q 'Total Tests: [1-9]'; then
    ctest --test-dir build/fuzz --output-on-failure -L fuzz || status=1
else
    echo "no fuzz targets"
fi

step "Windows build"
cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DMJ_WERROR=ON \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build/win -j "$jobs"

step "Windows tests and end-to-end tests under Wine"
# shellcheck source=scripts/wine-env.sh
. scripts/wine-env.sh build/win
# One Wine process at a time: several processes opening the sound device of a
# new prefix at once were seen to fail.
ctest --test-dir build/win --output-on-failure || status=1
mj_wine_stop
# Screenshots drawn as bitmaps are kept as PNGs beside them, to be looked at.
for f in build/win/art/*.bmp; do
    [ -f "$f" ] && /usr/bin/convert "$f" "${f%.bmp}.png" || true
done
echo "screenshots: build/win/shots/*.png build/win/art/*.png build/win/e2e/*/*.png"

echo
if [ $status -eq 0 ]; then echo "test.sh: all tests passed"; else echo "test.sh: FAILURES"; fi
exit $status

#!/usr/bin/env bash
# Builds everything and runs every test: the native build, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the 32-bit Windows
# cross build, and the Windows program end to end under Wine with real sound
# devices (its screenshots and figures stay in out/wine-e2e/).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --wine

jobs=2
cmake --preset native
cmake --build --preset native -j"$jobs"
ctest --preset native

cmake --preset sanitize
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize

cmake --preset windows
cmake --build --preset windows -j"$jobs"
echo "Windows build: $(ls build/windows/bin/*.exe | tr '\n' ' ')"

tests/wine/run.sh --exe build/windows/bin/zimbalo.exe --tools build/native/bin --out out/wine-e2e

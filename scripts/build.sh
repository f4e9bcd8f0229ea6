#!/usr/bin/env bash
# Configures and builds one build directory under build/.
#   scripts/build.sh release     Release build in build/release
#   scripts/build.sh asan        Debug build with AddressSanitizer and UBSan in build/asan
#   scripts/build.sh tsan        ThreadSanitizer build of the core and its engine tests in
#                                build/tsan (no window program, no Qt)
set -euo pipefail
cd "$(dirname "$0")/.."

art=${1:-release}
case "$art" in
  release) optionen=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) optionen=(-DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON) ;;
  tsan) optionen=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_TSAN=ON -DVELKOR_GUI=OFF) ;;
  *)
    echo "usage: scripts/build.sh [release|asan|tsan]" >&2
    exit 2
    ;;
esac

cmake -S . -B "build/$art" -G Ninja "${optionen[@]}"
if [ "$art" = tsan ]; then
  cmake --build "build/$art" -j2 --target test_engine
else
  cmake --build "build/$art" -j2
fi

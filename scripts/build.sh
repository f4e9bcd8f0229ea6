#!/usr/bin/env bash
# Configures and builds one build directory under build/.
#   scripts/build.sh release     Release build in build/release
#   scripts/build.sh asan        Debug build with AddressSanitizer and UBSan in build/asan
set -euo pipefail
cd "$(dirname "$0")/.."

art=${1:-release}
case "$art" in
  release) optionen=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan) optionen=(-DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON) ;;
  *)
    echo "usage: scripts/build.sh [release|asan]" >&2
    exit 2
    ;;
esac

cmake -S . -B "build/$art" -G Ninja "${optionen[@]}"
cmake --build "build/$art" -j2

#!/usr/bin/env bash
# Builds and runs all tests twice: a Release build (build/release) and a Debug
# build with AddressSanitizer and UndefinedBehaviorSanitizer (build/asan);
# then the engine tests, which run the time step on several threads, with
# ThreadSanitizer (build/tsan).
set -euo pipefail
cd "$(dirname "$0")/.."

# Leaks inside the system's font and GUI libraries are not ours.
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Tests never need a display.
export QT_QPA_PLATFORM=offscreen

# Both builds run their tests even when the first one has failures.
fehlgeschlagen=()
for art in release asan; do
  echo "=== $art build"
  scripts/build.sh "$art"
  echo "=== $art tests"
  if ! ctest --test-dir "build/$art" --output-on-failure; then
    fehlgeschlagen+=("$art")
  fi
done
echo "=== tsan build"
scripts/build.sh tsan
echo "=== tsan engine tests"
# Without address randomisation: ThreadSanitizer's fixed memory layout does
# not fit every kernel's randomised mappings.
if ! TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1" setarch "$(uname -m)" -R \
  build/tsan/tests/test_engine --gtest_brief=1; then
  fehlgeschlagen+=(tsan)
fi
if [ ${#fehlgeschlagen[@]} -ne 0 ]; then
  echo "=== tests failed in: ${fehlgeschlagen[*]}"
  exit 1
fi
echo "=== all tests passed"

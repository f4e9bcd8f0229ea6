#!/usr/bin/env bash
# Builds velkor (Release) and opens the window program on the learning example
# (cell view; space bar: one time step, "u": run to the next stop mark,
# "q": end). Where no display is reachable, runs the same example with
# velkor-batch instead. The output files land in build/example-run/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh release
beispiele=$PWD/examples
mkdir -p build/example-run
cd build/example-run

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Starting the window: space = one time step, u = run to the next stop mark, q = end."
  exec ../release/velkor "Lernen" "$beispiele/lernen.net" "$beispiele/lernen.ein" V
fi

echo "No display reachable (neither DISPLAY nor WAYLAND_DISPLAY is set):"
echo "running the example with velkor-batch instead of the window."
echo
../release/velkor-batch --state --log --stats "Lernen" "$beispiele/lernen.net" "$beispiele/lernen.ein" c
echo
echo "Files in $PWD:"
ls -l
echo
echo "--- zustand.txt (the learned net) ---"
cat zustand.txt

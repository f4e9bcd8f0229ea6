#!/usr/bin/env bash
# Builds velkor (Release) and runs the learning example without a window.
# The output files land in build/example-run/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh release
beispiele=$PWD/examples
mkdir -p build/example-run
cd build/example-run
../release/velkor-batch --state --log --stats "Lernen" "$beispiele/lernen.net" "$beispiele/lernen.ein" c
echo
echo "Files in $PWD:"
ls -l
echo
echo "--- zustand.txt (the learned net) ---"
cat zustand.txt

#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer.
#   fuzz/build.sh [OUTDIR]      default: build/fuzz
# The core sources are compiled once into objects; each target in
# fuzz/targets/*.cpp is linked against them as OUTDIR/<target>.
set -euo pipefail
cd "$(dirname "$0")/.."

aus=${1:-build/fuzz}
cxx=${CXX_FUZZ:-clang++}
flags=(-std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=undefined
  -I. -Wall -Wextra)

mkdir -p "$aus/obj"
quellen=(net/*.cpp engine/*.cpp display/*.cpp lauf/*.cpp app/dialogs/umrechnen.cpp)

# Objects of the core, rebuilt when the source or a header is newer.
objekte=()
neuer_header=$(find net engine display lauf app -maxdepth 2 -name '*.h' -newer "$aus/obj/.stand" 2>/dev/null | head -1 || true)
[ -e "$aus/obj/.stand" ] || neuer_header=ja
# Two compilers at a time; a failed compile stops the script.
laufend=()
for q in "${quellen[@]}"; do
  o="$aus/obj/$(echo "$q" | tr / _).o"
  objekte+=("$o")
  if [ -n "$neuer_header" ] || [ ! -e "$o" ] || [ "$q" -nt "$o" ]; then
    if [ ${#laufend[@]} -ge 2 ]; then
      wait "${laufend[0]}"
      laufend=("${laufend[@]:1}")
    fi
    rm -f "$o"
    "$cxx" "${flags[@]}" -fsanitize=fuzzer-no-link -c "$q" -o "$o" &
    laufend+=($!)
  fi
done
for pid in "${laufend[@]}"; do wait "$pid"; done
touch "$aus/obj/.stand"

for t in fuzz/targets/*.cpp; do
  name=$(basename "$t" .cpp)
  "$cxx" "${flags[@]}" -fsanitize=fuzzer "$t" "${objekte[@]}" -lzstd -o "$aus/$name"
  echo "fuzz: built $aus/$name"
done

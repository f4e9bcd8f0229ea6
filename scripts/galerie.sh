#!/usr/bin/env bash
# Renders every view of the bundled examples with velkor-batch into
# examples/galerie/*.png. Usage: scripts/galerie.sh [path of velkor-batch]
set -euo pipefail
cd "$(dirname "$0")/.."
batch=${1:-build/release/velkor-batch}
[ -x "$batch" ] || { echo "velkor-batch not found at $batch (build first: scripts/build.sh release)" >&2; exit 1; }
batch=$(realpath "$batch")
ziel=$PWD/examples/galerie
mkdir -p "$ziel"
arbeit=$(mktemp -d)
trap 'rm -rf "$arbeit"' EXIT
cp examples/*.net examples/*.ein examples/*.nec "$arbeit"/
cd "$arbeit"

# name, runs, then the parameters of the window program
bild() {
  local name=$1 laeufe=$2
  shift 2
  "$batch" --runs "$laeufe" --picture --png "$ziel/$name.png" --size 1032x768 "$@" > /dev/null
  echo "$name.png"
}

bild zellansicht-variabel 1 "Lernen" lernen.net lernen.ein V
bild zellansicht-konstant 2 "Lernen" lernen.net lernen.ein v
bild oszilloskop-mit-epsps 2 "Lernen" lernen.net lernen.ein G
bild oszilloskop-ohne-epsps 2 "Lernen" lernen.net lernen.ein g
bild numerisch 1 "Lernen" lernen.net lernen.ein
bild feuernde-zellen 2 "Lernen" lernen.net lernen.ein k
bild komprimiert 1 "Gross" gross.net gross.ein m 4

#!/usr/bin/env bash
# Installs what building and testing velkor needs on Debian (Qt 6, GoogleTest,
# CMake, Ninja, a font for the pictures, Open MPI; clang with its libFuzzer and sanitizer
# runtimes for the fuzz targets). Packages already present are not
# installed again. Run as root, or as a user who may use sudo.
set -euo pipefail

pakete=(build-essential cmake ninja-build qt6-base-dev libgtest-dev fonts-dejavu-core clang libclang-rt-14-dev)
# Qt's own German texts: the file dialog and the message boxes of the window
pakete+=(qt6-translations-l10n)
# dpkg-shlibdeps, with which `cpack -G DEB` finds the package's dependencies
pakete+=(dpkg-dev)
# The Python module, its tests and examples.
pakete+=(pybind11-dev python3-dev python3-numpy python3-pytest python3-matplotlib)
# pip install . into a virtual environment, offline: pip, venv and the build backend
pakete+=(python3-pip python3-venv python3-setuptools python3-wheel)
# The optional data out (to_neo, to_pandas) and the notebook run by the tests
pakete+=(python3-neo python3-pandas python3-nbconvert python3-ipykernel)
# Compression of the checkpoints of the history
pakete+=(libzstd-dev)
# velkor-batch-mpi and its tests: Open MPI; mpirun looks for ssh even on one machine
pakete+=(libopenmpi-dev openmpi-bin openssh-client)

fehlend=()
for p in "${pakete[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    fehlend+=("$p")
  fi
done

if [ ${#fehlend[@]} -eq 0 ]; then
  echo "setup: all packages are installed"
  exit 0
fi

als_root=()
if [ "$(id -u)" -ne 0 ]; then
  als_root=(sudo)
fi

echo "setup: installing ${fehlend[*]}"
export DEBIAN_FRONTEND=noninteractive
"${als_root[@]}" apt-get update
"${als_root[@]}" apt-get install -y --no-install-recommends "${fehlend[@]}"

"""pip install . / pip wheel .: the package velkor from python/velkor, its
extension velkor._velkor built by the project's own CMake build against the
interpreter that runs pip. The metadata stand in pyproject.toml; the version
is the one in CMakeLists.txt.

Environment:
  VELKOR_CMAKE_BUILD  a configured CMake build folder of this source tree (for
                      this interpreter) whose module is taken instead of a
                      build of its own, e.g. build/release
  VELKOR_CMAKE_ARGS   more arguments for the CMake configuration, e.g.
                      "-DVELKOR_GUI=ON" for picture() (needs Qt 6)
"""

import hashlib
import os
import re
import shlex
import shutil
import subprocess
import sys
import sysconfig
from pathlib import Path

HIER = Path(__file__).resolve().parent


def version():
    text = (HIER / "CMakeLists.txt").read_text(encoding="utf-8")
    return re.search(r"project\(velkor VERSION ([0-9.]+)", text).group(1)


def pybind11_ordner():
    """pybind11's CMake files: from the Python package pybind11 where pip installed it
    (with build isolation), else CMake finds Debian's (pybind11-dev)."""
    try:
        import pybind11
        return pybind11.get_cmake_dir()
    except ImportError:
        return None


def was_fehlt(include, finde=shutil.which, cmake_orte=("/usr/lib/cmake", "/usr/share/cmake", "/usr/local/lib/cmake")):
    """The missing pieces of a build, each with what to install."""
    fehlt = []
    python = f"python{sys.version_info.major}.{sys.version_info.minor}"
    if not (Path(include) / "Python.h").is_file():
        fehlt.append(f"the C headers of this Python ({sys.executable}; no Python.h in {include}): "
                     f"for Debian's python3 `apt install python3-dev` ({python}-dev); "
                     "pyenv, conda and uv interpreters bring them in their own installation")
    compiler = os.environ.get("CXX") or "c++"
    if not finde(compiler.split()[0]):
        fehlt.append(f"a C++20 compiler ({compiler} not found): `apt install g++` or `apt install build-essential`")
    if not finde("cmake"):
        fehlt.append("CMake 3.22 or newer: `apt install cmake`")
    if not finde("ninja") and not finde("make"):
        fehlt.append("a build tool: `apt install ninja-build`")
    if pybind11_ordner() is None and not any(Path(o, "pybind11").is_dir() for o in cmake_orte):
        fehlt.append("pybind11: `apt install pybind11-dev`")
    return fehlt


def ausfuehren(befehl):
    print("velkor:", " ".join(shlex.quote(str(w)) for w in befehl), flush=True)
    subprocess.run(befehl, check=True)


def cmake_bauen(bau):
    """Configures (once) and builds the module in `bau`; returns the file built."""
    endung = sysconfig.get_config_var("EXT_SUFFIX")
    if not os.environ.get("VELKOR_CMAKE_BUILD"):
        args = ["cmake", "-S", HIER, "-B", bau, "-DCMAKE_BUILD_TYPE=Release", "-DVELKOR_TESTS=OFF",
                "-DVELKOR_GUI=OFF", "-DVELKOR_PYTHON=ON", f"-DPython3_EXECUTABLE={sys.executable}"]
        if shutil.which("ninja") and not (bau / "CMakeCache.txt").exists():
            args += ["-G", "Ninja"]
        if pybind11_ordner():
            args.append(f"-Dpybind11_DIR={pybind11_ordner()}")
        ausfuehren(args + shlex.split(os.environ.get("VELKOR_CMAKE_ARGS", "")))
    kerne = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 2)
    ausfuehren(["cmake", "--build", bau, "--target", "_velkor", "-j", kerne])
    datei = bau / "python" / "velkor" / f"_velkor{endung}"
    if not datei.is_file():
        sys.exit(f"velkor: {datei} was not built: the CMake build in {bau} is not for this Python "
                 f"({sys.executable}, {endung})")
    return datei


def main():
    from setuptools import Extension, setup
    from setuptools.command.build_ext import build_ext

    class CMakeBau(build_ext):
        def build_extension(self, ext):
            fehlt = was_fehlt(sysconfig.get_paths()["include"])
            if fehlt:
                sys.exit("velkor cannot be built here; missing:\n  - " + "\n  - ".join(fehlt))
            fertig = os.environ.get("VELKOR_CMAKE_BUILD")
            # one build folder per Python installation: its virtual environments share it
            eigen = "cmake-" + hashlib.sha1(sysconfig.get_paths()["include"].encode()).hexdigest()[:8]
            bau = Path(fertig).resolve() if fertig else Path(self.build_temp).resolve() / eigen
            ziel = Path(self.get_ext_fullpath(ext.name))
            ziel.parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile(cmake_bauen(bau), ziel)

    setup(version=version(), ext_modules=[Extension("velkor._velkor", sources=[])], cmdclass={"build_ext": CMakeBau})


if __name__ == "__main__":
    main()

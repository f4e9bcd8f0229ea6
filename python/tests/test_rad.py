"""The wheel: built by pip from this source tree (pip wheel, and pip install in a
fresh virtual environment, offline, as the README shows), imported there outside
the tree, and the README's example run. The extension comes from the CMake
build under test (VELKOR_CMAKE_BUILD)."""

import importlib.util
import os
import pathlib
import re
import subprocess
import sys
import venv
import zipfile

import pytest

from conftest import BATCH, BEISPIELE

QUELLE = pathlib.Path(__file__).resolve().parents[2]
BAU = os.environ.get("VELKOR_CMAKE_BUILD", "")


def pip(*args, env=None):
    return subprocess.run([sys.executable, "-m", "pip", "--disable-pip-version-check", "--no-input", *args],
                          capture_output=True, text=True, env=env)


def readme_beispiel():
    """The Python lines of the README's first example that is fed to an interpreter."""
    text = (QUELLE / "README.md").read_text(encoding="utf-8")
    block = re.search(r"python[^\n]* - <<'END'\n(.*?)\n +END\n", text, re.S).group(1)
    return "\n".join(zeile[4:] for zeile in block.splitlines())


@pytest.fixture(scope="module")
def rad(tmp_path_factory):
    if not BAU:
        pytest.skip("VELKOR_CMAKE_BUILD names no CMake build (run the tests through ctest)")
    ziel = tmp_path_factory.mktemp("rad")
    env = dict(os.environ, PIP_NO_INDEX="1")
    lauf = pip("wheel", "--no-build-isolation", "--no-deps", "-w", str(ziel), str(QUELLE), env=env)
    assert lauf.returncode == 0, lauf.stdout + lauf.stderr
    (datei,) = ziel.glob("velkor-*.whl")
    return datei


def test_das_rad_traegt_die_metadaten_und_die_version_der_programme(rad):
    version = subprocess.run([BATCH, "--version"], capture_output=True, text=True).stdout.split()[1]
    with zipfile.ZipFile(rad) as z:
        namen = z.namelist()
        meta = z.read(f"velkor-{version}.dist-info/METADATA").decode()
    assert any(re.fullmatch(r"velkor/_velkor\.cpython-.*\.so", n) for n in namen)
    assert {"velkor/__init__.py", "velkor/ausgabe.py", "velkor/haltepunkte.py", "velkor/netz.py",
            "velkor/zeitreise.py", "velkor/erklaerung.py"} <= set(namen)
    kopf = dict(re.findall(r"^([\w-]+): (.*)$", meta.split("\n\n")[0], re.M))
    assert kopf["Name"] == "velkor" and kopf["Version"] == version
    assert kopf["Requires-Python"].startswith(">=3") and "License" in kopf and "spiking" in kopf["Summary"]
    assert "Requires-Dist: numpy" in meta


def test_frisch_installiert_laeuft_das_beispiel_des_readme(tmp_path):
    if not BAU:
        pytest.skip("VELKOR_CMAKE_BUILD names no CMake build (run the tests through ctest)")
    umgebung = tmp_path / "umgebung"
    venv.create(umgebung, system_site_packages=True, with_pip=True)
    python = umgebung / "bin" / "python"
    lauf = subprocess.run([umgebung / "bin" / "pip", "install", "--no-build-isolation", "--no-index", QUELLE],
                          capture_output=True, text=True)
    assert lauf.returncode == 0, lauf.stdout + lauf.stderr
    arbeit = tmp_path / "arbeit"
    (arbeit / "examples").mkdir(parents=True)
    for name in ("lernen.net", "lernen.ein"):
        (arbeit / "examples" / name).write_bytes((BEISPIELE / name).read_bytes())
    rein = dict(os.environ)
    rein.pop("PYTHONPATH", None)
    ort = subprocess.run([python, "-c", "import velkor; print(velkor.__file__, velkor.__version__)"], cwd=arbeit,
                         env=rein, capture_output=True, text=True, check=True).stdout.split()
    assert ort[0].startswith(str(umgebung)) and ort[1] == subprocess.run(
        [BATCH, "--version"], capture_output=True, text=True).stdout.split()[1]
    beispiel = subprocess.run([python, "-"], input=readme_beispiel(), cwd=arbeit, env=rein, capture_output=True,
                              text=True)
    assert beispiel.returncode == 0, beispiel.stderr
    assert (arbeit / "mein-zustand.txt").is_file()


def test_ohne_compiler_oder_header_sagt_der_bau_was_fehlt(tmp_path):
    env = dict(os.environ, CXX="/kein/compiler", PIP_NO_INDEX="1", VELKOR_CMAKE_BUILD="")
    lauf = pip("wheel", "--no-build-isolation", "--no-deps", "-w", str(tmp_path), str(QUELLE), env=env)
    assert lauf.returncode != 0 and "apt install g++" in lauf.stdout + lauf.stderr
    modulbeschreibung = importlib.util.spec_from_file_location("velkor_setup", QUELLE / "setup.py")
    setup = importlib.util.module_from_spec(modulbeschreibung)
    modulbeschreibung.loader.exec_module(setup)
    alles = setup.was_fehlt(tmp_path, finde=lambda name: None, cmake_orte=())
    assert "apt install python3-dev" in alles[0] and str(tmp_path) in alles[0]
    if setup.pybind11_ordner() is None:
        assert "pybind11-dev" in alles[-1]
    assert len(setup.was_fehlt(tmp_path, finde=lambda name: "/usr/bin/" + name)) == 1

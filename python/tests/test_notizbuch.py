"""The notebook of examples/python runs through without an error cell."""

import json
import os
import pathlib
import subprocess
import sys

import pytest

from conftest import BEISPIELE

NOTIZBUCH = pathlib.Path(__file__).resolve().parents[2] / "examples" / "python" / "einfuehrung.ipynb"


def test_die_einfuehrung_laeuft_ohne_fehlerzelle(tmp_path):
    pytest.importorskip("nbconvert")
    pytest.importorskip("ipykernel")
    roh = json.loads(NOTIZBUCH.read_text(encoding="utf-8"))
    assert all(not z.get("outputs") and z.get("execution_count") is None for z in roh["cells"]), \
        "the notebook is committed without outputs"
    env = dict(os.environ, VELKOR_BEISPIELE=str(BEISPIELE), PYDEVD_DISABLE_FILE_VALIDATION="1")
    lauf = subprocess.run([sys.executable, "-m", "nbconvert", "--to", "notebook", "--execute", "--output-dir",
                           str(tmp_path), str(NOTIZBUCH)], cwd=NOTIZBUCH.parent, env=env, capture_output=True,
                          text=True)
    assert lauf.returncode == 0, lauf.stderr[-3000:]
    zellen = json.loads((tmp_path / NOTIZBUCH.name).read_text(encoding="utf-8"))["cells"]
    ausgaben = [a for z in zellen if z["cell_type"] == "code" for a in z["outputs"]]
    assert not [a for a in ausgaben if a["output_type"] == "error"]
    assert sum("image/png" in a.get("data", {}) for a in ausgaben) == 3

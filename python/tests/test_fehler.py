"""Bad input gives an exception, never an exit or a crash, and leaves the
interpreter usable; nothing is written unless asked."""

import os

import pytest

import velkor
from conftest import BEISPIELE

GESUND = "z A\ns 1.0\na 0.5\nr 1\nc B 2.0 1\nz B\ns 1.0\na 0.5\nr 1\n"

# net file bytes -> what loading them gives (None: loads and runs)
NETZDATEIEN = [
    (b"\x7fELF\x02\x01\x01\x00" + bytes(range(256)), velkor.FormatError),  # binary
    (b"", None),                                                           # empty
    (b"{ only a comment\n\n   \n", None),
    (GESUND.encode().replace(b"z B", b"z B " + b"9" * 100000), None),      # a line of 100 000 characters
    (GESUND.encode().rstrip(b"\n"), None),                                 # no line end at the end
    (GESUND.encode().replace(b"\n", b"\r\n"), None),                       # CR LF
    (b"\xef\xbb\xbf" + GESUND.encode(), None),                             # byte order mark
    (b"\x00z A\n", velkor.FormatError),                                    # NUL as first character
    (b"z A\nB\n", velkor.FormatError),                                     # upper-case first character
    (b"z A\n\tc A 1 1\n", velkor.FormatError),                             # tab
    (b"$ 3\nz A\nz B\n", velkor.NetError),                                 # numbered: header count wrong
    (b"$\nz A\n", velkor.NetError),                                        # numbered: header missing
    (b"$ -1\nz A\n", velkor.NetError),                                     # numbered: negative
    (b"$ 1\nz A\nc 1 1.0 1\n", velkor.NetError),                           # target number outside
    (b"z A\nc X 1.0 1\n", velkor.NetError),                                # missing cell by name
    (b"z A\ns nan\na inf\nr 1e999\nc A 1e999 x\n", None),                  # malformed numbers
]

EINGABEDATEIEN = [
    bytes(range(256)) * 4,          # binary
    b"",                            # empty
    b" comment only\n",
    b"A 3 " + b"B" * 100000 + b" 4\n",  # a long line
    b"A 1\nA 3",                    # no line end at the end
    b"A 1\r\nA 3\r\n",
    b"\xef\xbb\xbfA 1\n",
    b"A\x00 1\nA nan\n",
]


def test_schlechte_dateien_lassen_den_interpreter_benutzbar(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    for i, (inhalt, fehler) in enumerate(NETZDATEIEN):
        netz = tmp_path / f"n{i}.net"
        netz.write_bytes(inhalt)
        if fehler is None:
            velkor.Simulation(netz).step(3)
        else:
            with pytest.raises(fehler) as info:
                velkor.Simulation(netz)
            if fehler is velkor.NetError:
                assert info.value.protocol, inhalt
            else:
                assert "Schwerer Netzdateifehler" in str(info.value)
    for i, inhalt in enumerate(EINGABEDATEIEN):
        (tmp_path / f"e{i}.ein").write_bytes(inhalt)
        sim = velkor.Simulation.from_text(GESUND, inhalt.decode("latin-1"))
        sim.run()
        velkor.Simulation(BEISPIELE / "lernen.net", tmp_path / f"e{i}.ein").run()
    # Files that cannot be opened: the exception names the file.
    (tmp_path / "ordner").mkdir()
    for name, art in [("fehlt.net", FileNotFoundError), ("ordner", IsADirectoryError)]:
        with pytest.raises(art) as info:
            velkor.Simulation(tmp_path / name)
        assert info.value.filename == str(tmp_path / name)
        with pytest.raises(art):
            velkor.Simulation(BEISPIELE / "lernen.net", tmp_path / name)
    if os.geteuid() != 0:  # root reads every file
        gesperrt = tmp_path / "gesperrt.net"
        gesperrt.write_text(GESUND)
        gesperrt.chmod(0)
        with pytest.raises(PermissionError):
            velkor.Simulation(gesperrt)
    # Nothing was written but the files of the test.
    assert not [p for p in tmp_path.iterdir() if p.suffix not in (".net", ".ein") and p.name != "ordner"]
    sim = velkor.Simulation(BEISPIELE / "lernen.net", BEISPIELE / "lernen.ein")
    assert sim.run() == 75


def test_netzfehler_traegt_das_protokoll_und_schreibt_es_nur_auf_wunsch(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    text = "z A\nc X 1.0 1\nc Y 2.0 1\nz B\n"
    with pytest.raises(velkor.NetError) as info:
        velkor.Simulation.from_text(text)
    protokoll = [">c X 1.0 1", "****Zelle fehlt****", ">c Y 2.0 1", "****Zelle fehlt****"]
    assert info.value.protocol == protokoll
    assert list(tmp_path.iterdir()) == []
    with pytest.raises(velkor.NetError):
        velkor.Simulation.from_text(text, protocol_dir=tmp_path)
    assert (tmp_path / "protok.txt").read_text() == "\n".join(protokoll) + "\n"
    velkor.Simulation.from_text(GESUND, protocol_dir=tmp_path)
    assert (tmp_path / "protok.txt").read_bytes() == b""


@pytest.mark.parametrize("aufruf,fehler", [
    (lambda: velkor.Simulation(12), TypeError),
    (lambda: velkor.Simulation("lernen\0.net"), ValueError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", 3.5), TypeError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", modes=7), TypeError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", seed=-1), ValueError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", seed=2**64), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).cell_index(2), ValueError),
    (lambda: velkor.Net().add_cell("\u00e4\u00f6\u00fc\u00e4"), ValueError),  # 4 characters, 8 bytes
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", seed="1"), TypeError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", display=(199, 300)), ValueError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", display=(300, 10001)), ValueError),
    (lambda: velkor.Simulation(BEISPIELE / "lernen.net", display=5), TypeError),
    (lambda: velkor.Simulation.from_text(b"z A\n"), TypeError),
    (lambda: velkor.Simulation.from_text(GESUND).step(-1), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).cells("gewicht"), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).connections("ziel"), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).set_connections("source", 1), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).set_cells("potential", [1, 2, 3]), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).set_cells("potential", "x"), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).set_connections("weight", 1, index=1), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).excite(2), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).excite(-1), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).excite("C"), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).excite(1.0), TypeError),
    (lambda: velkor.Simulation.from_text(GESUND).record([0], "gewicht"), ValueError),
    (lambda: velkor.Simulation.from_text(GESUND).save_state("/nonexistent/zustand.txt"), OSError),
])
def test_falsche_argumente(aufruf, fehler):
    with pytest.raises(fehler):
        aufruf()

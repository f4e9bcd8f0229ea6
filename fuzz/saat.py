#!/usr/bin/env python3
"""Builds the seed corpus fuzz/corpus/<target>/ from the examples and from the
net and input texts written inline in the tests (adjacent C++ string literals
that hold a line end). Run it again after adding examples or tests; the files
are named after a hash of their content, so existing seeds stay as they are."""

import hashlib
import pathlib
import re

WURZEL = pathlib.Path(__file__).resolve().parent.parent
KORPUS = WURZEL / "fuzz" / "corpus"
HOECHSTLAENGE = 4096  # the targets run with -max_len=4096

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ZWISCHEN = re.compile(r"^(\s|//[^\n]*\n)*$")
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "0": "\0", "\\": "\\", '"': '"', "'": "'"}


def entschluesseln(s):
    aus, i = [], 0
    while i < len(s):
        if s[i] == "\\" and i + 1 < len(s):
            if s[i + 1] == "x":
                m = re.match(r"[0-9a-fA-F]{1,2}", s[i + 2 :])
                aus.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            aus.append(ESCAPES.get(s[i + 1], s[i + 1]))
            i += 2
        else:
            aus.append(s[i])
            i += 1
    return "".join(aus).encode("latin-1", "replace")


def texte(datei):
    """Adjacent string literals joined, as the compiler joins them."""
    quelle = datei.read_text(encoding="utf-8", errors="replace")
    if 'R"' in quelle:
        quelle = re.sub(r'R"\((.*?)\)"', lambda m: '"' + m.group(1).replace("\n", "\\n") + '"', quelle, flags=re.S)
    gruppe, ende = [], None
    for m in LITERAL.finditer(quelle):
        if ende is not None and ZWISCHEN.match(quelle[ende : m.start()]):
            gruppe.append(m.group(1))
        else:
            if gruppe:
                yield entschluesseln("".join(gruppe))
            gruppe = [m.group(1)]
        ende = m.end()
    if gruppe:
        yield entschluesseln("".join(gruppe))


def ablegen(ziel, inhalt):
    inhalt = inhalt[:HOECHSTLAENGE]
    if not inhalt:
        return
    ordner = KORPUS / ziel
    ordner.mkdir(parents=True, exist_ok=True)
    (ordner / hashlib.sha1(inhalt).hexdigest()[:16]).write_bytes(inhalt)


def ist_netz(t):
    zeilen = t.split(b"\n")
    return len(zeilen) > 1 and any(z.startswith(b"z") for z in zeilen)


# Command lines (parameters separated by NUL bytes), token lines (the first
# byte picks the operations) and dialog texts from the documented cases.
KOMMANDOZEILEN = [
    ["Lernen A", "n.net", "d.ein", "P", "98", "d", "20", "c", "Z", "10", "G"],
    ["Lernen_B", "netz.net", "daten.ein", "p", "97", "c", "V", "x", "10", "y", "5"],
    ["t", "n", "e", "R", "5", "g"],
    ["t", "n", "e", "d"],
    ["t", "n", "e", "d", "x"],
    ["t", "n", "e", "Gxyz", "17", "k", "m", "0", "Z", "2147483647"],
    ["t", "n", "e", "p", "97", "P", "50"],
    ["\u00e4" * 130, "", ""],
]
TOKENZEILEN = [
    b"\x00  ab  cd",
    b"\x05" + b"12 x",
    b"\x05$1F -7a 2.5 0x7fffffff -2147483648 2147483648",
    b"\x0a-0.5e1 1e308 1e309 nan inf .5 5. -.e1 +3",
    b"\x01" + b"a" * 10 + b" " + b"b" * 150,
    b"\x55\t5 x 0X 0x -",
]
DIALOGTEXTE = [b"", b" 5", b"12", b"-7a", b"$1F", b"0x", b"X7fffffff", b"2147483648", b"-2147483648", b"-2147483648x",
               b"+0 9", b"99999999999"]


def main():
    for z in KOMMANDOZEILEN:
        ablegen("kommandozeile", "\0".join(z).encode("utf-8"))
    for z in TOKENZEILEN:
        ablegen("tokens", z)
    for z in DIALOGTEXTE:
        ablegen("umrechnen", z if z else b" ")
    for datei in sorted((WURZEL / "examples").iterdir()):
        inhalt = datei.read_bytes()
        if datei.suffix in (".net", ".nec"):
            # a long net is cut after a whole line
            if len(inhalt) > HOECHSTLAENGE:
                inhalt = inhalt[: inhalt.rfind(b"\n", 0, HOECHSTLAENGE) + 1]
            ablegen("netzladen", inhalt)
        else:
            ablegen("eingabe", inhalt)
    daten = WURZEL / "tests" / "data"
    for datei in sorted(daten.rglob("*")) if daten.exists() else []:
        if datei.is_file():
            ablegen("netzladen" if ist_netz(datei.read_bytes()) else "eingabe", datei.read_bytes())
    for bereich in ("net", "engine", "robust"):
        for datei in sorted((WURZEL / "tests" / bereich).glob("*")):
            for t in texte(datei):
                if b"\n" not in t:
                    continue
                if ist_netz(t) or t.startswith(b"$"):
                    ablegen("netzladen", t)
                elif bereich != "net":
                    ablegen("eingabe", t)


if __name__ == "__main__":
    main()

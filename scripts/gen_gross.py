#!/usr/bin/env python3
"""Writes examples/gross.net and examples/gross.ein: a grid of 64 x 40 cells
for the compressed view. Every cell excites its four neighbours strongly
enough to make them fire, so a stimulated cell starts a wave that runs over
the whole grid; the refractory time keeps the wave from running back.
A few inhibitory cells ("Hemm") between the rows slow the waves down.

Run from the repository root: scripts/gen_gross.py
"""

import os

SPALTEN = 64
ZEILEN = 40


def name(r, c):
    return "n%02d%02d" % (r, c)


def netz():
    zeilen = [
        "{ Grosses Netz: 64 x 40 Zellen fuer die komprimierte Ansicht (Modusbuchstabe m).",
        "{ Erzeugt von scripts/gen_gross.py; jede Zelle erregt ihre vier Nachbarn.",
        "{ Eine Zelle belegt eine Spalte und drei Zeilen des Rasters.",
    ]
    for r in range(ZEILEN):
        for c in range(SPALTEN):
            zeilen.append("z %s %d %d" % (name(r, c), 3 * r, c))
            for dr, dc in ((0, 1), (1, 0), (0, -1), (-1, 0)):
                rr, cc = r + dr, c + dc
                if 0 <= rr < ZEILEN and 0 <= cc < SPALTEN:
                    zeilen.append("c %s" % name(rr, cc))
            # Every eighth cell of every fourth row also drives an inhibitory cell.
            if r % 4 == 2 and c % 8 == 4:
                zeilen.append("c h%02d%02d 6.0 2" % (r, c))
    for r in range(ZEILEN):
        for c in range(SPALTEN):
            if r % 4 == 2 and c % 8 == 4:
                zeilen.append("z h%02d%02d -1 -1" % (r, c))
                zeilen.append("s 5.0")
                for dc in (-2, -1, 1, 2):
                    zeilen.append("c %s -7.0 1" % name(r + 1, c + dc))
    zeilen += [
        "{ Voreinstellungen fuer das ganze Netz",
        "f",
        "s 10.0",
        "a 0.5",
        "r 5",
        "w 11.0",
        "d 1",
    ]
    return zeilen


def eingabe():
    return [
        " Eingabe zum grossen Netz: Wellen von der Mitte und von den Ecken",
        "n2032 0",
        "*** 40",
        "n0000 60",
        "n3963 61",
        "*** 120",
        "n1010 140 n3050 140",
        "*** 200",
        "n2000 220",
        "n2063 300 .",
    ]


def schreiben(pfad, zeilen):
    with open(pfad, "w", newline="\n") as datei:
        datei.write("\n".join(zeilen) + "\n")


def main():
    wurzel = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    schreiben(os.path.join(wurzel, "examples", "gross.net"), netz())
    schreiben(os.path.join(wurzel, "examples", "gross.ein"), eingabe())


if __name__ == "__main__":
    main()

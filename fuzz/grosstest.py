#!/usr/bin/env python3
"""Large inputs through velkor-batch at two sizes, to see that loading and
running grow linearly: a name-form net with N connections, an input file of
N/10 entries, and a name-form net whose N/10 connections all name missing
cells (its protocol). Prints the times and the ratio between the sizes.
    fuzz/grosstest.py BATCH [N]        default N = 10 000 000"""

import os
import random
import subprocess
import sys
import tempfile
import time


def netz(pfad, verbindungen, zellen, fehlend=False):
    rnd = random.Random(1)
    je = verbindungen // zellen
    with open(pfad, "w") as f:
        for c in range(zellen):
            zeilen = [f"z N{c} {c // 100} {c % 100}\ns 1\na 0.5\nr 2\n"]
            for _ in range(je):
                ziel = f"M{rnd.randrange(zellen)}" if fehlend else f"N{rnd.randrange(zellen)}"
                zeilen.append(f"c {ziel} 0.3 {rnd.randrange(1, 5)}\n")
            f.write("".join(zeilen))


def eingabe(pfad, eintraege, zellen, takte):
    rnd = random.Random(2)
    with open(pfad, "w") as f:
        je = max(1, eintraege // takte)
        for t in range(takte):
            # one entry a line: a line is read up to 250 characters
            f.write("".join(f"N{rnd.randrange(zellen)} {t}\n" for _ in range(je)))
        f.write("\n")


def lauf(batch, verzeichnis, netzdatei, eingabedatei):
    beginn = time.monotonic()
    p = subprocess.run([batch, "--stats", "T", netzdatei, eingabedatei], cwd=verzeichnis, capture_output=True,
                       text=True)
    dauer = time.monotonic() - beginn
    statistik = [z for z in p.stdout.splitlines() if z.startswith("steps=")]
    return dauer, p.returncode, statistik[0] if statistik else p.stderr.strip()[:200]


def main():
    batch = os.path.abspath(sys.argv[1])
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 10_000_000
    with tempfile.TemporaryDirectory() as d:
        for groesse in (n // 10, n):
            zellen = max(10, groesse // 100)
            netz(f"{d}/netz.net", groesse, zellen)
            eingabe(f"{d}/eingabe.ein", groesse // 10, zellen, 100)
            dauer, status, info = lauf(batch, d, f"{d}/netz.net", f"{d}/eingabe.ein")
            print(f"connections {groesse:>10}, entries {groesse // 10:>9}: {dauer:7.2f} s, status {status}, {info}")
            netz(f"{d}/fehlt.net", groesse // 10, zellen, fehlend=True)
            dauer, status, _ = lauf(batch, d, f"{d}/fehlt.net", f"{d}/eingabe.ein")
            zeilen = sum(1 for _ in open(f"{d}/protok.txt"))
            print(f"missing targets {groesse // 10:>10}: {dauer:7.2f} s, status {status}, protocol lines {zeilen}")


if __name__ == "__main__":
    main()

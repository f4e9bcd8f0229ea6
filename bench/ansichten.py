#!/usr/bin/python3
"""Time steps per second of the views, against the drawing of an older commit.

    /usr/bin/python3 bench/ansichten.py --build BUILDDIR [--alt ALTBUILD | --commit 78fc5f2]
                                        [--wiederholungen 3] [--md DATEI]

For the bundled examples and a grid net of 20 000 cells with positions
(written once into the temporary directory), and for each of the views cell
view (V), firing cells (k), compressed (m 3), numeric table and oscilloscope
(G), it runs `velkor-batch --stats --picture` of this build and of the old
one, taking turns (old, new, old, new ...), and the same without --picture
(the views skip their drawing), and the numeric table without --picture as
the engine alone. Each figure is the median of the runs. Without --alt the
old commit is checked out with `git worktree add` into the temporary
directory and its velkor-batch built there (once; the build is kept for the
next call and is never part of the repository).
"""

import argparse
import os
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lauf import ausgeben, prozessor, statistik  # noqa: E402

WURZEL = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ANSICHTEN = [("cell view V", ["V"]), ("firing cells k", ["k"]), ("compressed m 3", ["m", "3"]),
             ("numeric table", []), ("oscilloscope G", ["G"])]


def altBauen(commit):
    """velkor-batch of `commit`, built in a worktree of its own under the temporary directory."""
    ort = os.path.join(tempfile.gettempdir(), "velkor-bench-" + commit)
    batch = os.path.join(ort, "build", "velkor-batch")
    if os.path.exists(batch):
        return batch
    if not os.path.exists(ort):
        subprocess.run(["git", "-C", WURZEL, "worktree", "add", "--detach", ort, commit], check=True)
    subprocess.run(["cmake", "-S", ort, "-B", os.path.join(ort, "build"), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", os.path.join(ort, "build"), "-j2", "--target", "velkor-batch"], check=True)
    return batch


def gitternetz(verzeichnis, spalten=160, zeilen=125):
    """A grid of 20 000 cells, each exciting its four neighbours, with waves started at four places."""
    netz = os.path.join(verzeichnis, "gitter20000.net")
    eingabe = os.path.join(verzeichnis, "gitter20000.ein")
    if os.path.exists(netz):
        return netz, eingabe
    name = lambda r, c: "n%05d" % (r * spalten + c)  # noqa: E731  (names have at most 6 bytes)
    with open(netz, "w") as f:
        f.write("{ Gitter fuer die Geschwindigkeit der Ansichten\n")
        for r in range(zeilen):
            for c in range(spalten):
                f.write("z %s %d %d\n" % (name(r, c), 3 * r, c))
                for rr, cc in ((r, c + 1), (r + 1, c), (r, c - 1), (r - 1, c)):
                    if 0 <= rr < zeilen and 0 <= cc < spalten:
                        f.write("c %s\n" % name(rr, cc))
        f.write("f\ns 10.0\na 0.5\nr 5\nw 11.0\nd 1\n")
    with open(eingabe, "w") as f:
        f.write(" Wellen von vier Stellen\n%s 0\n%s 10\n%s 20\n%s 30 .\n" % (
            name(zeilen // 2, spalten // 2), name(0, 0), name(zeilen - 1, spalten - 1), name(10, spalten - 10)))
    return netz, eingabe


def rate(batch, netz, eingabe, buchstaben, bild, arbeit):
    befehl = [batch, "--stats"] + (["--picture"] if bild else []) + ["Bench", netz, eingabe] + buchstaben
    ergebnis = subprocess.run(befehl, cwd=arbeit, capture_output=True, text=True, check=True)
    return statistik(ergebnis.stdout)["steps_per_s"]


def main():
    teile = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    teile.add_argument("--build", required=True)
    teile.add_argument("--alt", help="velkor-batch of the old drawing (else built from --commit)")
    teile.add_argument("--commit", default="78fc5f2")
    teile.add_argument("--wiederholungen", type=int, default=3)
    teile.add_argument("--md")
    a = teile.parse_args()
    neu = os.path.join(os.path.abspath(a.build), "velkor-batch")
    alt = os.path.abspath(a.alt) if a.alt else altBauen(a.commit)
    arbeit = tempfile.mkdtemp(prefix="velkor-ansichten-")
    beispiele = os.path.join(WURZEL, "examples")
    netze = [("lernen.net", os.path.join(beispiele, "lernen.net"), os.path.join(beispiele, "lernen.ein")),
             ("nummern.nec", os.path.join(beispiele, "nummern.nec"), os.path.join(beispiele, "nummern.ein")),
             ("gross.net", os.path.join(beispiele, "gross.net"), os.path.join(beispiele, "gross.ein")),
             ("grid 20 000", *gitternetz(tempfile.gettempdir()))]
    zeilen = ["Machine: %s, %d cores; old: %s, medians of %d runs, time steps/s." % (
        prozessor(), os.cpu_count(), a.alt or a.commit, a.wiederholungen), "",
        "| net | view | old, drawing | new, drawing | new / old | new, no drawing | engine alone | drawing / engine |",
        "|---|---|---|---|---|---|---|---|"]
    for titel, netz, eingabe in netze:
        motor = statistics.median(rate(neu, netz, eingabe, [], False, arbeit) for _ in range(a.wiederholungen))
        for ansicht, buchstaben in ANSICHTEN:
            alte, neue, ohne = [], [], []
            for _ in range(a.wiederholungen):  # taking turns, so that a busy spell hits both
                alte.append(rate(alt, netz, eingabe, buchstaben, True, arbeit))
                neue.append(rate(neu, netz, eingabe, buchstaben, True, arbeit))
                ohne.append(rate(neu, netz, eingabe, buchstaben, False, arbeit))
            m_alt, m_neu, m_ohne = (statistics.median(x) for x in (alte, neue, ohne))
            zeilen.append("| %s | %s | %.0f | %.0f | %.1f × | %.0f | %.0f | %.3f |" % (
                titel, ansicht, m_alt, m_neu, m_neu / m_alt, m_ohne, motor, m_neu / motor))
            print(zeilen[-1], flush=True)
    text = "\n".join(zeilen) + "\n"
    ausgeben(text, a.md)


if __name__ == "__main__":
    main()

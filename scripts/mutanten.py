#!/usr/bin/python3
"""Mutation check: do the tests catch the faults a careful developer makes?

Reads the table of one-line mutants (scripts/mutanten.toml), copies the tree
to a scratch folder (the tree it is started from is never touched), builds a
Release build there once, and then for each mutant: puts the replacement in
place of the exact text, rebuilds incrementally, runs the suite (ctest, up to
the first failing test), and puts the text back. A test that runs longer than
the time limit counts as a catch (a hang). At the end: the share caught of the
mutants that some behaviour can tell apart from the code (the others are
marked equivalent in the table, with the reason).

    /usr/bin/python3 scripts/mutanten.py                 # every mutant
    /usr/bin/python3 scripts/mutanten.py --nur 12 engine/faeden.cpp
    /usr/bin/python3 scripts/mutanten.py --weiter        # the whole suite each time

Exit status 0 when the share reaches --mindestens (95 %), 1 below it, 2 when
the unchanged tree does not build or its tests fail.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import time
import tomllib
from pathlib import Path

WURZEL = Path(__file__).resolve().parent.parent

GEFANGEN = "caught"
HAENGT = "caught (hang)"
UEBERLEBT = "survived"
BAUT_NICHT = "does not build"
NICHT_GEFUNDEN = "text not found"
MEHRDEUTIG = "text not unique"


def tabelle_lesen(pfad):
    with open(pfad, "rb") as f:
        daten = tomllib.load(f)
    mutanten = daten.get("mutant", [])
    gesehen = set()
    for m in mutanten:
        for feld in ("id", "datei", "alt", "neu", "grund"):
            if feld not in m:
                sys.exit(f"{pfad}: mutant {m.get('id', '?')} without '{feld}'")
        if m["id"] in gesehen:
            sys.exit(f"{pfad}: id {m['id']} twice")
        gesehen.add(m["id"])
    return mutanten


def dateien_des_baums():
    """The files of the tree as git sees them: tracked and new, not ignored."""
    aus = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
                         cwd=WURZEL, check=True, capture_output=True).stdout
    return [p for p in aus.decode().split("\0") if p and (WURZEL / p).is_file()]


def abgleichen(quelle):
    """Copies what differs into the scratch source and removes what is gone,
    so that the build there stays incremental."""
    dateien = set(dateien_des_baums())
    for rel in dateien:
        von, nach = WURZEL / rel, quelle / rel
        if nach.is_file() and nach.read_bytes() == von.read_bytes():
            continue
        nach.parent.mkdir(parents=True, exist_ok=True)
        # A fresh time stamp: the copy must be newer than what a mutant built.
        shutil.copyfile(von, nach)
        shutil.copymode(von, nach)
    for pfad in list(quelle.rglob("*")):
        if pfad.is_file() and str(pfad.relative_to(quelle)) not in dateien:
            pfad.unlink()


def bauen(bau, jobs, grenze):
    try:
        r = subprocess.run(["cmake", "--build", str(bau), "-j", str(jobs)], capture_output=True, text=True,
                           timeout=grenze)
    except subprocess.TimeoutExpired:
        return False, "build took longer than %d s" % grenze
    return r.returncode == 0, r.stdout + r.stderr


def testen(bau, jobs, zeitgrenze, weiter):
    """Runs ctest; returns (passed, hang, the tests that failed)."""
    befehl = ["ctest", "--test-dir", str(bau), "-j", str(jobs), "--timeout", str(zeitgrenze)]
    if not weiter:
        befehl.append("--stop-on-failure")
    # A temporary folder of its own: the tests' scratch folders there are
    # named after the tests, and another build's run of them must not meet these.
    tmp = bau.parent / "tmp"
    shutil.rmtree(tmp, ignore_errors=True)
    tmp.mkdir()
    umgebung = dict(os.environ, QT_QPA_PLATFORM="offscreen", TMPDIR=str(tmp))
    try:
        r = subprocess.run(befehl, capture_output=True, text=True, env=umgebung, timeout=zeitgrenze * 20)
    except subprocess.TimeoutExpired:
        return False, True, ["(the suite as a whole)"]
    fehler, haengt = [], False
    for zeile in r.stdout.splitlines():
        treffer = re.search(r"Test\s+#\d+: (\S+) \.+\**\s*(Failed|Timeout|Exception|Subprocess)", zeile)
        if treffer:
            fehler.append(treffer.group(1))
            haengt = haengt or treffer.group(2) == "Timeout"
    return r.returncode == 0, haengt, fehler


def mutant_pruefen(m, quelle, bau, args):
    datei = quelle / m["datei"]
    if not datei.is_file():
        return NICHT_GEFUNDEN, "no file"
    text = datei.read_text()
    zahl = text.count(m["alt"])
    vorkommen = m.get("vorkommen")
    if zahl == 0 or (vorkommen is not None and vorkommen > zahl):
        return NICHT_GEFUNDEN, ""
    if zahl > 1 and vorkommen is None:
        return MEHRDEUTIG, "%d places" % zahl
    stelle = -1
    for _ in range(vorkommen or 1):
        stelle = text.index(m["alt"], stelle + 1)
    try:
        datei.write_text(text[:stelle] + m["neu"] + text[stelle + len(m["alt"]):])
        gebaut, ausgabe = bauen(bau, args.jobs, args.bauzeit)
        if not gebaut:
            return BAUT_NICHT, ausgabe.strip().splitlines()[-1] if ausgabe.strip() else ""
        bestanden, haengt, fehler = testen(bau, args.jobs, args.zeitgrenze, args.weiter)
    finally:
        datei.write_text(text)
    if bestanden:
        return UEBERLEBT, ""
    return (HAENGT if haengt else GEFANGEN), ", ".join(fehler[:3]) + (" ..." if len(fehler) > 3 else "")


def ausgewaehlt(m, nur):
    return not nur or str(m["id"]) in nur or m["datei"] in nur or any(m["datei"].startswith(n.rstrip("/") + "/")
                                                                     for n in nur)


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--tabelle", default=str(WURZEL / "scripts" / "mutanten.toml"))
    p.add_argument("--ordner", default="/tmp/velkor-mutanten",
                   help="scratch folder (source copy and build; kept for the next run)")
    p.add_argument("--nur", nargs="*", default=[], help="only these ids, files or folders")
    p.add_argument("--weiter", action="store_true",
                   help="run the whole suite for each mutant, not only up to the first failure")
    p.add_argument("--zeitgrenze", type=int, default=60, help="seconds a test may run before it counts as a hang")
    p.add_argument("--bauzeit", type=int, default=900, help="seconds a build may take")
    p.add_argument("--mindestens", type=float, default=95.0, help="share in percent the check must reach")
    p.add_argument("-j", "--jobs", type=int, default=2)
    args = p.parse_args()

    mutanten = [m for m in tabelle_lesen(args.tabelle) if ausgewaehlt(m, args.nur)]
    ordner = Path(args.ordner).resolve()
    if ordner == WURZEL or WURZEL in ordner.parents:
        sys.exit("the scratch folder must lie outside the tree")
    quelle, bau = ordner / "quelle", ordner / "bau"
    quelle.mkdir(parents=True, exist_ok=True)
    beginn = time.monotonic()
    abgleichen(quelle)
    if not (bau / "build.ninja").is_file():
        subprocess.run(["cmake", "-S", str(quelle), "-B", str(bau), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release"],
                       check=True, capture_output=True)
    gebaut, ausgabe = bauen(bau, args.jobs, args.bauzeit)
    if not gebaut:
        print(ausgabe[-3000:])
        print("the unchanged tree does not build", file=sys.stderr)
        return 2
    bestanden, _, fehler = testen(bau, args.jobs, args.zeitgrenze, True)
    if not bestanden:
        print("the tests of the unchanged tree fail: " + ", ".join(fehler), file=sys.stderr)
        return 2
    print("unchanged tree: built and passed (%.0f s)" % (time.monotonic() - beginn), flush=True)

    ergebnisse = []
    for m in mutanten:
        t0 = time.monotonic()
        status, info = mutant_pruefen(m, quelle, bau, args)
        ergebnisse.append((m, status))
        aeq = " [equivalent: %s]" % m["aequivalent"] if "aequivalent" in m else ""
        print("%-4s %-15s %-34s %4.0f s  %s%s%s" % (m["id"], status, m["datei"], time.monotonic() - t0, m["grund"],
                                                   aeq, "  <- " + info if info else ""), flush=True)
    # Put the build back to the unchanged tree, so that the next run starts from it.
    bauen(bau, args.jobs, args.bauzeit)

    gezaehlt = [(m, s) for m, s in ergebnisse if "aequivalent" not in m and s in (GEFANGEN, HAENGT, UEBERLEBT)]
    gefangen = sum(1 for _, s in gezaehlt if s != UEBERLEBT)
    print()
    for status in (GEFANGEN, HAENGT, UEBERLEBT, BAUT_NICHT, NICHT_GEFUNDEN, MEHRDEUTIG):
        ids = [str(m["id"]) for m, s in ergebnisse if s == status and "aequivalent" not in m]
        if ids:
            print("%-15s %3d  %s" % (status, len(ids), " ".join(ids)))
    aeq = [m for m, _ in ergebnisse if "aequivalent" in m]
    if aeq:
        print("%-15s %3d  %s" % ("equivalent", len(aeq), " ".join(str(m["id"]) for m in aeq)))
    for m, s in ergebnisse:
        if "aequivalent" in m and s in (GEFANGEN, HAENGT):
            print("note: mutant %s is marked equivalent but was caught" % m["id"])
    anteil = 100.0 * gefangen / len(gezaehlt) if gezaehlt else 100.0
    print("caught %d of %d non-equivalent mutants that build: %.1f %% (%.0f min)" %
          (gefangen, len(gezaehlt), anteil, (time.monotonic() - beginn) / 60))
    return 0 if anteil >= args.mindestens else 1


if __name__ == "__main__":
    sys.exit(main())

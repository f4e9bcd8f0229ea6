#!/usr/bin/python3
"""velkor-batch-mpi against velkor-batch on random nets: for every net one
velkor-batch run, then the MPI program on 1 to 4 processes with 1 and 2
threads, each in an empty working directory of its own; exit status, stdout
(without the timing figures of the summary line), stderr and every file left
in the working directory ("protok.txt", "zustand.txt", "logfile.txt", the
spike list) must be those of the one process, and all processes must end with
that status.

    /usr/bin/python3 tests/mpi/mpi_identitaet.py --mpi build/release/velkor-batch-mpi \
        --batch build/release/velkor-batch [--netze 200] [--seed 1] [--nur 17 42]

The nets (deterministic from --seed): both forms, learning cells and
connections (the windowed rule with negative change rates and windows),
inhibition, delays 0 to 6, 'f' default blocks, 'w' and 'd' lines, positions,
nets of 1 to 3 cells (fewer than the processes), empty nets, nets without
connections, faulty nets of both forms, weights that do not add up the same
in another order, and a few nets of 40 000 to 70 000 cells around the sizes at
which a phase is split onto two threads and the stretches of 2, 3 and 4
processes reach 16 384 cells. The runs: the numeric table and the firing-cells
table with --log, the other views, P 100 and P 50 with --seed, p 50, runs
until stop and single steps, breakpoints, explanations, --state, --spikes. The
bundled examples come on top. Prints each difference with the net's number
and seed, the process count and the threads, and ends with the counts."""

import argparse
import os
import random
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vergleich  # noqa: E402

BEISPIELE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")

# The sizes of the large nets: a phase is split from 2 x 16 384 cells on; the
# connections' stretches of 2, 3 and 4 processes reach 16 384 cells at 32 768,
# 49 152 and 65 536 cells. Each limit exactly and one past it.
GROSSE_NETZE = [40_000, 49_152, 49_153, 65_536, 65_537, 70_001]

# Names beside the plain ones: quoting in the spike list, UTF-8, six bytes.
SELTSAME_NAMEN = ["a,b", 'q"x', "Ä1", "sechs6", "x;y", "#7", "Zelle"]


class Fall:
    def __init__(self, nummer, seed, art, netzname, netz, eingabe, modi, optionen, zellen, grenze=60.0):
        self.nummer = nummer
        self.seed = seed
        self.art = art
        self.netzname = netzname
        self.netz = netz  # bytes
        self.eingabe = eingabe  # bytes
        self.modi = modi
        self.optionen = optionen
        self.zellen = zellen
        self.grenze = grenze
        self.eingabename = "e.ein"

    def argumente(self, faeden):
        return ["--threads", str(faeden)] + self.optionen + ["Zufall", self.netzname, self.eingabename] + self.modi

    def beschreibung(self):
        return (f"net {self.nummer} ({self.art}, seed {self.seed}, {self.zellen} cells, {self.netzname}): "
                f"{vergleich.zitat(self.optionen + ['Zufall', self.netzname, self.eingabename] + self.modi)}")


# ---------------------------------------------------------------- net texts

def zahl(r, lo, hi, stellen=6):
    return f"{r.uniform(lo, hi):.{stellen}f}"


def gewicht(r, hemmend_anteil=0.25):
    w = r.random()
    if w < 0.04:
        # magnitudes far apart: their sum depends on the order of addition
        return r.choice(["1e-9", "3.000000001e-7", "12345.678901", "-0.1", "0.1", "0.7", "0.2"])
    if r.random() < hemmend_anteil:
        return zahl(r, -1.6, -0.05)
    return zahl(r, 0.05, 1.6)


def namen_waehlen(r, n, nummern):
    namen = [f"n{i}" for i in range(n)]
    for i in range(n):
        if r.random() < 0.05:
            namen[i] = r.choice(SELTSAME_NAMEN)
    if nummern and n > 1 and r.random() < 0.3:
        # the numbered form needs no distinct names
        for _ in range(r.randint(1, 3)):
            namen[r.randrange(n)] = namen[r.randrange(n)]
    elif not nummern:
        # distinct in the name form (first six bytes), the odd names included
        gesehen = set()
        for i, name in enumerate(namen):
            if name.encode()[:6] in gesehen:
                namen[i] = f"n{i}"
            gesehen.add(namen[i].encode()[:6])
    return namen


def zellparameter(r, zeilen, lernend):
    if r.random() < 0.9:
        zeilen.append(f"s {r.choice(['0.5', '1.0', '1.0', '1.3', '2.0', '0.7321', '1.1'])}")
    if r.random() < 0.9:
        zeilen.append(f"a {r.choice(['0.0', '0.5', '0.8', '0.95', '0.333333', '1.0', '0.7'])}")
    if r.random() < 0.9:
        zeilen.append(f"r {r.choice([0, 1, 1, 2, 2, 3, 4])}")
    if lernend:
        zeilen.append(f"v {zahl(r, 0.0, 1.0, 4)}")
        zeilen.append(f"g {r.choice(['0.9', '0.97', '1.0', '1.05', '1.2'])}")
        zeilen.append(f"h {r.choice(['0.1', '0.3', '0.0', '-0.2', '-0.5', '-1.0', '-0.05'])}")


def verbindungslernen(r, zeilen, windowed):
    # i m l x of the current connection, a subset in random order
    teile = []
    if r.random() < 0.6:
        teile.append(f"i {r.choice(['1.0', '0.99', '1.01', '0.95', '1.000001', '0.5'])}")
    if r.random() < 0.7:
        teile.append(f"m {zahl(r, 0.3, 2.5, 4)}")
    if r.random() < 0.6:
        teile.append(f"l {r.choice(['0.1', '-1', '0.05', '0.2', '-0.3', '0.015625'])}")
    if windowed or r.random() < 0.3:
        teile.append(f"x {r.choice([-1, 0, 1, 2, 3, 4, 7])}")
    r.shuffle(teile)
    zeilen.extend(teile)


def zufallsnetz(r, n, nummern, ohne_verbindungen=False, fehlerhaft=False):
    """A net text of n cells and its cell names."""
    namen = namen_waehlen(r, n, nummern)
    zeilen = []
    if nummern:
        zeilen.append(f"$ {n}")
    if r.random() < 0.3:
        zeilen.append("{ Zufallsnetz")
    lernend = [r.random() < 0.4 for _ in range(n)]
    negativ = [False] * n  # change rate below 0: the windowed rule (known after writing)
    fehlende_werte = False
    mit_block = r.random() < 0.5
    block_in_mitte = mit_block and n > 2 and r.random() < 0.3
    mitte = r.randrange(1, n) if block_in_mitte else -1
    maxk = 0 if ohne_verbindungen else r.choice([1, 2, 3, 5, 8])
    for i in range(n):
        if i == mitte:
            zeilen += defaultblock(r)
        lage = ""
        p = r.random()
        if p < 0.7:
            lage = f" {r.randint(0, 40)} {r.randint(0, 125)}"
        elif p < 0.8:
            lage = f" {r.randint(0, 40)}"
        zeilen.append(f"z {namen[i]}{lage}")
        zellparameter(r, zeilen, lernend[i])
        if lernend[i] and zeilen[-1].startswith("h -"):
            negativ[i] = True
        for _ in range(r.randint(0, maxk)):
            if n == 0:
                break
            # neighbours mostly, so that activity travels; the cell itself too
            if r.random() < 0.6:
                ziel = (i + r.choice([1, 1, 2, -1, 3, 0])) % n
            else:
                ziel = r.randrange(n)
            ziel_text = str(ziel) if nummern else namen[ziel]
            p = r.random()
            if p < 0.06:
                zeilen.append(f"c {ziel_text}")
                fehlende_werte = True
            elif p < 0.1:
                zeilen.append(f"c {ziel_text} {gewicht(r)}")
                fehlende_werte = True
            else:
                zeilen.append(f"c {ziel_text} {gewicht(r)} {r.randint(0, 6)}")
            if r.random() < 0.4:
                verbindungslernen(r, zeilen, windowed=r.random() < 0.5)
        if fehlende_werte and r.random() < 0.3:
            zeilen.append(r.choice([f"w {gewicht(r, 0.1)}", f"d {r.randint(0, 6)}"]))
    if fehlende_werte:
        # the defaults for every connection above without weight or delay
        zeilen.append(f"w {zahl(r, 0.2, 1.2, 3)}")
        zeilen.append(f"d {r.randint(0, 6)}")
    if mit_block and not block_in_mitte:
        zeilen += defaultblock(r)
    if fehlerhaft:
        zeilen = fehler_einbauen(r, zeilen, n, nummern)
    text = "\n".join(zeilen) + "\n"
    if r.random() < 0.1:
        text = text.replace("\n", "\r\n")
    return text.encode(), namen


def defaultblock(r):
    zeilen = ["f"]
    for buchstabe, werte in [("s", ["1.0", "0.9", "1.25"]), ("a", ["0.8", "0.6"]), ("r", ["2", "1", "3"]),
                             ("v", ["0.5", "0.25"]), ("g", ["1.0", "0.95"]), ("h", ["0.0", "0.2", "-0.3"]),
                             ("i", ["1.0", "0.98"]), ("m", ["1.5", "2.0"]), ("l", ["-1", "0.1"]),
                             ("x", ["2", "-1", "5"])]:
        if r.random() < 0.6:
            zeilen.append(f"{buchstabe} {r.choice(werte)}")
    if r.random() < 0.5:
        zeilen.append("c n0 0.5 1")  # ignored inside a block
    r.shuffle(zeilen[1:])
    return zeilen


def fehler_einbauen(r, zeilen, n, nummern):
    if nummern:
        art = r.choice(["kopf", "ziel"]) if n > 0 else "kopf"
        if art == "kopf":
            zeilen[0] = r.choice([f"$ {n + 1}", f"$ {max(n - 1, 0)}" if n > 0 else "$ 3", "$", "$ -2"])
            return zeilen
        zeile = f"c {r.choice([n, n + 5, 100000])} 0.5 1"
    else:
        zeile = f"c {r.choice(['fehlt', 'nX999', 'nX0'])} 0.5 1"
    # after some z line, so that it belongs to a cell
    zstellen = [i for i, z in enumerate(zeilen) if z.startswith("z ")]
    for _ in range(r.randint(1, 3)):
        stelle = r.choice(zstellen) + 1
        zeilen.insert(stelle, zeile)
        zstellen = [i for i, z in enumerate(zeilen) if z.startswith("z ")]
    return zeilen


def zufallseingabe(r, namen, takte):
    """An input text over about `takte` steps."""
    zeilen = []
    if r.random() < 0.3:
        zeilen.append(" Eingabe")
    eintraege = []
    for _ in range(r.randint(0, max(2, takte // 2))):
        t = r.randrange(takte)
        if namen and r.random() < 0.92:
            name = r.choice(namen)
        else:
            name = r.choice(["fremd", "nX999", "Zellex"])
        eintraege.append((t, name))
    for _ in range(r.randint(0, 3)):
        eintraege.append((r.randrange(takte), "***"))
    eintraege.sort(key=lambda e: e[0])
    zeile = []
    for t, name in eintraege:
        zeile.append(f"{name} {t}")
        if r.random() < 0.6:
            zeilen.append(" ".join(zeile))
            zeile = []
            if r.random() < 0.05:
                zeilen.append("")
    if zeile:
        zeilen.append(" ".join(zeile))
    p = r.random()
    if p < 0.3 and zeilen:
        zeilen[-1] += " ."
    elif p < 0.4 and eintraege:
        zeilen.append(f"{namen[0] if namen else 'fremd'} 0")  # a step backwards ends the input
        zeilen.append(f"{namen[-1] if namen else 'fremd'} {takte + 5}")
    return ("\n".join(zeilen) + "\n").encode()


# -------------------------------------------------------------- the runs

ANSICHTEN = [([], 30), (["k"], 30), (["d", "3"], 5), (["d", "40"], 2), (["k", "V"], 4), (["V"], 3), (["v"], 2),
             (["G"], 3), (["g", "R", "2"], 3), (["m", "2"], 3), (["k", "m", "1"], 2), (["R", "-1"], 2),
             (["k", "G"], 2)]
ZUFALL = [([], 35), (["P", "100"], 20), (["P", "50"], 22), (["p", "50"], 8), (["P", "98"], 4), (["p", "99"], 4),
          (["P", "0"], 2), (["P", "73"], 5)]


def gewichtet(r, liste):
    return r.choices([e for e, _ in liste], weights=[g for _, g in liste])[0]


def modi_und_optionen(r, namen, takte, log_immer=False):
    modi = list(gewichtet(r, ANSICHTEN)) + list(gewichtet(r, ZUFALL))
    if r.random() < 0.15:
        modi += ["x", str(r.randint(-2, 4)), "y", str(r.randint(-2, 3))]
    optionen = []
    if "P" in modi or r.random() < 0.1:
        optionen += ["--seed", str(r.randrange(2 ** 64))]
    p = r.random()
    if p < 0.05:
        optionen += ["--runs", "0"]
    elif p < 0.5:
        optionen += ["--runs", str(r.choice([1, 1, 2, 3, 5]))]
    if r.random() < 0.5:
        optionen += ["--steps", str(r.randint(1, 12))]
    if r.random() < 0.7:
        optionen.append("--state")
    if log_immer or r.random() < 0.85:
        optionen.append("--log")
    if r.random() < 0.7:
        optionen += ["--spikes", r.choice(["spikes.csv", "s.csv"])]
    if r.random() < 0.1:
        optionen += ["--break-step", str(r.randrange(takte + 5))]
    if namen and r.random() < 0.1:
        i = r.randrange(len(namen))
        optionen += ["--break-fires", r.choice([namen[i], f"#{i}", str(i)])]
    p = r.random()
    if p < 0.03:
        optionen.append("--picture")  # drawn by one process: "bild.pcl", or "bild.bmp" with c
        if r.random() < 0.5:
            modi.append("c")
    elif p < 0.05:
        optionen += ["--png", "bild.png", "--size", r.choice(["640x480", "1032x768", "333x201"])]
    if namen and r.random() < 0.04:
        optionen += ["--explain", f"{r.choice(namen)}@{r.choice([0, 1, 2, r.randrange(takte)])}"]
        if r.random() < 0.5:
            optionen.append("--json")
    r.shuffle(optionen_paare := paare(optionen))
    optionen = [x for paar in optionen_paare for x in paar]
    if r.random() < 0.1:
        optionen.append("--")
    return modi, optionen


def paare(optionen):
    """Options with their values, as units to shuffle."""
    mit_wert = {"--seed", "--runs", "--steps", "--spikes", "--break-step", "--break-fires", "--explain", "--png",
                "--size"}
    ergebnis, i = [], 0
    while i < len(optionen):
        if optionen[i] in mit_wert:
            ergebnis.append(optionen[i:i + 2])
            i += 2
        else:
            ergebnis.append(optionen[i:i + 1])
            i += 1
    return ergebnis


def grosses_netz(r, n, nummern):
    """n cells in a chain with a few side connections, a part of them
    learning; a handful of inputs starts waves."""
    z = [f"$ {n}"] if nummern else []
    for i in range(n):
        z.append(f"z n{i} {i // 125} {i % 125}\ns 1\na 0.5\nr 3")
        if r.random() < 0.1:
            z.append(f"v {r.choice(['0.3', '0.6'])}\ng 1.0\nh {r.choice(['0.2', '-0.3'])}")
        nachfolger = (i + 1) % n
        z.append(f"c {nachfolger if nummern else f'n{nachfolger}'} 1.2 {r.choice([0, 1, 1, 2])}")
        if r.random() < 0.5:
            ziel = r.randrange(n)
            w = r.choice(['0.55', '-0.4', '0.3333', '1.05'])
            z.append(f"c {ziel if nummern else f'n{ziel}'} {w} {r.randint(0, 6)}")
            if r.random() < 0.2:
                z.append("m 1.0\nl 0.05\nx 3")
    z += ["f", "i 1.0"]
    namen = [f"n{i}" for i in range(n)]
    takte = 30
    eingabe = []
    for t in sorted(r.choices(range(takte), k=60)):
        eingabe.append(f"{r.choice(namen)} {t}")
    eingabe.append(f"*** {takte}")
    return ("\n".join(z) + "\n").encode(), namen, ("\n".join(eingabe) + "\n").encode()


def faelle(anzahl, grundseed):
    ergebnis = []
    grosse = {int(k * anzahl / len(GROSSE_NETZE)) + 10: g for k, g in enumerate(GROSSE_NETZE)} if anzahl >= 60 else {}
    for nummer in range(anzahl):
        seed = grundseed * 1_000_003 + nummer
        r = random.Random(seed)
        if nummer in grosse:
            n = grosse[nummer]
            nummern = n % 2 == 1
            netz, namen, eingabe = grosses_netz(r, n, nummern)
            modi = ["k"] if r.random() < 0.6 else ["d", str(n - 10)]
            if r.random() < 0.5:
                modi += ["P", "50"]
            optionen = ["--state", "--log", "--spikes", "spikes.csv", "--steps", "4"]
            if "P" in modi:
                optionen += ["--seed", str(r.randrange(2 ** 64))]
            ergebnis.append(Fall(nummer, seed, "large", "g.nec" if nummern else "g.net", netz, eingabe, modi,
                                 optionen, n, grenze=300.0))
            continue
        rest = nummer % 25
        nummern = r.random() < 0.4
        ohne = False
        fehler = False
        if rest == 0:
            art = "empty"
        elif rest in (1, 13):
            art, fehler = "faulty", True
        elif rest == 2:
            art, ohne = "no connections", True
        elif rest in (3, 4, 5):
            art = "tiny"
        elif rest in (6, 19):
            art = "medium"
        else:
            art = "small"
        if art == "empty":
            n = 0
            nummern = r.random() < 0.3
            netz = r.choice([b"", b"{ nichts\n\n", b" Kommentar\n"])
            if nummern:
                netz = b"$ 0\n" + netz
            namen = []
        else:
            n = {"tiny": r.randint(1, 3), "medium": r.randint(100, 300), "small": r.randint(4, 40),
                 "no connections": r.randint(1, 30), "faulty": r.randint(1, 20)}[art]
            netz, namen = zufallsnetz(r, n, nummern, ohne_verbindungen=ohne, fehlerhaft=fehler)
        takte = r.randint(5, 80)
        eingabe = zufallseingabe(r, namen, takte)
        modi, optionen = modi_und_optionen(r, namen, takte)
        ergebnis.append(Fall(nummer, seed, art, "z.nec" if nummern else "z.net", netz, eingabe, modi, optionen, n))
    return ergebnis


def beispielfaelle(start):
    def lesen(name):
        with open(os.path.join(BEISPIELE, name), "rb") as f:
            return f.read()

    liste = [("lernen.net", "lernen.ein", [], []), ("lernen.net", "lernen.ein", ["k"], ["--steps", "3"]),
             ("lernen.net", "lernen.ein", ["k", "P", "50", "x", "2"], ["--seed", "11"]),
             ("lernen.net", "lernen.ein", ["P", "100"], ["--runs", "2", "--steps", "5", "--seed", "3"]),
             ("nummern.nec", "nummern.ein", ["k"], ["--runs", "1", "--steps", "2"]),
             ("nummern.nec", "nummern.ein", [], []),
             ("gross.net", "gross.ein", ["k", "P", "50"], ["--seed", "7"]),
             ("gross.net", "gross.ein", ["m", "3"], ["--runs", "2"])]
    faelle_ = []
    for k, (netz, eingabe, modi, optionen) in enumerate(liste):
        f = Fall(start + k, 0, f"example {netz}", netz, lesen(netz), lesen(eingabe), modi,
                 ["--state", "--log", "--spikes", "spikes.csv"] + optionen, -1)
        f.eingabename = eingabe
        faelle_.append(f)
    return faelle_


# -------------------------------------------------------------- running

def arbeitsordner(basis, name, fall):
    ordner = os.path.join(basis, name)
    os.makedirs(ordner)
    with open(os.path.join(ordner, fall.netzname), "wb") as f:
        f.write(fall.netz)
    with open(os.path.join(ordner, fall.eingabename), "wb") as f:
        f.write(fall.eingabe)
    return ordner


def pruefen(fall, a, basis, zaehler):
    """One net: the one-process run, then every process count and thread count."""
    fallbasis = os.path.join(basis, f"netz{fall.nummer}")
    ausser = {fall.netzname, fall.eingabename}
    fehler = []
    ordner = arbeitsordner(fallbasis, "einzeln", fall)
    ein = vergleich.starten([a.batch] + fall.argumente(1), ordner, ausser, fall.grenze)
    if ein.status is None:
        fehler.append(f"{fall.beschreibung()}: velkor-batch itself ran past {fall.grenze:.0f} s")
    elif ein.status < 0 or ein.status > 4:
        fehler.append(f"{fall.beschreibung()}: velkor-batch ended with status {ein.status}: "
                      f"{ein.fehler[-300:].decode(errors='replace')}")
    if fall.zellen >= 2 * 16384 and ein.status is not None:
        # one process on two threads: the reference of the MPI runs on two threads
        ordner2 = arbeitsordner(fallbasis, "einzeln2", fall)
        ein2 = vergleich.starten([a.batch] + fall.argumente(2), ordner2, ausser, fall.grenze)
        for u in vergleich.unterschiede(ein, ein2, prozessstatus_pruefen=False):
            fehler.append(f"{fall.beschreibung()}: velkor-batch --threads 2 against --threads 1: {u}")
    for prozesse in a.prozesse:
        for faeden in a.faeden:
            ordner = arbeitsordner(fallbasis, f"np{prozesse}t{faeden}", fall)
            mpi = vergleich.mpi_starten(a.mpirun, prozesse, a.mpi, fall.argumente(faeden), ordner, ausser,
                                        fall.grenze, os.path.join(fallbasis, f"status{prozesse}t{faeden}"),
                                        umgebung=a.umgebung)
            u = vergleich.unterschiede(ein, mpi, prozessstatus_pruefen=not a.ohne_prozessstatus)
            zaehler["laeufe"] += 1
            zaehler["mpi_zeit"] += mpi.dauer
            if u:
                zaehler["fehler"] += 1
                for text in u:
                    fehler.append(f"{fall.beschreibung()}: N={prozesse} threads={faeden}: {text}")
            else:
                zaehler["gut"] += 1
            if ein.status is not None:
                zaehler.setdefault("status", {}).setdefault(ein.status, 0)
                zaehler["status"][ein.status] += 1
    if fehler:
        for text in fehler:
            print("FAIL " + text, flush=True)
        if a.behalten_bei_fehler:
            print(f"     working directories kept in {fallbasis}", flush=True)
        else:
            shutil.rmtree(fallbasis, ignore_errors=True)
    else:
        shutil.rmtree(fallbasis, ignore_errors=True)
    return not fehler


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    vergleich.programmoptionen(p)
    p.add_argument("--netze", type=int, default=200, help="random nets (default 200)")
    p.add_argument("--seed", type=int, default=1)
    p.add_argument("--nur", type=int, nargs="*", help="only these net numbers")
    p.add_argument("--ohne-beispiele", action="store_true", help="without the bundled examples")
    p.add_argument("--prozesse", default="1,2,3,4")
    p.add_argument("--faeden", default="1,2")
    p.add_argument("--arbeit", help="folder for the working directories (default: a temporary one)")
    p.add_argument("--behalten-bei-fehler", action="store_true",
                   help="keep the working directories of a net that failed")
    p.add_argument("--liste", action="store_true", help="print the nets and their runs, run nothing")
    a = p.parse_args()
    if not a.liste and (not a.mpi or not a.batch):
        p.error("--mpi and --batch (or VELKOR_BATCH_MPI and VELKOR_BATCH) are needed")
    a.prozesse = [int(x) for x in a.prozesse.split(",")]
    a.faeden = [int(x) for x in a.faeden.split(",")]
    if a.mpi:
        a.mpi = os.path.abspath(a.mpi)
    if a.batch:
        a.batch = os.path.abspath(a.batch)
    a.umgebung = vergleich.mpi_umgebung(a.standard_pml)

    liste = faelle(a.netze, a.seed)
    if not a.ohne_beispiele:
        liste += beispielfaelle(a.netze)
    if a.nur:
        liste = [f for f in liste if f.nummer in a.nur]
    if a.liste:
        for f in liste:
            print(f.beschreibung())
        return 0

    beginn = time.monotonic()
    basis = a.arbeit or tempfile.mkdtemp(prefix="velkor-mpi-")
    os.makedirs(basis, exist_ok=True)
    zaehler = {"laeufe": 0, "gut": 0, "fehler": 0, "mpi_zeit": 0.0}
    netze_fehler = 0
    try:
        for f in liste:
            if not pruefen(f, a, basis, zaehler):
                netze_fehler += 1
    finally:
        if not a.arbeit and not a.behalten_bei_fehler:
            shutil.rmtree(basis, ignore_errors=True)
    dauer = time.monotonic() - beginn
    status = ", ".join(f"{k}: {v}" for k, v in sorted(zaehler.get("status", {}).items()))
    print(f"{len(liste)} nets, {netze_fehler} with differences; {zaehler['laeufe']} MPI runs "
          f"({zaehler['mpi_zeit']:.0f} s of them), exit statuses of the runs {{{status}}}; {dauer:.0f} s in all")
    print(f"{zaehler['gut']} passed, {zaehler['fehler']} failed")
    return 1 if zaehler["fehler"] or netze_fehler else 0


if __name__ == "__main__":
    sys.exit(main())

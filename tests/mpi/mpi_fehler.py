#!/usr/bin/python3
"""velkor-batch-mpi on bad input and bad options, on 3 processes: every case
of the bad-input table and of the exit statuses that concern files and
options. Each case runs once with velkor-batch and once under
`mpirun -np 3` in a working directory of its own, prepared the same way; the
exit status, stdout (without the timing figures), stderr and the files left
must be the same, every process must end with that status and none may run
past the time limit. The one-process run is held to the status (and the
message) that the README gives for the case.

    /usr/bin/python3 tests/mpi/mpi_fehler.py --mpi build/release/velkor-batch-mpi \
        --batch build/release/velkor-batch [--nur NAME ...]

Missing read permission bites only a user without CAP_DAC_OVERRIDE: as root
those cases run as nobody (setpriv), and are skipped with a note where that
is not possible."""

import argparse
import os
import random
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import vergleich  # noqa: E402

NETZ = "z A 1 1\ns 1\na 0.5\nr 2\nc B 0.7 1\nc C -0.4 2\nz B 1 5\ns 1\nc C 1.1 0\nz C 3 5\ns 0.8\nr 1\n"
EINGABE = "A 0\nA 3 B 4\n*** 5\nC 7\nA 9 .\n"
FORMATFEHLER = ("Schwerer Netzdateifehler: Falsches Zeichen auf Position 1 einer Zeile. "
                "Programm wird beendet.")
ZU_WENIG = "Weniger als 3 Kommandozeilenparameter, Programm wird beendet"


def binaer(seed, laenge, erstes):
    r = random.Random(seed)
    return bytes([erstes]) + bytes(r.randrange(256) for _ in range(laenge - 1))


class Fall:
    """name; files to lay out (name -> bytes, or a callable that makes the
    entry); the arguments; the status and a piece of stderr the README gives."""

    def __init__(self, name, dateien, argumente, status, meldung=None, als_nobody=False, umgebung=None):
        self.name = name
        self.dateien = dateien
        self.argumente = argumente
        self.status = status
        self.meldung = meldung
        self.als_nobody = als_nobody
        self.umgebung = umgebung or {}


def verzeichnis(pfad):
    os.mkdir(pfad)


def symlink_nach(ziel):
    return lambda pfad: os.symlink(ziel, pfad)


def ohne_rechte(inhalt):
    def machen(pfad):
        with open(pfad, "wb") as f:
            f.write(inhalt)
        os.chmod(pfad, 0)
    return machen


def std(**weitere):
    d = {"n.net": NETZ.encode(), "e.ein": EINGABE.encode()}
    d.update(weitere)
    return d


def faelle():
    lang = "x" * 100_000
    n = NETZ.encode()
    e = EINGABE.encode()
    liste = [
        # the net file
        Fall("net missing", std(), ["T", "fehlt.net", "e.ein"], 4, "fehlt.net: Datei oder Verzeichnis nicht gefunden"),
        Fall("net is a directory", std(d=verzeichnis), ["T", "d", "e.ein"], 4, "d: Ist ein Verzeichnis"),
        Fall("net without read permission", std(**{"r.net": ohne_rechte(n)}), ["--state", "T", "r.net", "e.ein"], 4,
             "r.net: Keine Berechtigung", als_nobody=True),
        Fall("net binary", std(**{"b.net": binaer(1, 4096, 0x89)}), ["T", "b.net", "e.ein"], 3, FORMATFEHLER),
        Fall("net binary, NUL first", std(**{"b.net": binaer(2, 1000, 0)}), ["--state", "T", "b.net", "e.ein"], 3,
             FORMATFEHLER),
        Fall("net empty", std(**{"l.net": b""}), ["--state", "--log", "T", "l.net", "e.ein"], 0),
        Fall("net only comments", std(**{"l.net": b"{ nichts\n\n \n{\n"}), ["--state", "--log", "T", "l.net", "e.ein"],
             0),
        Fall("net lines of 100 000 characters", std(**{"g.net": ("{ " + lang + "\nz A 1 1 " + lang + "\ns 1\n"
                                                                  "c A 0.5 1 " + lang + "\n").encode()}),
             ["--state", "--log", "T", "g.net", "e.ein"], 0),
        Fall("net last line without line end", std(**{"o.net": n.rstrip(b"\n")}),
             ["--state", "--log", "T", "o.net", "e.ein"], 0),
        Fall("net CR LF", std(**{"c.net": n.replace(b"\n", b"\r\n")}), ["--state", "--log", "T", "c.net", "e.ein"], 0),
        Fall("net byte order mark", std(**{"b.net": b"\xef\xbb\xbf" + n}), ["--state", "--log", "T", "b.net", "e.ein"],
             0),
        Fall("net NUL as first character", std(**{"z.net": n + b"\0 x\n"}), ["T", "z.net", "e.ein"], 3, FORMATFEHLER),
        Fall("net NUL inside a name", std(**{"z.net": n + b"z D\0x 2 2\ns 1\n"}),
             ["--state", "--spikes", "s.csv", "T", "z.net", "e.ein"], 0),
        Fall("numbered header count wrong", std(**{"h.nec": b"$ 4\nz A\nc 1 1.0 1\nz B\n"}),
             ["--state", "T", "h.nec", "e.ein"], 1, "Netzfehler"),
        Fall("numbered header count missing", std(**{"h.nec": b"$\nz A\nc 1 1.0 1\nz B\n"}),
             ["--state", "--log", "T", "h.nec", "e.ein"], 1, "Netzfehler"),
        Fall("numbered header count negative", std(**{"h.nec": b"$ -2\nz A\nc 1 1.0 1\nz B\n"}),
             ["T", "h.nec", "e.ein"], 1, "Netzfehler"),
        Fall("numbered target outside the table", std(**{"h.nec": b"$ 2\nz A\nc 2 1.0 1\nz B\nc -5 1 1\n"}),
             ["--state", "--spikes", "s.csv", "T", "h.nec", "e.ein"], 1, "Netzfehler"),
        Fall("connection to a missing cell", std(**{"m.net": n + b"c Fehlt 1 1\nc X 2 2\n"}),
             ["--state", "--log", "--runs", "2", "--steps", "3", "T", "m.net", "e.ein"], 1, "Netzfehler"),
        Fall("malformed numbers, nan, inf, 1e999", std(**{"k.net": b"z A 1x 2,5\ns nan\na 1e999\nr $1F\n"
                                                               b"c B inf -2,5\nc A 1.5x 0x2\nz B $2 X3\ns -inf\n"
                                                               b"a 0.5.5\nc A -1e999 1\n"}),
             ["--state", "--log", "--spikes", "s.csv", "T", "k.net", "e.ein", "k"], 0),
        # the input file
        Fall("input missing", std(), ["--state", "T", "n.net", "fehlt.ein"], 4,
             "fehlt.ein: Datei oder Verzeichnis nicht gefunden"),
        Fall("input is a directory", std(d=verzeichnis), ["--log", "T", "n.net", "d"], 4, "d: Ist ein Verzeichnis"),
        Fall("input without read permission", std(**{"r.ein": ohne_rechte(e)}), ["T", "n.net", "r.ein"], 4,
             "r.ein: Keine Berechtigung", als_nobody=True),
        Fall("input binary", std(**{"b.ein": binaer(3, 3000, ord("A"))}),
             ["--state", "--log", "--spikes", "s.csv", "T", "n.net", "b.ein"], 0),
        Fall("input empty", std(**{"l.ein": b""}), ["--state", "--log", "--steps", "3", "T", "n.net", "l.ein"], 0),
        Fall("input lines of 100 000 characters", std(**{"g.ein": ("A 0 " + lang + "\n B 1 " + lang + "\nB 2\n")
                                                         .encode()}),
             ["--state", "--log", "T", "n.net", "g.ein"], 0),
        Fall("input last line without line end", std(**{"o.ein": b"A 0\nB 2\nC 4"}),
             ["--log", "--spikes", "s.csv", "T", "n.net", "o.ein"], 0),
        Fall("input CR LF", std(**{"c.ein": e.replace(b"\n", b"\r\n")}), ["--log", "T", "n.net", "c.ein", "k"], 0),
        Fall("input byte order mark", std(**{"b.ein": b"\xef\xbb\xbf" + e}), ["--log", "T", "n.net", "b.ein", "k"], 0),
        Fall("input NUL bytes", std(**{"z.ein": b"A\0 0\nB 1\0\nC 3\n"}), ["--log", "T", "n.net", "z.ein", "k"], 0),
        # the command line
        Fall("no parameters", std(), [], 2, ZU_WENIG),
        Fall("one parameter", std(), ["T"], 2, ZU_WENIG),
        Fall("two parameters", std(), ["--state", "T", "n.net"], 2, ZU_WENIG),
        Fall("unknown option", std(), ["--foo", "T", "n.net", "e.ein"], 2, "unknown option --foo"),
        Fall("value to a switch", std(), ["--state=1", "T", "n.net", "e.ein"], 2, "unknown option --state=1"),
        Fall("option value missing", std(), ["--runs"], 2, "option --runs needs a value"),
    ]
    for option, wert in [("--runs", "-1"), ("--runs", "x"), ("--steps", "-2"), ("--threads", "0"),
                         ("--threads", "1025"), ("--size", "199x200"), ("--size", "300x10001"), ("--seed", "-1"),
                         ("--break-step", "-1"), ("--explain", "A"), ("--explain", "@3"), ("--spikes", ""),
                         ("--png", ""), ("--break-fires", "")]:
        liste.append(Fall(f"bad value {option} {wert!r}", std(), [option, wert, "--state", "T", "n.net", "e.ein"], 2,
                          f'bad value for {option}: "{wert}"'))
    liste += [
        Fall("--threads 1024 is allowed", std(), ["--threads", "1024", "--state", "T", "n.net", "e.ein"], 0),
        Fall("empty net name", std(), ["--state", "T", "", "e.ein"], 2, "keine Netzdatei geöffnet"),
        Fall("empty input name", std(), ["--state", "--log", "T", "n.net", ""], 2, "keine Eingabedatei geöffnet"),
        Fall("--break-fires of no cell", std(), ["--break-fires", "Q", "--state", "T", "n.net", "e.ein"], 2,
             '--break-fires: no cell "Q"'),
        Fall("--explain of no cell", std(), ["--explain", "Q@2", "T", "n.net", "e.ein"], 2, '--explain: no cell "Q"'),
        Fall("--explain of a step not run", std(), ["--explain", "A@50", "--state", "T", "n.net", "e.ein"], 2,
             "--explain: time step 50 was not run"),
        Fall("--explain of a step run", std(), ["--explain", "B@4", "--json", "--explain", "C@1", "T", "n.net",
                                                "e.ein"], 0),
        Fall("--help", std(), ["--help"], 0),
        Fall("--version", std(), ["--version", "T", "n.net", "e.ein"], 0),
        Fall("-- before a title that looks like an option", std(), ["--state", "--", "--T", "n.net", "e.ein"], 0),
        # the output files
        Fall('"protok.txt" is a directory', std(**{"protok.txt": verzeichnis}), ["--state", "T", "n.net", "e.ein"], 4,
             "protok.txt: Ist ein Verzeichnis"),
        Fall('"protok.txt" is a directory, empty net name', std(**{"protok.txt": verzeichnis}), ["T", "", "e.ein"],
             4, "protok.txt: Ist ein Verzeichnis"),
        Fall('"zustand.txt.tmp" is a directory', std(**{"zustand.txt.tmp": verzeichnis}),
             ["--state", "--log", "T", "n.net", "e.ein"], 4, "zustand.txt"),
        Fall('"zustand.txt" is a directory', std(**{"zustand.txt": verzeichnis}),
             ["--state", "--spikes", "s.csv", "T", "n.net", "e.ein"], 4, "zustand.txt"),
        Fall('"zustand.txt" on a full disk', std(**{"zustand.txt.tmp": symlink_nach("/dev/full"),
                                                    "zustand.txt": b"alter Zustand\n"}),
             ["--state", "T", "n.net", "e.ein"], 4, "zustand.txt: Kein Platz mehr auf dem Datenträger"),
        Fall('"zustand.txt" not writable, faulty net', std(**{"zustand.txt": verzeichnis,
                                                              "m.net": n + b"c Fehlt 1 1\n"}),
             ["--state", "T", "m.net", "e.ein"], 4, "zustand.txt"),
        Fall('"logfile.txt" is a directory', std(**{"logfile.txt": verzeichnis}),
             ["--log", "--state", "T", "n.net", "e.ein"], 4, "logfile.txt: Ist ein Verzeichnis"),
        Fall('"logfile.txt" on a full disk', std(**{"logfile.txt": symlink_nach("/dev/full")}),
             ["--log", "--state", "T", "n.net", "e.ein"], 4, "logfile.txt: Kein Platz mehr auf dem Datenträger"),
        Fall("--spikes to a directory", std(d=verzeichnis), ["--spikes", "d", "--state", "T", "n.net", "e.ein"], 4,
             "d: Ist ein Verzeichnis"),
        Fall("--spikes into a missing directory", std(), ["--spikes", "fehlt/s.csv", "T", "n.net", "e.ein"], 4,
             "fehlt/s.csv: Datei oder Verzeichnis nicht gefunden"),
        Fall("--spikes on a full disk", std(), ["--spikes", "/dev/full", "--state", "T", "n.net", "e.ein"], 4,
             "/dev/full: Kein Platz mehr auf dem Datenträger"),
        Fall('"bild.pcl" is a directory', std(**{"bild.pcl": verzeichnis}),
             ["--picture", "--state", "T", "n.net", "e.ein"], 4, "bild.pcl: Ist ein Verzeichnis"),
        Fall('"bild.bmp" is a directory', std(**{"bild.bmp": verzeichnis}),
             ["--picture", "T", "n.net", "e.ein", "c"], 4, "bild.bmp: Ist ein Verzeichnis"),
        Fall("--png to a directory", std(d=verzeichnis), ["--png", "d", "--log", "T", "n.net", "e.ein", "V"], 4,
             "d: Ist ein Verzeichnis"),
        Fall("a missing input file beside an unwritable log", std(**{"logfile.txt": verzeichnis}),
             ["--log", "T", "n.net", "fehlt.ein"], 4, "fehlt.ein: Datei oder Verzeichnis nicht gefunden"),
    ]
    return liste


# Cases of the exit-status table that mpirun itself makes unreachable.
NICHT_PRUEFBAR = [
    ("standard output cannot be written",
     "mpirun forwards the processes' stdout through its own pipes and drops what it cannot write, "
     "so the program never sees the failing write"),
    ("working directory in which nothing can be created",
     "mpirun ends before any process starts when its working directory is gone, and root writes "
     "into a directory without write permission"),
]


def nobody_vorsatz():
    """The command prefix that runs as nobody, or None where none is needed
    (not root) or possible."""
    if os.geteuid() != 0:
        return []
    setpriv = shutil.which("setpriv")
    if not setpriv:
        return None
    return [setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"]


def anlegen(ordner, fall, offen_fuer_alle):
    os.makedirs(ordner)
    if offen_fuer_alle:
        os.chmod(ordner, 0o777)
    for name, inhalt in fall.dateien.items():
        pfad = os.path.join(ordner, name)
        if callable(inhalt):
            inhalt(pfad)
        else:
            with open(pfad, "wb") as f:
                f.write(inhalt)


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    vergleich.programmoptionen(p)
    p.add_argument("--prozesse", type=int, default=3)
    p.add_argument("--zeitgrenze", type=float, default=60.0, help="seconds per run (default 60)")
    p.add_argument("--nur", nargs="*", help="only the cases whose name contains one of these texts")
    p.add_argument("--streng", action="store_true",
                   help="count velkor-batch's own departures from the README as failures")
    a = p.parse_args()
    if not a.mpi or not a.batch:
        p.error("--mpi and --batch (or VELKOR_BATCH_MPI and VELKOR_BATCH) are needed")
    mpi = os.path.abspath(a.mpi)
    batch = os.path.abspath(a.batch)
    umgebung = vergleich.mpi_umgebung(a.standard_pml)
    # Pictures without a display.
    umgebung.setdefault("QT_QPA_PLATFORM", "offscreen")

    liste = faelle()
    if a.nur:
        liste = [f for f in liste if any(t in f.name for t in a.nur)]
    beginn = time.monotonic()
    basis = tempfile.mkdtemp(prefix="velkor-mpi-fehler-")
    os.chmod(basis, 0o755)
    gut = schlecht = uebersprungen = notizen = 0
    try:
        for k, fall in enumerate(liste):
            vorsatz = []
            if fall.als_nobody:
                vorsatz = nobody_vorsatz()
                if vorsatz is None:
                    print(f"SKIP {fall.name}: root reads the file anyway and setpriv is missing")
                    uebersprungen += 1
                    continue
            fallordner = os.path.join(basis, f"fall{k}")
            os.makedirs(fallordner)
            os.chmod(fallordner, 0o755)
            offen = bool(vorsatz)
            eigene = dict(umgebung, **fall.umgebung)
            if offen:
                # Open MPI as nobody needs a home and a temporary folder it may write.
                eigene["HOME"] = fallordner
                frei = os.path.join(fallordner, "tmp")
                os.makedirs(frei)
                os.chmod(frei, 0o1777)
                eigene["TMPDIR"] = frei
            ausser = set()  # the files laid out too: a run must leave them as they were
            ein_ordner = os.path.join(fallordner, "einzeln")
            anlegen(ein_ordner, fall, offen)
            ein = vergleich.starten(vorsatz + [batch] + fall.argumente, ein_ordner, ausser, a.zeitgrenze,
                                    umgebung=eigene)
            if fall.als_nobody and ein.status == 0:
                print(f"SKIP {fall.name}: the permissions do not bite for this user")
                uebersprungen += 1
                continue
            # velkor-batch against the README: its own tests guard it, here it is
            # a note unless --streng, as the case is about the MPI program.
            einzeln = []
            if ein.status != fall.status:
                einzeln.append(f"exit status {ein.status}, the README gives {fall.status} "
                               f"(stderr {ein.fehler[:200]!r})")
            if fall.meldung and fall.meldung.encode() not in ein.fehler:
                einzeln.append(f"stderr {ein.fehler[:300]!r} lacks {fall.meldung!r}")
            for text in einzeln:
                print(f"{'FAIL' if a.streng else 'NOTE'} {fall.name}: velkor-batch itself: {text}", flush=True)
            notizen += len(einzeln)
            probleme = list(einzeln) if a.streng else []
            mpi_ordner = os.path.join(fallordner, "mpi")
            anlegen(mpi_ordner, fall, offen)
            statusordner = os.path.join(fallordner, "status")
            os.makedirs(statusordner)
            os.chmod(statusordner, 0o777)
            lauf = vergleich.mpi_starten(a.mpirun, a.prozesse, mpi, fall.argumente, mpi_ordner, ausser,
                                         a.zeitgrenze, statusordner, vorsatz=vorsatz, umgebung=eigene)
            probleme += vergleich.unterschiede(ein, lauf, prozessstatus_pruefen=not a.ohne_prozessstatus)
            if probleme:
                schlecht += 1
                for text in probleme:
                    print(f"FAIL {fall.name}: {vergleich.zitat(fall.argumente)}: {text}", flush=True)
            else:
                gut += 1
                print(f"ok   {fall.name} (status {ein.status}, {lauf.dauer:.1f} s)", flush=True)
    finally:
        for wurzel, ordner, _ in os.walk(basis):
            for name in ordner:
                try:
                    os.chmod(os.path.join(wurzel, name), 0o755)
                except OSError:
                    pass
        shutil.rmtree(basis, ignore_errors=True)
    for name, grund in NICHT_PRUEFBAR:
        print(f"SKIP {name}: {grund}")
        uebersprungen += 1
    print(f"{len(liste)} cases on {a.prozesse} processes, {time.monotonic() - beginn:.0f} s; "
          f"{notizen} notes on velkor-batch itself")
    print(f"{gut} passed, {schlecht} failed, {uebersprungen} skipped")
    return 1 if schlecht else 0


if __name__ == "__main__":
    sys.exit(main())

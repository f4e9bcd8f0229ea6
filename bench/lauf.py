#!/usr/bin/python3
"""Speed comparison of velkor-batch with Brian2 on the nets of netzgen.

    /usr/bin/python3 bench/lauf.py --build BUILDDIR [--daten DIR] [--sizes 1e4,1e5,1e6]
                                   [--lernen 1e5] [--p50 1e5] [--threads 1,2] [--ohne-brian]
                                   [--brian-installieren] [--wiederholungen 3] [--md DATEI]

For every size it generates the net (once; DIR/n<size>), then runs in the
same run of this script:
  - velkor-batch --stats --runs 1 on the name form (load time, time steps/s,
    peak memory),
  - velkor-batch --stats --runs 0 on the numbered form (its load time),
  - the same net in Brian2's C++ standalone target (brian2_netz.py), where
    Brian2 is installed (Debian: apt-get install python3-brian; with
    --brian-installieren the script installs it),
and prints a table in Markdown. --lernen adds the variant in which every
connection learns (velkor only; Brian2 has no such rule here), --p50 the
plain net at P 50 with a fixed seed (velkor only: spikes stall at random).
Every net runs with each count of --threads (velkor-batch --threads N;
Brian2 with N OpenMP threads, without OpenMP for 1).
Every measurement is made --wiederholungen times, for both simulators alike,
and the best is reported (most time steps per second, shortest load, the
highest peak memory): on a shared machine single runs vary by a quarter. The
runs of velkor take turns over the thread counts, and each reports the share
of the machine's time its host took away meanwhile ("steal", from
/proc/stat; load and run together), for the best run of each row.
Nets of 10^6 cells need about 2 GB of disk per form and Brian2 about 8 GB of
memory there; use --sizes to run a part.
"""

import argparse
import os
import platform
import re
import subprocess
import sys
import time

SCHRITTE = {10**4: 2000, 10**5: 300, 10**6: 40}
VERBINDUNGEN = 100


def groesse(text):
    return int(float(text))


def erzeugen(netzgen, ziel, zellen, lernen):
    if os.path.exists(os.path.join(ziel, "eingabe.ein")):
        return
    schritte = SCHRITTE.get(zellen, 300)
    befehl = [netzgen, "--zellen", str(zellen), "--verbindungen", str(VERBINDUNGEN),
              "--schritte", str(schritte), "--ziel", ziel]
    if lernen:
        befehl.append("--lernen")
    subprocess.run(befehl, check=True)


def statistik(ausgabe):
    letzte = ausgabe.strip().splitlines()[-1]
    return {k: float(v) for k, v in re.findall(r"(\w+)=([0-9.]+)", letzte)}


def ausgeben(text, md):
    """Prints the table and appends it to the Markdown file `md`, if one is named."""
    print(text)
    if md:
        with open(md, "a") as f:
            f.write("\n" + text)


def prozessor():
    """The CPU's model name (the results differ from machine to machine), else the architecture."""
    try:
        with open("/proc/cpuinfo") as f:
            for zeile in f:
                if zeile.startswith("model name"):
                    return "%s (%s)" % (zeile.split(":", 1)[1].strip(), platform.machine())
    except OSError:
        pass
    return platform.processor() or platform.machine()


def cpuZeiten():
    """The machine's CPU times (jiffies): all, and stolen by the host of a virtual machine."""
    try:
        with open("/proc/stat") as f:
            werte = [int(x) for x in f.readline().split()[1:]]
    except OSError:
        return None
    return sum(werte[:8]), werte[7] if len(werte) > 7 else 0


def velkor(batch, verzeichnis, netz, laeufe, faeden=1, modus=()):
    arbeit = os.path.join(verzeichnis, "lauf")
    os.makedirs(arbeit, exist_ok=True)
    befehl = [batch, "--stats", "--runs", str(laeufe), "--threads", str(faeden), "--seed", "1", "bench",
              os.path.join(verzeichnis, netz), os.path.join(verzeichnis, "eingabe.ein")] + list(modus)
    vorher = cpuZeiten()
    ergebnis = subprocess.run(befehl, cwd=arbeit, capture_output=True, text=True)
    nachher = cpuZeiten()
    if ergebnis.returncode != 0:
        sys.exit("velkor-batch failed: " + ergebnis.stderr)
    werte = statistik(ergebnis.stdout)
    # velkor-batch rounds its rate to whole steps; a 40-step run needs the decimals.
    if werte.get("run_s", 0) > 0 and "steps" in werte:
        werte["steps_per_s"] = werte["steps"] / werte["run_s"]
    # The share of the machine's time that its host took away meanwhile (load and run).
    if vorher and nachher and nachher[0] > vorher[0]:
        werte["steal"] = 100.0 * (nachher[1] - vorher[1]) / (nachher[0] - vorher[0])
    return werte


def brianInstallieren():
    try:
        import brian2  # noqa: F401
        return
    except ImportError:
        pass
    als_root = [] if os.geteuid() == 0 else ["sudo"]
    subprocess.run(als_root + ["apt-get", "update"], check=True)
    subprocess.run(als_root + ["apt-get", "install", "-y", "--no-install-recommends", "python3-brian", "g++"],
                   check=True)


def brian(verzeichnis, zellen, faeden=1):
    try:
        import brian2  # noqa: F401
    except ImportError:
        return None
    skript = os.path.join(os.path.dirname(os.path.abspath(__file__)), "brian2_netz.py")
    arbeit = os.path.join(verzeichnis, "brian2" if faeden == 1 else "brian2-t%d" % faeden)
    ergebnis = subprocess.run([sys.executable, skript, verzeichnis, str(SCHRITTE.get(zellen, 300)), arbeit,
                               str(faeden)], capture_output=True, text=True)
    zeilen = [z for z in ergebnis.stdout.splitlines() if z.startswith("brian2 ")]
    if ergebnis.returncode != 0 or not zeilen:
        print("brian2 failed:\n" + ergebnis.stderr[-2000:], file=sys.stderr)
        return None
    return {k: float(v) for k, v in re.findall(r"(\w+)=([0-9.]+)", zeilen[-1])}


def zeile(name, zellen, faeden, v, n, b, eins):
    verbindungen = zellen * VERBINDUNGEN
    pro = v["peak_rss_mb"] * 1024 * 1024 / verbindungen
    if b:
        brian_text = "%.1f | %.1f | %.0f | %.1f %% | %.2f" % (b["steps_per_s"], b["setup_s"], b["peak_rss_mb"],
                                                              100 * b["firing"], v["steps_per_s"] / b["steps_per_s"])
    else:
        brian_text = "— | — | — | — | —"
    gewinn = "%.2f" % (v["steps_per_s"] / eins["steps_per_s"]) if eins else "—"
    steal = "%.0f" % v["steal"] if "steal" in v else "—"
    return "| %s | %d (%d) | %d | %.1f | %s | %s | %.2f / %.2f | %.0f | %.1f | %s |" % (
        name, faeden, int(v.get("threads", 1)), int(v["steps"]), v["steps_per_s"], gewinn, steal, v["load_s"],
        n["load_s"], v["peak_rss_mb"], pro, brian_text)


def main():
    a = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    a.add_argument("--build", required=True, help="build directory with velkor-batch and bench/netzgen")
    a.add_argument("--daten", default=os.path.join(os.path.expanduser("~"), "velkor-bench"),
                   help="where the nets are generated (outside the repo; default ~/velkor-bench)")
    a.add_argument("--sizes", default="1e4,1e5,1e6")
    a.add_argument("--lernen", default="1e5", help="size of the learning variant; empty for none")
    a.add_argument("--p50", default="1e5", help="size of the variant at P 50 (seeded); empty for none")
    a.add_argument("--threads", default="1,2", help="thread counts, each measured")
    a.add_argument("--ohne-brian", action="store_true")
    a.add_argument("--brian-installieren", action="store_true", help="install python3-brian with apt-get if missing")
    a.add_argument("--wiederholungen", type=int, default=3, help="runs per measurement; the best counts")
    a.add_argument("--md", help="append the table to this file")
    o = a.parse_args()

    if o.brian_installieren and not o.ohne_brian:
        brianInstallieren()
    batch = os.path.abspath(os.path.join(o.build, "velkor-batch"))
    netzgen = os.path.join(o.build, "bench", "netzgen")
    laeufe = [(groesse(s), False, False) for s in o.sizes.split(",") if s]
    if o.lernen:
        laeufe.append((groesse(o.lernen), True, False))
    if o.p50:
        laeufe.append((groesse(o.p50), False, True))
    fadenzahlen = [int(t) for t in o.threads.split(",") if t]

    kopf = ["| net | threads (used) | steps | velkor steps/s | × 1 thread | steal % | load s (name / numbered) "
            "| peak RSS MB | bytes/conn | Brian2 steps/s | Brian2 setup s | Brian2 peak RSS MB "
            "| Brian2 cells firing per step | velkor / Brian2 |",
            "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"]
    zeilen = []
    for zellen, lernen, p50 in laeufe:
        name = "%.0e x %d%s" % (zellen, VERBINDUNGEN, ", learning" if lernen else ", P 50" if p50 else "")
        verzeichnis = os.path.join(o.daten, "n%.0e%s" % (zellen, "-lernen" if lernen else ""))
        print("== " + name, file=sys.stderr)
        erzeugen(netzgen, verzeichnis, zellen, lernen)
        wdh = max(1, o.wiederholungen)
        modus = ("P", "50") if p50 else ()
        eins = None
        # The thread counts take turns, so that a slow spell of a shared
        # machine falls on all of them alike.
        alle = {faeden: [] for faeden in fadenzahlen}
        for _ in range(wdh):
            for faeden in fadenzahlen:
                alle[faeden].append(velkor(batch, verzeichnis, "netz.net", 1, faeden, modus))
        for faeden in fadenzahlen:
            vs = alle[faeden]
            v = dict(max(vs, key=lambda x: x["steps_per_s"]))
            v["load_s"] = min(x["load_s"] for x in vs)
            v["peak_rss_mb"] = max(x["peak_rss_mb"] for x in vs)
            # The load does not depend on the threads: the numbered form once per net.
            if eins is None:
                n = min((velkor(batch, verzeichnis, "netz.nec", 0, faeden) for _ in range(wdh)),
                        key=lambda x: x["load_s"])
            b = None
            if not (o.ohne_brian or lernen or p50):
                bs = [x for x in (brian(verzeichnis, zellen, faeden) for _ in range(wdh)) if x]
                b = max(bs, key=lambda x: x["steps_per_s"]) if bs else None
            if eins is None:
                eins = v
            zeilen.append(zeile(name, zellen, faeden, v, n, b, eins))
            print(zeilen[-1], file=sys.stderr)

    kopf.insert(0, "%s, %s, %d cores, %s, best of %d runs each" % (
        time.strftime("%Y-%m-%d %H:%M"), prozessor(), os.cpu_count(),
        platform.platform(), max(1, o.wiederholungen)))
    text = "\n".join(kopf[:1] + [""] + kopf[1:] + zeilen) + "\n"
    ausgeben(text, o.md)


if __name__ == "__main__":
    main()

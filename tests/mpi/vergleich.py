"""What the two MPI tests share: running velkor-batch and velkor-batch-mpi in a
working directory, collecting what a run leaves (status, stdout, stderr and
every file of the working directory), and naming the first difference.

Each process of an MPI run is started through a small shell that writes its
status (and its pid, to end it after a time-out) into a folder outside the
working directory, so that a run whose processes end with different statuses
is caught although mpirun reports only one. Open MPI ends the other processes
as soon as one has ended with a status other than 0; those leave no status,
which is no fault (see unterschiede)."""

import os
import re
import shlex
import signal
import subprocess
import time
from dataclasses import dataclass, field

# The timing figures of the summary line and of the --stats line are the
# machine's; everything else of stdout must be the same.
_SUMMARY = re.compile(rb"^(-?\d+ time steps, zeittakt -?\d+, )[^,\n]+ s, [^,\n]+ time steps/s", re.M)
_STATS = re.compile(rb"(load_s|run_s|steps_per_s|peak_rss_mb)=[^ \n]+")


def maskieren(aus: bytes) -> bytes:
    aus = _SUMMARY.sub(rb"\1# s, # time steps/s", aus)
    return _STATS.sub(rb"\1=#", aus)


@dataclass
class Lauf:
    status: int | None  # None: ran past its time limit
    aus: bytes
    fehler: bytes
    dateien: dict  # path in the working directory -> bytes, or "<dir>" / "<link ...>"
    dauer: float
    prozessstatus: list = field(default_factory=list)  # per rank, MPI runs only
    prozesse: int = 1


def inhalt(ordner: str, ausser: set) -> dict:
    """Every entry of the working directory but the given input files."""
    ergebnis = {}
    for wurzel, ordnernamen, dateinamen in os.walk(ordner):
        rel = os.path.relpath(wurzel, ordner)
        for name in ordnernamen + dateinamen:
            pfad = os.path.join(wurzel, name)
            schluessel = name if rel == "." else os.path.join(rel, name)
            if schluessel in ausser:
                continue
            if os.path.islink(pfad):
                ergebnis[schluessel] = f"<link {os.readlink(pfad)}>"
            elif os.path.isdir(pfad):
                ergebnis[schluessel] = "<dir>"
            else:
                try:
                    with open(pfad, "rb") as f:
                        ergebnis[schluessel] = f.read()
                except OSError as e:
                    ergebnis[schluessel] = f"<unreadable: {e.strerror}>"
    return ergebnis


def _beenden(proc: subprocess.Popen, pidordner: str | None):
    """Ends a run past its limit: mpirun's process group, then every process
    of the job by the pids its shells wrote, and their children."""
    try:
        os.killpg(proc.pid, signal.SIGTERM)
    except ProcessLookupError:
        pass
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        proc.wait()
    if pidordner is None:
        return
    pids = []
    for name in os.listdir(pidordner):
        if name.endswith(".pid"):
            try:
                with open(os.path.join(pidordner, name)) as f:
                    pids.append(int(f.read().strip()))
            except (OSError, ValueError):
                pass
    for pid in pids:
        for kind in _kinder(pid):
            _toeten(kind)
        _toeten(pid)


def _kinder(pid: int) -> list:
    kinder = []
    for eintrag in os.listdir("/proc"):
        if not eintrag.isdigit():
            continue
        try:
            with open(f"/proc/{eintrag}/stat") as f:
                felder = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(felder[1]) == pid:
            kinder.append(int(eintrag))
    return kinder


def _toeten(pid: int):
    try:
        os.kill(pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def starten(befehl: list, ordner: str, ausser: set, zeitgrenze: float, pidordner: str | None = None,
            umgebung: dict | None = None) -> Lauf:
    beginn = time.monotonic()
    proc = subprocess.Popen(befehl, cwd=ordner, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, start_new_session=True, env=umgebung)
    try:
        aus, fehler = proc.communicate(timeout=zeitgrenze)
        status = proc.returncode
    except subprocess.TimeoutExpired:
        _beenden(proc, pidordner)
        aus, fehler = proc.communicate()
        status = None
    return Lauf(status, aus, fehler, inhalt(ordner, ausser), time.monotonic() - beginn)


# The shell around each process: its pid first, then the program, then its status.
_HUELLE = 'r=${OMPI_COMM_WORLD_RANK:-x}; echo $$ > "$0/$r.pid"; "$@"; s=$?; echo $s > "$0/$r.status"; exit $s'


def mpi_befehl(mpirun: str, prozesse: int, programm: str, argumente: list, statusordner: str) -> list:
    return [mpirun, "--oversubscribe", "--allow-run-as-root", "-q", "-np", str(prozesse),
            "/bin/sh", "-c", _HUELLE, statusordner, programm] + list(argumente)


def mpi_starten(mpirun: str, prozesse: int, programm: str, argumente: list, ordner: str, ausser: set,
                zeitgrenze: float, statusordner: str, vorsatz: list | None = None,
                umgebung: dict | None = None) -> Lauf:
    os.makedirs(statusordner, exist_ok=True)
    for name in os.listdir(statusordner):
        os.unlink(os.path.join(statusordner, name))
    befehl = (vorsatz or []) + mpi_befehl(mpirun, prozesse, programm, argumente, statusordner)
    lauf = starten(befehl, ordner, ausser, zeitgrenze, statusordner, umgebung)
    lauf.prozesse = prozesse
    for rang in range(prozesse):
        try:
            with open(os.path.join(statusordner, f"{rang}.status")) as f:
                lauf.prozessstatus.append(int(f.read().strip()))
        except (OSError, ValueError):
            lauf.prozessstatus.append(None)
    return lauf


def _zeile(text: bytes | None) -> str:
    if text is None:
        return "(none)"
    r = repr(text)[2:-1]
    return "'" + (r if len(r) <= 160 else r[:157] + "...") + "'"


def erster_unterschied(a: bytes, b: bytes) -> str:
    """'line N: ... / ...' for the first line in which a and b differ."""
    za = a.split(b"\n")
    zb = b.split(b"\n")
    for i in range(max(len(za), len(zb))):
        x = za[i] if i < len(za) else None
        y = zb[i] if i < len(zb) else None
        if x != y:
            return f"line {i + 1}: one process {_zeile(x)}, MPI {_zeile(y)}"
    return "same lines"


def _art(wert) -> str:
    return wert if isinstance(wert, str) else f"a file of {len(wert)} bytes"


def unterschiede(ein: Lauf, mpi: Lauf, prozessstatus_pruefen: bool = True) -> list:
    """Everything in which the MPI run differs from the one-process run."""
    u = []
    if mpi.status is None:
        return [f"ran past its time limit ({mpi.dauer:.0f} s): a process hangs"]
    if ein.status != mpi.status:
        u.append(f"exit status: one process {ein.status}, MPI {mpi.status}")
    if prozessstatus_pruefen and mpi.prozessstatus:
        # Once a process has ended with a status other than 0, mpirun ends the
        # others: those report nothing. Every process that does report must
        # report the job's status, and after a status of 0 all must.
        berichtet = [s for s in mpi.prozessstatus if s is not None]
        if set(berichtet) != {mpi.status} or (mpi.status == 0 and len(berichtet) != mpi.prozesse):
            u.append(f"processes end with different statuses: {mpi.prozessstatus} (by rank; "
                     f"None: ended by mpirun or without status), mpirun {mpi.status}")
    aus_ein, aus_mpi = maskieren(ein.aus), maskieren(mpi.aus)
    if aus_ein != aus_mpi:
        u.append("stdout differs, " + erster_unterschied(aus_ein, aus_mpi))
    if ein.fehler != mpi.fehler:
        u.append("stderr differs, " + erster_unterschied(ein.fehler, mpi.fehler))
    for name in sorted(set(ein.dateien) | set(mpi.dateien)):
        a, b = ein.dateien.get(name), mpi.dateien.get(name)
        if a == b:
            continue
        if a is None:
            u.append(f'"{name}": only the MPI run leaves it ({_art(b)})')
        elif b is None:
            u.append(f'"{name}": the MPI run does not leave it (one process: {_art(a)})')
        elif isinstance(a, bytes) and isinstance(b, bytes):
            u.append(f'"{name}" differs, ' + erster_unterschied(a, b))
        else:
            u.append(f'"{name}": one process {_art(a)}, MPI {_art(b)}')
    return u


def zitat(argumente: list) -> str:
    return " ".join(shlex.quote(a) for a in argumente)


def mpi_umgebung(standard_pml: bool) -> dict:
    """The environment of the MPI runs. Without standard_pml, Open MPI's own
    point-to-point layer (ob1, shared memory on one host) instead of UCX,
    whose start alone takes a fifth of a second per run on a small machine;
    an OMPI_MCA_pml already set is kept."""
    umgebung = dict(os.environ)
    if not standard_pml:
        umgebung.setdefault("OMPI_MCA_pml", "ob1")
    return umgebung


def programmoptionen(p):
    """The options both scripts share: the programs, and how the MPI runs are made."""
    p.add_argument("--mpi", default=os.environ.get("VELKOR_BATCH_MPI"), help="velkor-batch-mpi")
    p.add_argument("--batch", default=os.environ.get("VELKOR_BATCH"), help="velkor-batch")
    p.add_argument("--mpirun", default=os.environ.get("VELKOR_MPIRUN", "mpirun"))
    p.add_argument("--ohne-prozessstatus", action="store_true",
                   help="do not require every process to end with the same status")
    p.add_argument("--standard-pml", action="store_true",
                   help="leave Open MPI's choice of point-to-point layer (UCX where present)")

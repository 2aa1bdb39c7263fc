#!/usr/bin/env python3
"""Measures Zorvane against its targets and prints the figures as a table.

Run by bench/run.sh, which builds the programs, sets up the Wine environment and a display.
The Windows programs are started and timed by BenchDriver.exe inside Wine; this script
serves the time on loopback, prepares the program folders, runs the driver and rdate, and
does the statistics. Loopback only: 127.0.9.1 answers at once, 127.0.9.2 after a pause,
127.0.9.3 is xinetd's own time service for rdate.

Three yardsticks: floor3 (bench/floor2 built with FLOOR_ALL_STEPS) does every step of
Zorvane's start-up and end as one flat program and is what the targets compare with; floor2
does the same work but skips some of those steps; floor (bench/floor) only syncs and is the
lower bound.
"""
import argparse
import ctypes
import glob
import mmap
import os
import struct
import shutil
import socket
import statistics
import subprocess
import sys
import threading
import time

FAST_ADDRESS = "127.0.9.1"
SLOW_ADDRESS = "127.0.9.2"
XINETD_ADDRESS = "127.0.9.3"
SLOW_PAUSE_S = 2.5
HOLD_MS = 400
READ_AFTER_PAINT_MS = 1500
THEME_FILE = "drive_c/windows/resources/themes/light/light.msstyles"
PMD_BYTES = 2 << 20
SECONDS_1900_TO_1970 = 2208988800
PAINT_CASES = [  # label, rows, rounds
    ("7", 7, 30),
    ("1000", 1000, 10),
    ("10000", 10000, 30),  # as many as the 7-server case: the two are compared
    ("100000", 100000, 3),
]
FLOOR2_PAINT_ROUNDS = 30
SYNC_ROUNDS = 30
MEMORY_ROUNDS = 6
START_RATIO_LIMIT = 1.1
SYNC_CPU_RATIO_LIMIT = 1.05
MEMORY_RATIO_LIMIT = 1.05
MARKED_FILE_BYTES = 36_000_000  # UTF-16
MARKED_ROUNDS = 3
MARKED_RATIO_LIMIT = 1.2
SECTIONS = ["sync", "paint", "memory", "size", "hostile", "marked"]


def log(text):
    print(text, file=sys.stderr, flush=True)


PR_SET_CHILD_SUBREAPER = 36


class CpuReaper:
    """CPU time (user + kernel) of each measured program, as Linux accounts it when the process
    ends. Wine starts a program detached from the process that started it; with this process a
    subreaper, the program's Linux process becomes its child on the way, and is reaped here
    with its resource usage. Subprocesses of this script (pids in `owned`) are left to the
    subprocess module."""

    def __init__(self, names):
        self.names = names  # process names (comm) of the measured programs
        self.owned = set()
        self.ended = []  # (name, CPU ms) in the order the processes ended
        self.lock = threading.Lock()
        libc = ctypes.CDLL(None, use_errno=True)
        self.enabled = libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) == 0
        if self.enabled:
            threading.Thread(target=self.reap, daemon=True).start()

    def reap(self):
        while True:
            try:
                info = os.waitid(os.P_ALL, 0, os.WEXITED | os.WNOWAIT)
            except ChildProcessError:
                info = None
            if info is None or info.si_pid in self.owned:
                time.sleep(0.01)
                continue
            try:
                with open(f"/proc/{info.si_pid}/comm") as f:
                    name = f.read().strip()
            except OSError:
                name = ""
            try:
                _, _, usage = os.wait4(info.si_pid, 0)
            except ChildProcessError:  # a subprocess that its module reaped meanwhile
                continue
            if name in self.names:
                with self.lock:
                    self.ended.append((name, (usage.ru_utime + usage.ru_stime) * 1000))

    def take(self, expected=0, timeout_s=60):
        """The CPU times of the programs that ended since the last call, by name, in order;
        waits up to the timeout for `expected` of them (a closed window's process may take a
        while to go)."""
        deadline = time.monotonic() + timeout_s
        while len(self.ended) < expected and time.monotonic() < deadline:
            time.sleep(0.1)
        with self.lock:
            ended, self.ended = self.ended, []
        by_name = {}
        for name, ms in ended:
            by_name.setdefault(name, []).append(ms)
        return by_name


REAPER = None  # the CpuReaper of the run


class TimeService:
    """RFC 868 on port 37 of one loopback address: four bytes of the current time, then close."""

    def __init__(self, address, pause_s=0.0):
        self.pause_s = pause_s
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((address, 37))
        self.listener.listen(64)
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while True:
            try:
                connection, _ = self.listener.accept()
            except OSError:
                return
            threading.Thread(target=self.answer, args=(connection,), daemon=True).start()

    def answer(self, connection):
        with connection:
            if self.pause_s:
                time.sleep(self.pause_s)
            value = (int(time.time()) + SECONDS_1900_TO_1970) & 0xFFFFFFFF
            try:
                connection.sendall(value.to_bytes(4, "big"))
            except OSError:
                pass

    def close(self):
        self.listener.close()


class Xinetd:
    """xinetd's built-in time service on XINETD_ADDRESS, the native peer of rdate."""

    def __init__(self, work):
        self.process = None
        if not shutil.which("xinetd"):
            return
        conf = os.path.join(work, "xinetd.conf")
        with open(conf, "w") as f:
            f.write("service time\n{\n    disable = no\n    type = INTERNAL\n"
                    "    id = time-stream\n    socket_type = stream\n    protocol = tcp\n"
                    "    wait = no\n    user = root\n    port = 37\n"
                    f"    bind = {XINETD_ADDRESS}\n}}\n")
        self.process = subprocess.Popen(
            ["xinetd", "-f", conf, "-dontfork", "-pidfile", os.path.join(work, "xinetd.pid")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if REAPER:
            REAPER.owned.add(self.process.pid)
        for _ in range(50):
            if subprocess.run(["rdate", "-p", XINETD_ADDRESS], capture_output=True).returncode == 0:
                return
            time.sleep(0.1)
        self.close()

    def running(self):
        return self.process is not None

    def close(self):
        if self.process:
            self.process.terminate()
            self.process.wait()
            self.process = None


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run_driver(driver, arguments, timeout_s, on_hold=None):
    """Runs the driver and returns its samples; on_hold(label) is called at each "hold" line
    while the driver keeps that program as it is. Output goes through files: Wine's
    background processes inherit the handles and would keep a pipe open after it ends."""
    command = ["wine", windows_path(driver)] + arguments
    deadline = time.monotonic() + timeout_s
    lines = []
    with open(driver + ".out", "w") as out, open(driver + ".err", "w+") as err, \
            open(driver + ".out") as reader:  # an offset of its own, not the writer's
        process = subprocess.Popen(command, stdout=out, stderr=err)
        if REAPER:
            REAPER.owned.add(process.pid)
        pending = ""
        while True:
            finished = process.poll() is not None
            pending += reader.read()
            *complete, pending = pending.split("\n")
            for line in complete:
                lines.append(line)
                if line.startswith("hold ") and on_hold:
                    on_hold(line.split()[1])
            if finished:
                break
            if time.monotonic() > deadline:
                process.kill()
                process.wait()
                raise TimeoutError(f"driver {' '.join(arguments[:1])} ran longer than {timeout_s} s")
            time.sleep(0.02)
        code = process.returncode
        err.seek(0)
        stderr = err.read()
    samples = []
    for line in lines:
        words = line.split()
        if words[:1] == ["sample"]:
            samples.append(words[1:])
        elif words[:1] == ["error"]:
            log("driver: " + line)
    if code != 0:
        log(f"driver exited with {code}: {stderr.strip()[-500:]}")
    return samples


def find_unix_pid(exe):
    """The Linux process of a Wine process, by the Windows path in its command line."""
    tail = "\\".join(exe.split("/")[-2:]).lower()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                first = f.read().split(b"\0")[0].decode(errors="replace").lower()
        except OSError:
            continue
        if first.endswith(tail):
            return int(entry)
    return None


MAPPING_KINDS = [  # (kind, test of the mapped file's path)
    ("Wine DLLs and libraries", lambda p: "/wine/" in p),
    ("fonts", lambda p: p.endswith((".ttf", ".ttc", ".otf")) or "/fonts/" in p),
    ("theme file (.msstyles)", lambda p: p.endswith(".msstyles")),
    ("X shared memory (window surfaces)", lambda p: p.startswith("/SYSV")),
    ("code page tables (.nls)", lambda p: p.endswith(".nls")),
    ("other system libraries", lambda p: p.startswith(("/usr/lib", "/lib"))),
    ("anonymous and heap", lambda p: p in ("", "[heap]") or p.startswith("[anon")),
]


def mapping_header(line):
    """The fields of an smaps line that opens a mapping (address range, permissions, offset,
    device, inode, path), or None for the lines that describe it."""
    head = line.split(None, 5)
    return head if "-" in head[0] and len(head) >= 5 and ":" in head[3] else None


def resident_by_kind(pid):
    """Resident KiB of a Linux process by kind of mapping, from /proc/<pid>/smaps, and
    where the theme file's view starts and how much of it the kernel maps with 2 MiB
    entries (keys "theme view" and "theme pmd-mapped")."""
    kinds = {}
    kind = None
    with open(f"/proc/{pid}/smaps") as f:
        for line in f:
            head = mapping_header(line)
            if head:
                path = head[5].strip() if len(head) > 5 else ""
                kind = next((k for k, test in MAPPING_KINDS if test(path)), "other")
                if path.endswith(".msstyles"):
                    kinds["theme view"] = int(head[0].split("-")[0], 16)
            elif line.startswith("Rss:"):
                kinds[kind] = kinds.get(kind, 0) + int(line.split()[1])
            elif line.startswith("FilePmdMapped:") and kind == "theme file (.msstyles)":
                kinds["theme pmd-mapped"] = kinds.get("theme pmd-mapped", 0) + int(line.split()[1])
    return kinds


def program_folder(work, name, exe):
    folder = os.path.join(work, name)
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, os.path.basename(exe))
    shutil.copy2(exe, target)
    return target


def server_rows_xml(default_xml, rows):
    """The default srv.xml with its server list replaced by `rows` servers."""
    head = default_xml[: default_xml.index("<srv>")]
    tail = default_xml[default_xml.rindex("</srv>") + len("</srv>"):]
    parts = [head.rstrip(" ")]
    for i in range(rows):
        parts.append(f"  <srv>\n    <url>time-{i}.example.net</url>\n"
                     f"    <ip>10.{i >> 16 & 255}.{i >> 8 & 255}.{i & 255}</ip>\n  </srv>\n")
    return "".join(parts) + tail.lstrip("\n")


def stats(values):
    return min(values), statistics.median(values), max(values)


class Table:
    def __init__(self):
        self.rows = []
        self.notes = []

    def measured(self, figure, what, values, unit):
        if not values:
            self.rows.append([figure, what, "0", "-", "-", "-", "", "", "no samples"])
            return
        low, mid, high = stats(values)
        fmt = (lambda v: f"{v:.1f}") if unit == "ms" else (lambda v: f"{v:.0f}")
        self.rows.append([figure, f"{what} ({unit})", str(len(values)), fmt(low), fmt(mid),
                          fmt(high), "", "", ""])

    def ratio(self, figure, what, numerator, denominator, limit):
        target = "" if limit is None else f"<= {limit}"
        if not numerator or not denominator:
            self.rows.append([figure, what, "", "", "", "", "-", target, "no samples"])
            return None
        value = statistics.median(numerator) / statistics.median(denominator)
        verdict = "" if limit is None else ("met" if value <= limit else "MISSED")
        self.rows.append([figure, what, "", "", "", "", f"{value:.2f}", target, verdict])
        return value

    def against_floors(self, figure, what, zorvane, floor3, floor2, limit, suffix=""):
        """Zorvane against the yardstick floor3, judged by the limit, and against floor2, which
        skips steps: "<what>Zorvane / floor3<suffix>" and its floor2 row."""
        self.ratio(figure, f"{what}Zorvane / floor3{suffix}", zorvane, floor3, limit)
        self.ratio(figure, f"{what}Zorvane / floor2, steps skipped{suffix}", zorvane, floor2, None)

    def spread(self, figure, what, wall, cpu):
        """How much each figure moves: interquartile range / median of the wall and CPU times."""
        def relative(values):
            if len(values) < 4:
                return "-"
            q1, _, q3 = statistics.quantiles(values, n=4)
            return f"{(q3 - q1) / statistics.median(values):.2f}"
        self.info(figure, f"{what}: spread (IQR / median), wall / CPU",
                  f"{relative(wall)} / {relative(cpu)}")

    def info(self, figure, what, value):
        self.rows.append([figure, what, "", "", str(value), "", "", "", ""])

    def render(self):
        header = ["Figure", "Measured", "n", "min", "median", "max", "ratio", "target", "result"]
        widths = [max(len(str(r[i])) for r in self.rows + [header]) for i in range(len(header))]
        def line(cells):
            return "| " + " | ".join(str(c).ljust(w) for c, w in zip(cells, widths)) + " |"
        out = [line(header), "|" + "|".join("-" * (w + 2) for w in widths) + "|"]
        out += [line(r) for r in self.rows]
        return "\n".join(out)


SYNC_PROGRAMS = [  # label, process name, name in the table, what it is
    ("zorvane", "Zorvane.exe", "Zorvane.exe", ""),
    ("floor3", "Floor3.exe", "floor3", " (every step, flat)"),
    ("floor2", "Floor2.exe", "floor2", " (same start-up work, lean)"),
    ("floor", "Floor.exe", "floor", " (sync only, lower bound)"),
]


def bench_sync(args, work, table):
    exes = {"zorvane": args.zorvane, "floor3": args.floor3, "floor2": args.floor2,
            "floor": args.floor}
    paths = {label: program_folder(work, f"sync-{label}", exe) for label, exe in exes.items()}
    # A first run writes Zorvane's default srv.xml, which floor2 and floor3 then read too, and
    # warms Wine up; not counted.
    first = f"zorvane={windows_path(paths['zorvane'])}"
    run_driver(args.driver, ["sync", "1", FAST_ADDRESS, first], 120)
    default_xml = os.path.join(os.path.dirname(paths["zorvane"]), "srv.xml")
    for label in ("floor2", "floor3"):
        shutil.copy2(default_xml, os.path.dirname(paths[label]))
    programs = [f"{label}={windows_path(paths[label])}" for label, _, _, _ in SYNC_PROGRAMS]
    run_driver(args.driver, ["sync", "1", FAST_ADDRESS] + programs, 120)
    log(f"sync: {args.sync_rounds} rounds, interleaved")
    # The five warm-up runs: a process can still be on its way out after its handle is signalled.
    REAPER.take(5)
    samples = run_driver(args.driver, ["sync", str(args.sync_rounds), FAST_ADDRESS] + programs,
                         600)
    ended = REAPER.take(4 * args.sync_rounds)
    times = {label: [] for label in exes}
    for figure, label, _, ms in samples:
        times[label].append(float(ms))
    cpu = {label: ended.get(process, []) for label, process, _, _ in SYNC_PROGRAMS}
    rdate = bench_rdate(work, args.sync_rounds)
    for label, _, name, what in SYNC_PROGRAMS:
        table.measured("1 sync", f"{name} /ip{what}, start to exit", times[label], "ms")
    if rdate:
        table.measured("1 sync", "rdate -p (native, xinetd), reference", rdate, "ms")
    else:
        table.notes.append("rdate reference skipped: xinetd or rdate unavailable.")
    table.against_floors("1 sync", "", times["zorvane"], times["floor3"], times["floor2"],
                         START_RATIO_LIMIT, " (medians)")
    table.ratio("1 sync", "Zorvane / floor, lower bound (medians)", times["zorvane"],
                times["floor"], None)
    for label, _, name, _ in SYNC_PROGRAMS:
        table.measured("1 sync", f"{name} /ip, CPU time (user + kernel)", cpu[label], "ms")
    table.against_floors("1 sync", "CPU time: ", cpu["zorvane"], cpu["floor3"], cpu["floor2"],
                         SYNC_CPU_RATIO_LIMIT, " (medians)")
    for label, _, name, _ in SYNC_PROGRAMS[:3]:
        table.spread("1 sync", f"{name} /ip", times[label], cpu[label])
    return default_xml


def bench_rdate(work, rounds):
    if not shutil.which("rdate"):
        return []
    xinetd = Xinetd(work)
    if not xinetd.running():
        return []
    times = []
    try:
        for _ in range(rounds):
            start = time.perf_counter()
            result = subprocess.run(["rdate", "-p", XINETD_ADDRESS], capture_output=True)
            elapsed = (time.perf_counter() - start) * 1000
            if result.returncode == 0:
                times.append(elapsed)
    finally:
        xinetd.close()
    return times


def write_srv_xml(default_xml, target, rows):
    """The default srv.xml for 7 rows, else one with `rows` servers, written to `target`."""
    if rows == 7:
        shutil.copy2(default_xml, target)
        return
    with open(default_xml, encoding="utf-8") as f:
        text = server_rows_xml(f.read(), rows)
    with open(target, "w", encoding="utf-8") as f:
        f.write(text)


def gui_folder(work, name, exe, default_xml, rows):
    """A program folder with its srv.xml: the default one for 7 rows, else `rows` servers."""
    exe = program_folder(work, name, exe)
    write_srv_xml(default_xml, os.path.join(os.path.dirname(exe), "srv.xml"), rows)
    return exe


def launch_order(programs):
    """The labels in the order the driver's paint mode starts them: round r runs each program
    that has rounds left, the order turning by one place every round."""
    order = []
    for r in range(max(rounds for _, rounds in programs)):
        for i in range(len(programs)):
            label, rounds = programs[(i + r) % len(programs)]
            if r < rounds:
                order.append(label)
    return order


def bench_paint(args, work, default_xml, table):
    programs, plan = [], []
    floors = {"floor2": args.floor2, "floor3": args.floor3}
    cases = PAINT_CASES + [(label, 7, FLOOR2_PAINT_ROUNDS) for label in floors]
    for label, rows, rounds in cases:
        exe = gui_folder(work, f"paint-{label}", floors.get(label, args.zorvane), default_xml, rows)
        rounds = max(1, rounds * args.paint_rounds // 10)
        programs.append(f"{label}={windows_path(exe)}:{rows}:{rounds}")
        plan.append((label, rounds))
    order = launch_order(plan)
    log(f"paint: {', '.join(programs)}")
    REAPER.take()
    samples = run_driver(args.driver, ["paint"] + programs, 1800)
    cpu = REAPER.take(len(order))
    times = {label: [] for label, _, _ in cases}
    visible = {label: [] for label, _, _ in cases}
    peaks = {label: [] for label, _, _ in cases}
    for words in samples:
        if words[0] == "paint":
            times[words[1]].append(float(words[3]))
            visible[words[1]].append(float(words[4].split("=")[1]))
        elif words[0] == "paint_counters":
            fields = dict(w.split("=") for w in words[3:])
            peaks[words[1]].append(int(fields["peak_working_set_kib"]))
    for moment, values in (("first visible window", visible), ("first paint", times)):
        for label, name in (("7", "Zorvane"), ("floor3", "floor3"), ("floor2", "floor2")):
            table.measured("2 start", f"{moment}, {name}, 7 servers", values[label], "ms")
        table.against_floors("2 start", f"{moment}: ", values["7"], values["floor3"],
                             values["floor2"], START_RATIO_LIMIT)
    # Every Zorvane case runs as Zorvane.exe: its CPU times are matched to the cases by the
    # order the driver starts them in.
    zorvane_labels = [l for l in order if l not in floors]
    zorvane_cpu = [ms for label, ms in zip(zorvane_labels, cpu.get("Zorvane.exe", []))
                   if label == "7"]
    floor2_cpu, floor3_cpu = cpu.get("Floor2.exe", []), cpu.get("Floor3.exe", [])
    if len(cpu.get("Zorvane.exe", [])) != len(zorvane_labels):
        table.notes.append(f"The window start's CPU times could not be matched to the cases: "
                           f"{len(cpu.get('Zorvane.exe', []))} ended, {len(zorvane_labels)} started.")
        zorvane_cpu = []
    table.measured("2 start", "Zorvane GUI, 7 servers, CPU time of the run (start, first paint, "
                   "close)", zorvane_cpu, "ms")
    table.measured("2 start", "floor3 GUI, 7 servers, CPU time of the run", floor3_cpu, "ms")
    table.measured("2 start", "floor2 GUI, 7 servers, CPU time of the run", floor2_cpu, "ms")
    table.against_floors("2 start", "CPU time: ", zorvane_cpu, floor3_cpu, floor2_cpu,
                         START_RATIO_LIMIT, " (medians)")
    table.spread("2 start", "Zorvane GUI (first paint)", times["7"], zorvane_cpu)
    table.spread("2 start", "floor3 GUI (first paint)", times["floor3"], floor3_cpu)
    table.spread("2 start", "floor2 GUI (first paint)", times["floor2"], floor2_cpu)
    for label, rows, _ in PAINT_CASES[1:]:
        table.measured("2 start", f"first paint, Zorvane, {rows} servers", times[label], "ms")
    table.ratio("2 start", "first paint: 10,000 / 7 servers", times["10000"], times["7"], 2)
    table.ratio("2 start", "first paint: 100,000 / 10,000 servers", times["100000"], times["10000"], 12)
    for label, rows, _ in PAINT_CASES:
        table.measured("2 start", f"peak working set at first paint, {rows} servers", peaks[label], "KiB")


def set_theme_cache(prefix, written):
    """Puts Wine's theme file into a known state of the page cache: as a freshly written
    file (what a new prefix has: the kernel keeps it in 2 MiB pages, which it maps whole into
    a process whose view of the file starts on a 2 MiB boundary), or evicted, so that the
    next program reads it back from disk in small pages."""
    path = os.path.join(prefix, THEME_FILE)
    if not os.path.exists(path):
        return False
    if written:
        # Written in one piece, as the prefix's set-up writes it (the kernel sizes the page
        # cache's pages by the write); a new file renamed over the old one, so that processes
        # which have the old one mapped (Wine's desktop process) keep theirs.
        with open(path, "rb") as f:
            content = f.read()
        with open(path + ".new", "wb") as f:
            f.write(content)
        os.replace(path + ".new", path)
    else:
        fd = os.open(path, os.O_RDONLY)
        try:
            os.fdatasync(fd)
            os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
        finally:
            os.close(fd)
    return True


def theme_in_2mib_pages(prefix):
    """KiB of the theme file that a 2 MiB-aligned view maps with 2 MiB entries: the share of
    the file that the page cache holds in 2 MiB pages."""
    path = os.path.join(prefix, THEME_FILE)
    with open(path, "rb") as f, mmap.mmap(f.fileno(), 0, prot=mmap.PROT_READ) as view:
        for offset in range(0, len(view), PMD_BYTES):
            view[offset]  # noqa: B018 (a touch per 2 MiB)
        name = os.path.basename(path)
        mapped, inside = 0, False
        with open("/proc/self/smaps") as smaps:
            for line in smaps:
                if mapping_header(line):
                    inside = line.rstrip().endswith(name)
                elif inside and line.startswith("FilePmdMapped:"):
                    mapped += int(line.split()[1])
    return mapped


SHORTCUT_NAME = "Zorvane v1.0.lnk"


def desktop_shortcut_paths(prefix):
    return [os.path.join(d, SHORTCUT_NAME)
            for d in glob.glob(os.path.join(prefix, "drive_c", "users", "*", "Desktop"))
            if os.path.basename(os.path.dirname(d)) != "Public"]


def set_desktop_shortcut(prefix, present):
    """A shell link file (header only) on the desktop, or none. Both programs then bring up
    COM and a shell link object to load it, as they do for a real one."""
    clsid_shell_link = bytes.fromhex("0114020000000000c000000000000046")
    header = (struct.pack("<I", 0x4C) + clsid_shell_link + bytes(32)
              + struct.pack("<III", 0, 0, 1) + bytes(12))
    for path in desktop_shortcut_paths(prefix):
        if present:
            with open(path, "wb") as f:
                f.write(header + bytes(4))
        elif os.path.exists(path):
            os.remove(path)


MEMORY_CONDITIONS = [  # label, theme file as written (else read back from disk), shortcut
    ("theme file written", True, False),
    ("written + shortcut", True, True),
    ("theme file read back", False, False),
]


def column(fields, label, key):
    """One counter of the memory samples of a program, over the rounds."""
    return [f[key] for f in fields[label]]


def bench_memory(args, work, default_xml, table):
    windows = {"gui": args.zorvane, "floor2": args.floor2, "floor3": args.floor3}
    paths = {label: gui_folder(work, f"memory-{label}", exe, default_xml, 7)
             for label, exe in windows.items()}
    paths["floor"] = program_folder(work, "memory-floor", args.floor)
    programs = [f"{label}={windows_path(path)}:{7 if label in windows else 0}:1"
                for label, path in paths.items()]
    fields_by_condition = {}
    prefix = os.environ.get("WINEPREFIX", "")
    for condition, written, shortcut in MEMORY_CONDITIONS:
        if not set_theme_cache(prefix, written):
            table.notes.append(f"Condition '{condition}' skipped: the theme file was not found.")
            continue
        set_desktop_shortcut(prefix, shortcut)
        if written:
            table.info("3 memory", f"{condition}: theme file in 2 MiB pages of the page cache "
                                   "(KiB)", theme_in_2mib_pages(prefix))
        log(f"memory ({condition}): {args.memory_rounds} rounds, interleaved")
        mappings = []
        def inspect(label):
            pid = find_unix_pid(paths[label])
            try:
                mappings.append((label, resident_by_kind(pid) if pid else {}))
            except OSError:
                mappings.append((label, {}))
        samples = run_driver(args.driver, ["memory", str(args.memory_rounds),
                                           str(READ_AFTER_PAINT_MS), str(HOLD_MS), SLOW_ADDRESS]
                             + programs, 900, inspect)
        fields = {"gui": [], "floor2": [], "floor3": [], "floor": []}
        for words in samples:
            fields[words[1]].append({k: int(v) for k, v in (w.split("=") for w in words[3:])})
        fields_by_condition[condition] = fields
        report_memory(table, condition, fields, mappings)
        set_desktop_shortcut(prefix, False)
    report_counters_availability(table, fields_by_condition)


def report_memory(table, condition, fields, mappings):
    figure = "3 memory"
    peak = {label: column(fields, label, "peak_working_set_kib") for label in fields}
    for label, name in (("gui", "Zorvane"), ("floor2", "floor2"), ("floor3", "floor3")):
        table.measured(figure, f"{condition}: {name} GUI, 7 servers, peak working set",
                       peak[label], "KiB")
    for label in ("floor3", "floor2"):
        table.ratio(figure, f"{condition}: peak working set, Zorvane / {label}", peak["gui"],
                    peak[label], MEMORY_RATIO_LIMIT)
    table.measured(figure, f"{condition}: floor (sync only, waiting), peak working set",
                   peak["floor"], "KiB")
    table.ratio(figure, f"{condition}: peak working set, Zorvane / floor, lower bound",
                peak["gui"], peak["floor"], None)
    private = "private_usage_kib"
    if not any(column(fields, "gui", private) + column(fields, "floor2", private)):
        private = "private_commit_kib"
    gui_private, floor2_private = column(fields, "gui", private), column(fields, "floor2", private)
    table.measured(figure, f"{condition}: Zorvane GUI, private bytes", gui_private, "KiB")
    table.measured(figure, f"{condition}: floor2 GUI, private bytes", floor2_private, "KiB")
    table.ratio(figure, f"{condition}: private bytes, Zorvane / floor2", gui_private,
                floor2_private, None)
    for label, name in (("gui", "Zorvane"), ("floor2", "floor2")):
        theme = [m.get("theme file (.msstyles)", 0) for l, m in mappings if l == label and m]
        table.measured(figure, f"{condition}: {name}, theme file resident", theme, "KiB")
        views = [m["theme view"] for l, m in mappings if l == label and "theme view" in m]
        pmd = [m.get("theme pmd-mapped", 0) for l, m in mappings if l == label and m]
        aligned = sum(1 for v in views if v % PMD_BYTES == 0)
        swept = sum(1 for k in pmd if k > 0)
        table.info(figure, f"{condition}: {name}, theme view on a 2 MiB boundary / mapped "
                           f"in 2 MiB pages (runs)", f"{aligned} / {swept} of {len(views)}")
    report_mappings(table, condition, mappings)


def report_mappings(table, condition, mappings):
    """Where the working sets differ, by kind of mapping, as Linux sees the processes
    (medians over the rounds)."""
    by_label = {}
    for label, kinds in mappings:
        if kinds:
            by_label.setdefault(label, []).append(kinds)
    if "gui" not in by_label or "floor2" not in by_label:
        table.notes.append("The resident memory by kind of mapping could not be read.")
        return
    def median_of(label, kind):
        return int(statistics.median(k.get(kind, 0) for k in by_label[label]))
    kinds = [k for k, _ in MAPPING_KINDS] + ["other"]
    for kind in kinds:
        g, f = median_of("gui", kind), median_of("floor2", kind)
        if g or f:
            table.rows.append(["3 memory", f"{condition}: resident {kind}, Zorvane / floor2 (KiB)",
                               "", "", f"{g} / {f}", "", "", "", f"{g - f:+d}"])
    def total(label):
        return int(statistics.median(sum(v for k, v in m.items() if not k.startswith("theme "))
                                     for m in by_label[label]))
    table.rows.append(["3 memory", f"{condition}: resident total, Zorvane / floor2 (KiB)", "", "",
                       f"{total('gui')} / {total('floor2')}", "", "", "",
                       f"{total('gui') - total('floor2'):+d}"])


def report_counters_availability(table, fields_by_condition):
    fields = next(iter(fields_by_condition.values()), None)
    if not fields:
        return
    if not any(column(fields, "gui", "private_usage_kib")):
        table.notes.append("PrivateUsage (PROCESS_MEMORY_COUNTERS_EX) reads 0 for another process "
                           "under this Wine; private bytes are the committed MEM_PRIVATE regions "
                           "summed with VirtualQueryEx, which is what the counter means on Windows.")
    gdi, user, handles = (column(fields, "gui", key)
                          for key in ("gdi_objects", "user_objects", "handles"))
    if gdi and max(gdi) == 0 and max(user) == 0:
        table.notes.append("GetGuiResources returns 0 for the GUI process: it is still a stub "
                           "under this Wine, so GDI and USER object counts are not available.")
    elif gdi:
        table.info("3 memory", "GDI objects after start", statistics.median(gdi))
        table.info("3 memory", "USER objects after start", statistics.median(user))
    if handles and min(handles) > 0:
        table.info("3 memory", "handles after start (GetProcessHandleCount)", statistics.median(handles))
    elif handles:
        table.notes.append("GetProcessHandleCount " + ("fails" if min(handles) < 0 else "returns 0")
                           + " for another process under this Wine, so the handle count is not "
                           "available.")


def stripped_size(args, exe, work):
    copy = os.path.join(work, "stripped-" + os.path.basename(exe))
    shutil.copy2(exe, copy)
    subprocess.run([args.strip, copy], check=True)
    return os.path.getsize(copy)


def bench_size(args, work, table):
    for name, exe in (("Zorvane.exe", args.zorvane), ("floor3", args.floor3), ("floor2", args.floor2),
                      ("floor", args.floor)):
        table.info("4 size", f"{name}, static (bytes)", os.path.getsize(exe))
        table.info("4 size", f"{name}, static, stripped (bytes)", stripped_size(args, exe, work))


def hostile_xml_files():
    """srv.xml files whose entities would blow up if the parser expanded them."""
    tail = "<srv><url>b.example</url><ip>10.0.0.2</ip></srv></srv_root>\n"
    lol = "".join(f'  <!ENTITY lol{i} "{("&lol%d;" % (i - 1)) * 10}">\n' for i in range(1, 10))
    return {
        "exponential": '<?xml version="1.0"?>\n<!DOCTYPE srv_root [\n  <!ENTITY lol0 "lol">\n' + lol
        + "]>\n<srv_root><cfg><autorun>&lol9;</autorun></cfg>" + tail,
        "recursive": '<?xml version="1.0"?>\n<!DOCTYPE srv_root [\n  <!ENTITY a "x&b;">\n'
        '  <!ENTITY b "y&a;">\n]>\n<srv_root><cfg><autorun>&a;</autorun></cfg>' + tail,
        "5,000 references to 20,000 bytes": '<?xml version="1.0"?>\n<!DOCTYPE srv_root [\n'
        f'  <!ENTITY big "{"a" * 20000}">\n]>\n<srv_root><cfg><autorun>{"&big;" * 5000}'
        "</autorun></cfg>" + tail,
    }


def bench_hostile_xml(args, work, table):
    """One read of each file by the program's own reader; a figure to watch, with no target."""
    paths = {}
    for label, text in hostile_xml_files().items():
        folder = os.path.join(work, "hostile-" + str(len(paths)))
        os.makedirs(folder)
        paths[label] = os.path.join(folder, "srv.xml")
        with open(paths[label], "w") as f:
            f.write(text)
    output = subprocess.run(["wine", windows_path(args.hostile_xml)]
                            + [windows_path(p) for p in paths.values()],
                            capture_output=True, text=True, timeout=600).stdout.split("\n")
    times = [line.split()[-1] for line in output if line.startswith("hostile-xml ")]
    for label, ms in zip(paths, times):
        table.info("5 hostile srv.xml", f"read of {label} (ms)", ms)


def marked_xml_text(utf16_bytes):
    """srv.xml of numbered servers, every tenth named beyond ASCII, whose UTF-16 form with its
    mark has about that many bytes."""
    rows = []
    size = 0
    while size < utf16_bytes:
        host = ("time-" if len(rows) % 10 else "时间\U0001F600-") + f"{len(rows)}.zone.example.com"
        rows.append(f"  <srv>\n    <url>{host}</url>\n    <ip>10.0.{len(rows) % 250}.1</ip>\n  </srv>\n")
        size += 2 * len(rows[-1])
    return ('<?xml version="1.0" encoding="UTF-8"?>\n<srv_root>\n  <cfg>\n    <autorun>x</autorun>\n'
            "  </cfg>\n" + "".join(rows) + "</srv_root>\n")


def bench_marked_xml(args, work, table):
    """The peak working set of a read of a UTF-16 srv.xml against the same text without a mark
    (UTF-8), each read in a process of its own, interleaved."""
    text = marked_xml_text(MARKED_FILE_BYTES)
    files = {"unmarked": text.encode("utf-8"),
             "UTF-16": "\ufeff".encode("utf-16-le") + text.encode("utf-16-le")}
    paths = {}
    for label, data in files.items():
        folder = os.path.join(work, "marked-" + label)
        os.makedirs(folder)
        paths[label] = os.path.join(folder, "srv.xml")
        with open(paths[label], "wb") as f:
            f.write(data)
    log(f"marked srv.xml: {args.marked_rounds} rounds, interleaved")
    peaks = {label: [] for label in files}
    growths = {label: [] for label in files}
    for _ in range(args.marked_rounds):
        for label, path in paths.items():
            output = subprocess.run(["wine", windows_path(args.marked_xml), windows_path(path)],
                                    capture_output=True, text=True, timeout=600).stdout.split()
            if output[:2] != ["marked-xml", "1"]:
                table.notes.append(f"The {label} srv.xml was not read: {' '.join(output)}")
                continue
            before, peak = int(output[2]), int(output[3])
            peaks[label].append(peak)
            growths[label].append(peak - before)
    figure = "6 marked srv.xml"
    table.info(figure, "file sizes, UTF-16 with its mark / unmarked UTF-8 (bytes)",
               f"{len(files['UTF-16'])} / {len(files['unmarked'])}")
    for label in files:
        table.measured(figure, f"{label}: peak working set of a read", peaks[label], "KiB")
        table.measured(figure, f"{label}: growth during the read (peak - before)", growths[label], "KiB")
    table.ratio(figure, "peak working set, UTF-16 / unmarked", peaks["UTF-16"], peaks["unmarked"],
                MARKED_RATIO_LIMIT)
    table.ratio(figure, "growth during the read, UTF-16 / unmarked", growths["UTF-16"],
                growths["unmarked"], None)


def environment_lines():
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    cpu = ""
    try:
        with open("/proc/cpuinfo") as f:
            cpu = next(l.split(":", 1)[1].strip() for l in f if l.startswith("model name"))
    except (OSError, StopIteration):
        pass
    load = os.getloadavg()
    return [f"- Date: {time.strftime('%Y-%m-%d %H:%M:%S %Z')}", f"- Wine: {wine}",
            f"- CPU: {cpu} ({os.cpu_count()} cores); load average at start {load[0]:.2f}"]


def main():
    parser = argparse.ArgumentParser()
    for name in ("zorvane", "floor", "floor2", "floor3", "driver", "hostile-xml", "marked-xml",
                 "strip", "work", "results"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--sync-rounds", type=int, default=SYNC_ROUNDS)
    parser.add_argument("--paint-rounds", type=int, default=10,
                        help="rounds of the 7/1,000/10,000 cases; 100,000 gets 3/10 of it")
    parser.add_argument("--memory-rounds", type=int, default=MEMORY_ROUNDS)
    parser.add_argument("--marked-rounds", type=int, default=MARKED_ROUNDS)
    parser.add_argument("--only", nargs="+", choices=SECTIONS, default=SECTIONS,
                        help="the figures to measure (paint and memory measure sync first)")
    args = parser.parse_args()

    global REAPER
    REAPER = CpuReaper({"Zorvane.exe", "Floor2.exe", "Floor3.exe", "Floor.exe"})
    if not REAPER.enabled:
        return "this process cannot become a subreaper (prctl), so CPU times cannot be read"
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    header = environment_lines()
    started = time.monotonic()
    services = [TimeService(FAST_ADDRESS), TimeService(SLOW_ADDRESS, SLOW_PAUSE_S)]
    table = Table()
    try:
        only = set(args.only)
        if only & {"sync", "paint", "memory"}:
            default_xml = bench_sync(args, args.work, table)
        if "paint" in only:
            bench_paint(args, args.work, default_xml, table)
        if "memory" in only:
            bench_memory(args, args.work, default_xml, table)
        if "size" in only:
            bench_size(args, args.work, table)
        if "hostile" in only:
            bench_hostile_xml(args, args.work, table)
        if "marked" in only:
            bench_marked_xml(args, args.work, table)
    finally:
        for service in services:
            service.close()
    header.append(f"- Bench time: {time.monotonic() - started:.0f} s")
    header.append("- The two cores are shared with other work: absolute times move with the load "
                  "(by a factor of two), while each ratio compares programs run interleaved in "
                  "the same rounds and is what to read.")
    text = ("# Zorvane benchmarks (bench/run.sh)\n\n" + "\n".join(header) + "\n\n"
            + table.render() + "\n")
    if table.notes:
        text += "\n" + "\n".join("- Note: " + n for n in table.notes) + "\n"
    print(text)
    os.makedirs(os.path.dirname(args.results), exist_ok=True)
    with open(args.results, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())

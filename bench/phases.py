#!/usr/bin/env python3
"""Start-up phases of Zorvane, floor3 and floor2, from builds with ZORVANE_TRACE=ON (bench/phases.sh).

Runs the driver's sync and paint modes with ZORVANE_TRACE_FILE set: the programs append
"trace <phase> <ms>" at each phase, the driver "trace start:<label> <ms>" just before
CreateProcess and "trace painted" / "trace ended" when it sees the first paint or the exit.
Prints, per program and mode, the median time of every phase after the start.
"""
import argparse
import os
import shutil
import statistics
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench import (FAST_ADDRESS, TimeService, program_folder, run_driver,  # noqa: E402
                   windows_path, write_srv_xml)


def read_runs(path):
    """[(label, [(phase, ms after start), ...]), ...] in the order of the file."""
    runs = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if len(words) != 3 or words[0] != "trace":
                continue
            phase, ms = words[1], float(words[2])
            if phase.startswith("start:"):
                runs.append((phase[len("start:"):], ms, []))
            elif runs:
                runs[-1][2].append((phase, ms - runs[-1][1]))
    return [(label, phases) for label, _, phases in runs]


def phase_table(runs):
    """{label: [(phase, n, median ms), ...]} with phases in the order they first appear."""
    table = {}
    for label, phases in runs:
        order, values = table.setdefault(label, ([], {}))
        for phase, ms in phases:
            if phase not in values:
                order.append(phase)
                values[phase] = []
            values[phase].append(ms)
    return {label: [(p, len(values[p]), statistics.median(values[p])) for p in order]
            for label, (order, values) in table.items()}


def print_tables(title, tables):
    print(f"\n## {title}: median ms after CreateProcess\n")
    for label, rows in tables.items():
        print(f"| {label} | n | ms | step |\n|---|---|---|---|")
        previous = 0.0
        for phase, n, ms in rows:
            print(f"| {phase} | {n} | {ms:.1f} | {ms - previous:+.1f} |")
            previous = ms
        print()


def main():
    parser = argparse.ArgumentParser()
    for name in ("zorvane", "floor2", "floor3", "driver", "work"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("--rows", type=int, default=7,
                        help="servers in srv.xml (7: the default file)")
    args = parser.parse_args()
    shutil.rmtree(args.work, ignore_errors=True)
    os.makedirs(args.work)
    trace = os.path.join(args.work, "trace.txt")
    service = TimeService(FAST_ADDRESS)
    try:
        zorvane = program_folder(args.work, "zorvane", args.zorvane)
        floor2 = program_folder(args.work, "floor2", args.floor2)
        floor3 = program_folder(args.work, "floor3", args.floor3)
        # Zorvane writes the default srv.xml, which the floors read too; this run is not counted.
        run_driver(args.driver, ["sync", "1", FAST_ADDRESS, f"zorvane={windows_path(zorvane)}"], 120)
        default_xml = os.path.join(args.work, "default-srv.xml")
        shutil.copy2(os.path.join(os.path.dirname(zorvane), "srv.xml"), default_xml)
        for program in (zorvane, floor3, floor2):
            write_srv_xml(default_xml, os.path.join(os.path.dirname(program), "srv.xml"), args.rows)
        os.environ["ZORVANE_TRACE_FILE"] = windows_path(trace)
        programs = [f"zorvane={windows_path(zorvane)}", f"floor3={windows_path(floor3)}",
                    f"floor2={windows_path(floor2)}"]
        run_driver(args.driver, ["sync", str(args.rounds), FAST_ADDRESS] + programs, 600)
        sync_runs = read_runs(trace)
        os.remove(trace)
        run_driver(args.driver, ["paint"] + [f"{p}:{args.rows}:{args.rounds}" for p in programs], 900)
        paint_runs = read_runs(trace)
    finally:
        service.close()
    print_tables("Command line (/ip), start to exit", phase_table(sync_runs))
    print_tables("GUI, start to first paint", phase_table(paint_runs))
    return 0


if __name__ == "__main__":
    sys.exit(main())

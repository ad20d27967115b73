#!/usr/bin/env python3
"""Idle cost of the running program: CPU over a window of seconds and resident memory.

Not a test. Starts the real program on a private Xvfb (main process only, gallery closed) with
the sample files, lets it settle, then reads /proc for its CPU time and memory.

    python3 bench/measure_idle.py --program build/qinglanque [--seconds 60] [--json]
"""

import argparse
import json
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session  # noqa: E402

SAMPLES = Path(__file__).resolve().parents[1] / "samples" / "corvane"


def cpu_seconds(pid):
    """CPU time of all the process's threads, in nanosecond resolution (schedstat), falling
    back to clock ticks (10 ms) where the kernel keeps no schedstat."""
    total = 0
    try:
        for task in Path(f"/proc/{pid}/task").iterdir():
            total += int((task / "schedstat").read_text().split()[0])
        return total / 1e9
    except (OSError, ValueError):
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def wakeups(pid):
    """Times any thread of the process was scheduled in: voluntary and forced context switches."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        for line in (task / "status").read_text().splitlines():
            if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                total += int(line.split()[1])
    return total


def memory_kib(pid):
    status = Path(f"/proc/{pid}/status").read_text()
    values = {}
    for line in status.splitlines():
        key, _, rest = line.partition(":")
        if key in ("VmRSS", "RssAnon", "RssFile", "RssShmem"):
            values[key] = int(rest.split()[0])
    return values


def measure(program, seconds):
    with Session(program=program, wm=True, browser=False) as session:
        run = session.start_program(corvane_files={
            "qinglanque.ini": (SAMPLES / "qinglanque.ini").read_bytes(),
            "corvane.ini": (SAMPLES / "corvane.ini").read_bytes()})
        time.sleep(3)  # past start-up work and the first paints
        start_cpu, start = cpu_seconds(run.pid), time.monotonic()
        start_wakeups = wakeups(run.pid)
        time.sleep(seconds)
        used, elapsed = cpu_seconds(run.pid) - start_cpu, time.monotonic() - start
        woken = wakeups(run.pid) - start_wakeups
        memory = memory_kib(run.pid)
        session.stop_program(run)
    return {"seconds": elapsed, "cpu_seconds": used, "cpu_percent": 100.0 * used / elapsed,
            "wakeups_per_second": woken / elapsed,
            "rss_mib": memory["VmRSS"] / 1024.0,
            "rss_anon_mib": memory.get("RssAnon", 0) / 1024.0,
            "rss_file_mib": memory.get("RssFile", 0) / 1024.0}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=os.environ.get("QLQ_PROGRAM", "build/qinglanque"))
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--json", action="store_true")
    args = parser.parse_args()
    result = measure(args.program, args.seconds)
    if args.json:
        print(json.dumps(result, indent=2))
    else:
        print(f"idle CPU over {result['seconds']:.0f} s: {result['cpu_percent']:.4f} % of a core "
              f"({result['cpu_seconds'] * 1000:.0f} ms)")
        print(f"wake-ups: {result['wakeups_per_second']:.2f} a second")
        print(f"resident memory: {result['rss_mib']:.1f} MiB "
              f"(anonymous {result['rss_anon_mib']:.1f}, file-backed {result['rss_file_mib']:.1f})")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""How long an F8 press takes to become text in a Windows edit control under Wine. Not a test.

Starts the Windows build (qinglanque.exe) and a plain edit control (wine_paste_target.exe) under
Wine on a private Xvfb; the control appends a line to a file at every change of its text, and
this driver watches the file on its own clock, so nothing has to agree on time. With --compare,
blocks of presses alternate between this build's program and an older qinglanque.exe.
    python3 bench/measure_wine.py --build build-windows [--compare OLD.exe] [--presses 20]
        [--rounds 2] [--json]
"""

import argparse
import json
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session  # noqa: E402

TAILS = ["第一条尾巴：测延迟", "second tail, plain ASCII", "★☆ 第三条 ☆★"]
SPACING = 0.7  # each press takes the immediate path (the last one is over 500 ms old)
HOLD = 0.03  # about as long as a quick finger keeps the key down


def presses_into(s, log, presses):
    """F8 -> the edit control's text changing, in ms; the first press is not counted: in a fresh
    start (or prefix) it may wait on Wine itself."""
    rows = []
    for press in range(presses + 1):
        time.sleep(SPACING)
        seen = len(log.read_text().splitlines())
        before, after = s.fake_key("F8", down=True)
        time.sleep(HOLD)
        s.fake_key("F8", down=False)
        # The paste changes the text once; watch it about every half millisecond.
        # fake_key reports wall-clock times, so the change is timed on the same clock.
        deadline = time.time() + (30 if press == 0 else 5)
        while len(log.read_text().splitlines()) <= seen:
            if time.time() > deadline:
                raise TimeoutError("no paste in the edit control")
            time.sleep(0.0005)
        if press:
            rows.append((time.time() - (before + after) / 2) * 1000)
    return rows


def measure(build, programs, presses, rounds):
    """programs: [(name, exe)]; each block starts one of them afresh, in turn."""
    build = Path(build).resolve()
    prefix = build / "wineprefix-e2e"
    rows = {name: [] for name, _ in programs}
    with Session(program=programs[0][1], wm=True, browser=False, launcher=["wine"]) as s:
        s.env.update({"WINEPREFIX": str(prefix), "WINEDEBUG": "-all"})
        log = s.tmp / "changes.log"
        log.write_text("")
        target = s.spawn("target", ["wine", str(build / "bench" / "wine_paste_target.exe")],
                         env={"QLQ_PASTE_LOG": str(log)})
        window = s.find_window("^paste target$", pid=target.pid, timeout=60)
        for _ in range(rounds):
            for name, program in programs:
                s.program = Path(program).resolve()
                run = s.start_program(tails=TAILS)
                s.xdotool("windowactivate", "--sync", window)
                time.sleep(1)
                rows[name] += presses_into(s, log, presses)
                s.stop_program(run)
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-windows")
    parser.add_argument("--compare", help="an older qinglanque.exe, run beside this build's")
    parser.add_argument("--presses", type=int, default=20, help="counted presses per block")
    parser.add_argument("--rounds", type=int, default=2, help="blocks per program")
    parser.add_argument("--json", action="store_true")
    args = parser.parse_args()
    programs = [("wine_text_ms", Path(args.build) / "qinglanque.exe")]
    if args.compare:
        programs.append(("wine_text_ms_old", args.compare))
    rows = measure(args.build, programs, args.presses, args.rounds)
    result = {name: {"median": statistics.median(r), "max": max(r), "min": min(r)}
              for name, r in rows.items()}
    if args.json:
        print(json.dumps(result, indent=2))
    else:
        for name, r in result.items():
            which = "an older build" if name.endswith("_old") else "this build"
            print(f"F8 -> text in a Windows edit control under Wine, {which}: median "
                  f"{r['median']:.1f} ms, max {r['max']:.1f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())

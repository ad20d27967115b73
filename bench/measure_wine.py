#!/usr/bin/env python3
"""How long an F8 press takes to become text in a Windows edit control under Wine. Not a test.

Starts the Windows build (qinglanque.exe) and a plain edit control (wine_paste_target.exe) under
Wine on a private Xvfb; the control appends a line to a file at every change of its text, and
this driver watches the file on its own clock, so nothing has to agree on time.
    python3 bench/measure_wine.py --build build-windows [--presses 20] [--json]
"""

import argparse
import json
import os
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import Session  # noqa: E402

TAILS = ["第一条尾巴：测延迟", "second tail, plain ASCII", "★☆ 第三条 ☆★"]
SPACING = 0.7  # each press takes the immediate path (the last one is over 500 ms old)
HOLD = 0.03  # about as long as a quick finger keeps the key down


def measure(build, presses):
    build = Path(build).resolve()
    prefix = build / "wineprefix-e2e"
    rows = []
    with Session(program=build / "qinglanque.exe", wm=True, browser=False,
                 launcher=["wine"]) as s:
        s.env.update({"WINEPREFIX": str(prefix), "WINEDEBUG": "-all"})
        log = s.tmp / "changes.log"
        log.write_text("")
        target = s.spawn("target", ["wine", str(build / "bench" / "wine_paste_target.exe")],
                         env={"QLQ_PASTE_LOG": str(log)})
        window = s.find_window("^paste target$", pid=target.pid, timeout=60)
        s.start_program(tails=TAILS)
        s.xdotool("windowactivate", "--sync", window)
        time.sleep(1)
        # The first paste in a fresh prefix may wait on Wine itself; it is not counted.
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


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-windows")
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--json", action="store_true")
    args = parser.parse_args()
    rows = measure(args.build, args.presses)
    result = {"median": statistics.median(rows), "max": max(rows), "min": min(rows)}
    if args.json:
        print(json.dumps({"wine_text_ms": result}, indent=2))
    else:
        print(f"F8 -> text in a Windows edit control under Wine: median {result['median']:.1f} "
              f"ms, max {result['max']:.1f} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())

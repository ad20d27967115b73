#!/usr/bin/env python3
"""F8 -> text in the textarea of Chromium running natively on Wayland, on headless sway, where
F8 is bound to `qinglanque --insert` (the bed of tests/e2e/test_wayland_sway.py). Each press is
`wtype -k Escape -k F8` on one virtual keyboard, 0.6 s apart: Escape reaches the page (which empties the box
and stamps it) and F8, sent right after, goes to sway's binding. The figure runs from Escape's
keydown to the box's input event, both on the page's clock, so it holds sway starting
`qinglanque --insert`, the request, the data-control clipboard and the virtual keyboard's
Ctrl+V.
    measure_wayland.py --program build/qinglanque [--presses 20] [--json]"""

import argparse
import json
import statistics
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests" / "e2e"))

from wayland_bed import WaylandSession  # noqa: E402


def measure(program, presses):
    figures = []
    with WaylandSession("sway", program=program) as s:
        s.start_program(tails=[f"tail {i}" for i in range(presses)])
        mark = s.focus_browser()
        sent = 0.0
        for _ in range(presses):
            # Presses 0.6 s apart, as on X11: a press within 500 ms of the last one waits.
            time.sleep(max(0.0, sent + 0.6 - 0.3 - time.monotonic()))  # wtype waits 0.3 s
            sent = time.monotonic() + 0.3
            s.wtype("-k", "Escape", "-k", "F8")
            cleared = s.page.wait_for("cleared", after=mark)
            text = s.page.wait_for("input", after=cleared["seq"],
                                   predicate=lambda e: e["inputType"] == "insertFromPaste")
            figures.append(text["t"] - cleared["t"])
            mark = text["seq"]
    return figures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--presses", type=int, default=20)
    parser.add_argument("--json", action="store_true")
    args = parser.parse_args()
    figures = measure(Path(args.program).resolve(), args.presses)
    result = {"sway_text_ms": {"median": statistics.median(figures), "max": max(figures),
                               "all": figures}}
    if args.json:
        print(json.dumps(result))
    else:
        print("F8 -> text in native Chromium on sway: %.1f / %.1f ms (median / max)" % (
            result["sway_text_ms"]["median"], result["sway_text_ms"]["max"]))


if __name__ == "__main__":
    main()

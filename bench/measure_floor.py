#!/usr/bin/env python3
"""F8 at the floor: the program beside a minimal C paster, in one run on one machine. Not a test.

Blocks of presses alternate between the pasters (ours, [an older build of ours,] the reference,
ours, ...), quiet and with one busy process per core, each in a fresh start. Three figures per
press, all from the moment F8 is sent by one persistent XTest connection:
  Ctrl+V  the V of Ctrl+V reaches the X server: F8 and V as raw events on the server's clock
          (1 ms steps), seen by key_clock;
  paste   Chromium's paste event in a contenteditable reply box (the forum's kind), on the wall
          clock from the middle of F8's XTest round trip;
  text    the text is in the box (the box's input event), the same way.
python3 bench/measure_floor.py --program build/qinglanque [--compare OLD_BUILD] [--presses 20]
    [--rounds 2] [--json]
"""

import argparse
import contextlib
import json
import os
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from harness import Session, wait_until  # noqa: E402

TAIL = "第一条尾巴：测延迟"
PASTED = "\u3000\r\n" + TAIL  # what the program makes of the tail with its default options
SPACING = 0.6  # the program answers a press at once when the previous one is 500 ms old
HOLD = 0.03  # about as long as a quick finger keeps the key down
FIGURES = {"ctrl_ms": "Ctrl+V", "paste_ms": "paste", "text_ms": "text"}
TARGETS = [("ctrl_ms", "quiet", 1.0), ("ctrl_ms", "loaded", 3.0), ("text_ms", "quiet", 3.0)]


def reply_box_page():
    """The e2e page with a contenteditable div for a box, as the forum's reply box is."""
    page = (ROOT / "tests" / "e2e" / "page.html").read_text()
    page = page.replace('<textarea id="box"></textarea>',
                        '<div id="box" contenteditable="true"></div>')
    page = page.replace("box.value", "box.innerText")
    assert "<textarea" not in page and page.count("box.innerText") == 3, "page.html changed"
    return page.encode()


def busy_ticks():
    """(busy, total) clock ticks of the whole machine since boot, from /proc/stat."""
    user, nice, system, idle, iowait, irq, softirq, steal = map(
        int, Path("/proc/stat").read_text().split()[1:9])
    total = user + nice + system + idle + iowait + irq + softirq + steal
    return total - idle - iowait, total


class KeyClock:
    """Raw key presses with the server's time, as key_clock prints them."""

    def __init__(self, session, program):
        self.process = session.spawn("key_clock", [program])
        wait_until(lambda: "ready" in self.process.log_text(), what="key_clock")

    def lines(self):
        return self.process.log_path.read_text().splitlines()

    def f8_to_v(self, start):
        """Server ms from the first F8 press after line `start` to the first V after it."""
        def found():
            keys = [line.split() for line in self.lines()[start:]]
            f8 = next((i for i, key in enumerate(keys) if key[0] == "F8"), None)
            v = next((int(key[1]) for key in keys[f8 or 0:] if key[0] == "v"), None)
            return None if f8 is None or v is None else v - int(keys[f8][1])

        deadline = time.monotonic() + 1  # the clock prints a moment after the server saw it
        while (gap := found()) is None and time.monotonic() < deadline:
            time.sleep(0.01)
        return gap


def block(s, clock, start, presses):
    """One paster started fresh, one warm-up press, then the counted presses."""
    stop = start()
    rows, missed = [], 0
    try:
        s.focus_textarea()
        mark = s.page.clear()
        busy = busy_ticks()
        for press in range(presses + 1):
            time.sleep(SPACING)
            keys = len(clock.lines())
            before, after = s.fake_key("F8", down=True)
            time.sleep(HOLD)
            s.fake_key("F8", down=False)
            try:
                paste = s.page.wait_for("paste", after=mark, timeout=5)
                text = s.page.wait_for("input", after=paste["seq"], timeout=5)
            except TimeoutError:
                missed += 1
                mark = s.page.clear()
                continue
            mark, sent = text["seq"], (before + after) / 2 * 1000
            if press:
                rows.append({"ctrl_ms": clock.f8_to_v(keys), "paste_ms": paste["t"] - sent,
                             "text_ms": text["t"] - sent, "text_ok": paste["data"] == PASTED})
        busy_now = busy_ticks()
        busy_percent = 100.0 * (busy_now[0] - busy[0]) / max(1, busy_now[1] - busy[1])
    finally:
        stop()
    return {"busy_percent": busy_percent, "missed": missed, "presses": rows}


def measure(programs, reference, key_clock, presses, rounds):
    """programs: [(name, path)] of our builds; returns {name: {"quiet"/"loaded": [blocks]}}."""
    s = Session(program=programs[0][1], wm=True)
    s.pages["/"] = reply_box_page()

    def ours(path):
        def start():
            s.program = Path(path).resolve()
            run = s.start_program(tails=[TAIL])
            return lambda: s.stop_program(run)
        return start

    def floor():
        process = s.spawn("reference", [reference, PASTED])
        wait_until(lambda: "ready" in process.log_text(), what="the reference paster")
        return process.stop

    starters = [(name, ours(path)) for name, path in programs] + [("reference", floor)]
    blocks = {name: {"quiet": [], "loaded": []} for name, _ in starters}
    with s:
        clock = KeyClock(s, key_clock)
        for _ in range(rounds):
            for load in ("quiet", "loaded"):
                with contextlib.ExitStack() as busy:
                    if load == "loaded":  # one busy process per core, stopped by pid
                        for core in range(os.cpu_count()):
                            busy.callback(s.spawn(f"busy{core}", [sys.executable, "-c",
                                                                  "while True: pass"]).stop)
                    for name, start in starters:
                        blocks[name][load].append(block(s, clock, start, presses))
    return blocks


def summary(blocks):
    """Medians per paster and load, with the busy % of each block."""
    result = {}
    for name, loads in blocks.items():
        for load, runs in loads.items():
            rows = [row for run in runs for row in run["presses"]]
            figures = {key: statistics.median(r[key] for r in rows if r[key] is not None)
                       if any(r[key] is not None for r in rows) else float("nan")
                       for key in FIGURES}
            result.setdefault(name, {})[load] = dict(
                figures, busy_percent=[run["busy_percent"] for run in runs],
                pasted=sum(r["text_ok"] for r in rows),
                presses=len(rows) + sum(run["missed"] for run in runs))
    return result


def table(result):
    """The floor rows as text lines: medians, busy % per block, and the targets beside."""
    lines = ["F8 -> ... from the moment F8 is sent, median ms; Chromium, contenteditable reply "
             "box; blocks interleaved", f"{'':<11}" + "".join(
                 f"| {load:<39}" for load in ("quiet", "100 % load (one busy process a core)")),
             f"{'paster':<11}" + "| Ctrl+V  paste   text  pasted  busy %    " * 2]
    for name, loads in result.items():
        cells = []
        for load in ("quiet", "loaded"):
            r = loads[load]
            busy = "/".join(f"{b:.0f}" for b in r["busy_percent"])
            cells.append(f"| {r['ctrl_ms']:6.1f} {r['paste_ms']:6.1f} {r['text_ms']:6.1f}  "
                         f"{r['pasted']:>2}/{r['presses']:<3} {busy:<9}")
        lines.append(f"{name:<11}" + "".join(cells))
    for name in (n for n in result if n != "reference"):
        checks = []
        for key, load, limit in TARGETS:
            gap = result[name][load][key] - result["reference"][load][key]
            checks.append(f"{FIGURES[key]} {load} {gap:+.1f} (<= +{limit:.0f}: "
                          f"{'met' if gap <= limit else 'NOT met'})")
        lines.append(f"{name} - reference: " + "; ".join(checks))
    quiet = [b for loads in result.values() for b in loads["quiet"]["busy_percent"]]
    if quiet and statistics.mean(quiet) > 25:
        lines.append(f"note: the quiet blocks were {statistics.mean(quiet):.0f} % busy on "
                     "average: other work ran, so they were not quiet")
    return [line.rstrip() for line in lines]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", default=os.environ.get("QLQ_PROGRAM", "build/qinglanque"))
    parser.add_argument("--compare", help="an older build of the program, run beside it")
    parser.add_argument("--reference", default=str(ROOT / "build" / "bench" / "reference_paster"))
    parser.add_argument("--key-clock", default=str(ROOT / "build" / "bench" / "key_clock"))
    parser.add_argument("--presses", type=int, default=20, help="counted presses per block")
    parser.add_argument("--rounds", type=int, default=2, help="blocks per paster and load")
    parser.add_argument("--json", action="store_true")
    args = parser.parse_args()
    programs = [("ours (new)" if args.compare else "ours", args.program)]
    if args.compare:
        programs.append(("ours (old)", args.compare))
    blocks = measure(programs, args.reference, args.key_clock, args.presses, args.rounds)
    result = summary(blocks)
    if args.json:
        print(json.dumps({"floor": result, "blocks": blocks}, indent=2))
    else:
        print("\n".join(table(result)))
    return 0


if __name__ == "__main__":
    sys.exit(main())

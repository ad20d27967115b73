#!/usr/bin/env python3
"""Turns the outputs collected by scripts/bench into one table with the targets beside them."""

import json
import platform
import sys
from pathlib import Path

import measure_floor


def benchmarks(path):
    data = json.loads(Path(path).read_text())
    # Names carry suffixes such as "/iterations:5/manual_time"; the first part is the benchmark.
    return {b["name"].split("/")[0]: b for b in data.get("benchmarks", [])}


def ms(b):
    factor = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
    return b["real_time"] * factor


def main(folder):
    folder = Path(folder)
    core = benchmarks(folder / "core.json")
    editor = benchmarks(folder / "editor.json")
    idle = json.loads((folder / "idle.json").read_text())
    latency = json.loads((folder / "latency.json").read_text())

    rows = [
        ("idle CPU over %.0f s" % idle["seconds"], "%.4f %% of a core" % idle["cpu_percent"],
         "<= 0.03 %"),
        ("idle wake-ups", "%.1f a second" % idle["wakeups_per_second"], "the 500 ms poll: 2"),
        ("resident memory (idle, no gallery)",
         "%.1f MiB (private %.1f, shared files %.1f)" % (
             idle["rss_mib"], idle["rss_anon_mib"], idle["rss_file_mib"]), "<= 35 MB"),
        ("idle tick allocations", "%.0f" % core["BM_IdleTick"]["allocs_per_tick"], "0"),
        ("start-up: hand-over to window shown (100 000 tails)",
         "%.1f ms" % ms(core["BM_MainWindowStartup100k"]), "<= 150 ms"),
        ("F8 event read -> Ctrl+V sent, in the program (median / max)",
         "%.1f / %.1f ms" % (latency["inside_ms"]["median"], latency["inside_ms"]["max"])
         if "inside_ms" in latency else "not logged", ""),
        ("F8 -> Ctrl+V at the page (median / max)",
         "%.1f / %.1f ms" % (latency["ctrl_ms"]["median"], latency["ctrl_ms"]["max"]), ""),
        ("F8 -> paste event in Chromium (median / max)",
         "%.1f / %.1f ms" % (latency["paste_ms"]["median"], latency["paste_ms"]["max"]),
         "<= 20 / 30 ms"),
        ("F8 -> text in the box (median / max)",
         "%.1f / %.1f ms" % (latency["text_ms"]["median"], latency["text_ms"]["max"]), ""),
        ("options file of 1 MB blank lines: read and write",
         "%.1f ms" % ms(core["BM_OptionsFile1MBlankLines"]), "well under 100 ms"),
        ("F8 -> paste event, a 5 MB tail (median / max)",
         "%.0f / %.0f ms" % (latency["huge_paste_ms"]["median"], latency["huge_paste_ms"]["max"]),
         "<= 200 ms"),
        ("tail list load, 100 000 lines (file)", "%.1f ms" % ms(core["BM_LoadTailListFile100k"]),
         "<= 100 ms"),
        ("tail list load, 100 000 lines (into the list view)",
         "%.1f ms" % ms(core["BM_MainWindowReload100k"]), "<= 100 ms"),
        ("editor open, 100 000 lines (text shown; longest freeze)",
         "%.0f ms; %.0f ms" % (ms(editor["BM_EditorOpen100k"]),
                               editor["BM_EditorOpen100k"]["longest_turn_ms"]),
         "freeze <= 200 ms"),
        ("editor save, 100 000 lines (closed; longest freeze)",
         "%.0f ms; %.0f ms" % (ms(editor["BM_EditorSave100k"]),
                               editor["BM_EditorSave100k"]["longest_freeze_ms"]),
         "<= 200 ms"),
    ]
    for size in ("1 M", "10 M"):
        name = f"editor open, one line of {size} characters (longest freeze)"
        rows.append((name, "%.0f ms" % editor[name]["longest_freeze_ms"], "<= 200 ms"))
    wayland = folder / "wayland.json"
    if wayland.exists():  # beside the X11 row
        sway = json.loads(wayland.read_text())["sway_text_ms"]
        at = next(i for i, r in enumerate(rows) if r[0].startswith("F8 -> text in the box")) + 1
        rows.insert(at, ("F8 -> text in the native Chromium box on sway (median / max)",
                         "%.1f / %.1f ms" % (sway["median"], sway["max"]), "informational"))
    wine = folder / "wine.json"
    if wine.exists():
        runs = json.loads(wine.read_text())
        for key, which in (("wine_text_ms", ""), ("wine_text_ms_old", ", older build")):
            if key in runs:
                rows.append((f"F8 -> text in a Windows edit control, Wine{which} (median / max)",
                             "%.1f / %.1f ms" % (runs[key]["median"], runs[key]["max"]),
                             "informational"))
    width = max(len(r[0]) for r in rows)
    value_width = max(len(r[1]) for r in rows)
    print(f"qinglanque benchmarks on {platform.node()} ({platform.machine()}, "
          f"{platform.platform()})")
    print(f"{'figure':<{width}}  {'measured':<{value_width}}  target")
    print("-" * (width + value_width + 12))
    for name, value, target in rows:
        print(f"{name:<{width}}  {value:<{value_width}}  {target}")
    floor = folder / "floor.json"
    if floor.exists():
        print()
        print("\n".join(measure_floor.table(json.loads(floor.read_text())["floor"])))


if __name__ == "__main__":
    main(sys.argv[1])

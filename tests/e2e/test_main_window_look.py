#!/usr/bin/env python3
"""The real main window on a real X server: its client size, and Chinese captions drawn as
glyphs rather than the empty boxes a missing CJK font leaves.

    QLQ_PROGRAM=build/qinglanque python3 tests/e2e/test_main_window_look.py -v
"""

import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import Session, twips  # noqa: E402

SAMPLE_TAILS = (HERE / "data" / "qinglanque.ini").read_bytes()

# Designed rectangles (twips) of buttons with four different Chinese characters each.
COMMAND2 = (120, 8160, 1335, 495)  # 签名大全
COMMAND4 = (2120, 8160, 1335, 495)  # 使用说明
COMMAND1 = (4120, 8160, 1335, 495)  # 作者主页


def ink_mask(png, x, y, width, height):
    """Inked pixels of a screen region (anti-aliased strokes included), as rows of booleans."""
    pgm = subprocess.run(["convert", str(png), "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                          "-colorspace", "Gray", "-depth", "8", "pgm:-"],
                         check=True, capture_output=True, timeout=30).stdout
    # P5 header: magic, width, height, maxval, then one byte a pixel.
    parts = pgm.split(maxsplit=4)
    w, h, data = int(parts[1]), int(parts[2]), parts[4]
    return [[data[r * w + c] < 170 for c in range(w)] for r in range(h)]


def bounding_box(mask, left=0, right=None):
    right = len(mask[0]) if right is None else right
    cells = [(r, c) for r, row in enumerate(mask) for c in range(left, right) if row[c]]
    if not cells:
        return None
    rows = [r for r, _ in cells]
    cols = [c for _, c in cells]
    return min(rows), max(rows), min(cols), max(cols), len(cells)


def character_cells(mask, count=4):
    """Splits a caption's ink evenly into its characters (all captions here are four wide)."""
    top, bottom, left, right, _ = bounding_box(mask)
    width = (right - left + 1) / count
    return [bounding_box(mask, round(left + i * width), round(left + (i + 1) * width))
            for i in range(count)]


def outline_share(mask, box):
    """How much of a character's ink lies on the edge of its own box: all of it for the hollow
    rectangle a missing glyph is drawn as, far less for a real character."""
    top, bottom, left, right, total = box
    edge = sum(1 for r in range(top, bottom + 1) for c in range(left, right + 1)
               if mask[r][c] and r in (top, bottom) or mask[r][c] and c in (left, right))
    return edge / total


class MainWindowLookTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = Session(wm=True, browser=False)
        cls.session.start()
        cls.program_run = cls.session.start_program(tails=SAMPLE_TAILS)
        cls.window = cls.program_run.main_window
        cls.tmp = tempfile.TemporaryDirectory()

    @classmethod
    def tearDownClass(cls):
        cls.session.close()
        cls.tmp.cleanup()

    def client_info(self):
        """xwininfo's view of the client window: absolute position and size."""
        info = subprocess.run(["xwininfo", "-id", str(self.window)], env=self.session.env,
                              check=True, capture_output=True, text=True, timeout=10).stdout
        return {k.strip(): v.strip() for k, v in
                (line.split(":", 1) for line in info.splitlines() if ":" in line)}

    def test_client_area_is_501_by_584(self):
        info = self.client_info()
        self.assertEqual((int(info["Width"]), int(info["Height"])), (501, 584))

    def test_chinese_captions_are_real_glyphs(self):
        shot = self.session.screenshot(Path(self.tmp.name) / "main.png")
        info = self.client_info()
        x0, y0 = int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"])
        inks = []
        for left, top, width, height in (COMMAND2, COMMAND4, COMMAND1):
            # The inside of the button, away from its border.
            mask = ink_mask(shot, x0 + twips(left) + 6, y0 + twips(top) + 6,
                            twips(width) - 12, twips(height) - 12)
            for box in character_cells(mask):
                self.assertIsNotNone(box, "a character left no ink")
                top_row, bottom_row, _, _, ink = box
                self.assertGreaterEqual(bottom_row - top_row + 1, 8)  # a 9-point character
                self.assertLess(outline_share(mask, box), 0.75)
                inks.append(ink)
        # Twelve different characters: boxes would all carry the same ink.
        self.assertGreaterEqual(len(set(inks)), 5, inks)


if __name__ == "__main__":
    unittest.main()

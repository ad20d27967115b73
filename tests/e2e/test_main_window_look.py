#!/usr/bin/env python3
"""The real main window: its client size, and Chinese captions drawn as glyphs rather than the
hollow boxes a missing CJK font leaves (FONTCONFIG_FILE without CJK fonts makes this fail)."""

import sys
import unittest
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

from harness import Session, twips  # noqa: E402

# Designed rectangles (twips) of buttons with four different Chinese characters each.
BUTTONS = [(120, 8160, 1335, 495), (2120, 8160, 1335, 495), (4120, 8160, 1335, 495)]


def ink_mask(shot, left, top, width, height):
    """Rows of booleans: inked (dark, anti-aliased strokes included) pixels inside a button."""
    x0, y0 = twips(left) + 6, twips(top) + 6  # away from the border
    return [[sum(c * w for c, w in zip(shot.pixel(x, y), (299, 587, 114))) < 170_000
             for x in range(x0, x0 + twips(width) - 12)]
            for y in range(y0, y0 + twips(height) - 12)]


def bounding_box(mask, left=0, right=None):
    cells = [(r, c) for r, row in enumerate(mask) for c in range(left, right or len(row)) if row[c]]
    if not cells:
        return None
    rows, cols = [r for r, _ in cells], [c for _, c in cells]
    return min(rows), max(rows), min(cols), max(cols), len(cells)


def outline_share(mask, box):
    """Share of a character's ink on the edge of its own box: all of it for a missing glyph's
    hollow rectangle, far less for a real character."""
    top, bottom, left, right, total = box
    return sum(1 for r in range(top, bottom + 1) for c in range(left, right + 1)
               if mask[r][c] and (r in (top, bottom) or c in (left, right))) / total


class MainWindowLookTest(unittest.TestCase):
    def test_client_size_and_chinese_captions_are_real_glyphs(self):
        with Session(wm=True, browser=False) as s:
            window = s.start_program(tails=["尾巴"]).main_window
            self.assertEqual(s.window_geometry(window)[2:], (501, 584))
            shot = s.grab(window)
        inks = []
        for button in BUTTONS:
            mask = ink_mask(shot, *button)
            top, bottom, left, right, _ = bounding_box(mask)
            width = (right - left + 1) / 4  # four characters a caption
            for i in range(4):
                box = bounding_box(mask, round(left + i * width), round(left + (i + 1) * width))
                self.assertIsNotNone(box, "a character left no ink")
                self.assertGreaterEqual(box[1] - box[0] + 1, 8)  # a 9-point character
                self.assertLess(outline_share(mask, box), 0.75)
                inks.append(box[4])
        # Twelve different characters: boxes would all carry the same ink.
        self.assertGreaterEqual(len(set(inks)), 5, inks)


if __name__ == "__main__":
    unittest.main()

#!/usr/bin/python3
"""Makes /tmp/contact_sheet.png from the files in data/: every atlas picture
4x with its name and hot spot, the explosion frames, the font sheets with
the game's screen texts, and the logo. With --sounds also
/tmp/waveforms.png: waveform and sonogram of every sound."""

import argparse
import os
import sys
import tempfile

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
DATA = os.path.join(os.path.dirname(HERE), "data")

from assets.atlas_layout import ATLAS_SIZE, KABOOM_SIZE, KABOOMS, atlas_entries, frames_of  # noqa: E402
from assets.fonts import draw_text, parse_fnt  # noqa: E402

BG = (0, 0, 0)
LABEL = (190, 200, 215)


def flow(cells, width, pad=8):
    """Places (image, label) cells left to right in rows; returns positions and height."""
    x = y = rowh = 0
    pos = []
    for im, _ in cells:
        w, h = im.width + pad, im.height + 16 + pad
        if x + w > width and x > 0:
            x, y, rowh = 0, y + rowh, 0
        pos.append((x, y))
        x += w
        rowh = max(rowh, h)
    return pos, y + rowh


def atlas_cells(data, scale):
    tex = Image.open(os.path.join(data, "tex.png")).convert("RGBA")
    cells = []
    for e in atlas_entries():
        frames = frames_of(e, ATLAS_SIZE[0]) if e.frames > 1 else [e.rect()]
        for i, (x, y, w, h) in enumerate(frames):
            im = tex.crop((x, y, x + w, y + h)).resize((w * scale, h * scale), Image.NEAREST)
            back = Image.new("RGBA", im.size, (12, 12, 22, 255))
            back.alpha_composite(im)
            d = ImageDraw.Draw(back)
            hx, hy = e.hx * scale, e.hy * scale
            d.line([(hx - 4, hy), (hx + 4, hy)], fill=(255, 40, 40, 255))
            d.line([(hx, hy - 4), (hx, hy + 4)], fill=(255, 40, 40, 255))
            label = e.name + ("#%d" % i if e.frames > 1 else "")
            cells.append((back, label))
    return cells


def kaboom_cells(data, scale):
    tex = Image.open(os.path.join(data, "kaboom.png")).convert("RGBA")
    cells = []
    for e in KABOOMS:
        for i, (x, y, w, h) in enumerate(frames_of(e, KABOOM_SIZE[0])):
            im = tex.crop((x, y, x + w, y + h)).resize((w * scale, h * scale), Image.NEAREST)
            back = Image.new("RGBA", im.size, (0, 0, 0, 255))
            back.alpha_composite(im)
            cells.append((back, "%s#%d" % (e.name, i)))
    return cells


def font_panel(data):
    """The menu and shop as the game lays them out, on an 800x590 screen each."""
    panels = []
    for name, texts in (("font1", [("ONE PLAYER", 200, 435, True), ("SPACE CHANGE GAMEMODE", 200, 455, True),
                                   ("PASSWORD:\nBDFHKMPRT\nLEVEL: 007", 520, 435, False),
                                   ("ARROWS AND CTRL", 600, 560, True), ("WASD AND SHIFT", 200, 560, True),
                                   ("abcdefghijklmnopqrstuvwxyz 0123456789", 20, 20, False),
                                   ("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 20, 50, False)]),
                        ("font2", [("BONUS%11d.000   CREDITS%4d.000" % (1234, 250), 116, 57, False),
                                   ("F1 SHIPS:       03", 68, 137, False), ("PRICE  10.000", 516, 137, False),
                                   ("F2 FLEXIBILITY: IMPROVED", 68, 166, False), ("PRICE 170.000", 516, 166, False),
                                   ("F3 FIREPOWER:   VERY LOW", 68, 197, False), ("PRICE 100.000", 516, 197, False),
                                   ("F4 SHIELD:      BEST", 68, 227, False),
                                   ("PUSH FIRE FOR LEVEL    7", 400, 297, True),
                                   ("G A M E     O V E R", 400, 100, True),
                                   ("abcdefghijklmnopqrstuvwxyz 0123456789", 20, 400, False),
                                   ("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~", 20, 440, False)])):
        with open(os.path.join(data, name + ".fnt"), encoding="latin-1") as f:
            bitmap, glyphs = parse_fnt(f.read())
        sheet = Image.open(os.path.join(data, bitmap)).convert("RGBA")
        screen = Image.new("RGBA", (800, 590), (0, 0, 0, 255))
        d = ImageDraw.Draw(screen)
        d.line([(399, 0), (399, 589)], fill=(40, 40, 60, 255))
        d.line([(516, 120), (516, 260)], fill=(40, 40, 60, 255))
        for text, x, y, centre in texts:
            draw_text(screen, sheet, glyphs, x, y, text, centre)
        panels.append((screen, name + " screen"))
        big = sheet.resize((sheet.width * 2, sheet.height * 2), Image.NEAREST)
        back = Image.new("RGBA", big.size, (30, 30, 46, 255))
        back.alpha_composite(big)
        panels.append((back, bitmap + " 2x"))
    return panels


def compose(sections, width):
    blocks = []
    for title, cells in sections:
        pos, h = flow(cells, width)
        blocks.append((title, cells, pos, h))
    total = sum(h + 28 for *_, h in blocks)
    out = Image.new("RGB", (width, total), BG)
    d = ImageDraw.Draw(out)
    y0 = 0
    for title, cells, pos, h in blocks:
        d.text((4, y0 + 6), title, fill=(255, 220, 120))
        y0 += 24
        for (im, label), (x, y) in zip(cells, pos):
            out.paste(im.convert("RGB"), (x, y0 + y))
            d.text((x, y0 + y + im.height + 2), label, fill=LABEL)
        y0 += h + 4
    return out


def waveforms(data, path):
    from assets import sounds
    rows = []
    with tempfile.TemporaryDirectory() as tmp:
        for name, _, _ in sounds.EFFECTS:
            x, rate = sounds.decode(os.path.join(data, name), tmp)
            rows.append((name, x, rate))
    W, H = 1000, 120
    out = Image.new("RGB", (W, H * len(rows)), (8, 8, 14))
    d = ImageDraw.Draw(out)
    for r, (name, x, rate) in enumerate(rows):
        top = r * H
        half = W // 2
        n = len(x)
        cols = np.array_split(np.abs(x), half)
        for i, c in enumerate(cols):
            v = float(c.max()) if len(c) else 0.0
            h = int(v * (H / 2 - 12))
            d.line([(i, top + H // 2 - h), (i, top + H // 2 + h)], fill=(90, 200, 255))
        d.line([(0, top + 12), (half, top + 12)], fill=(120, 40, 40))
        d.line([(0, top + H - 12), (half, top + H - 12)], fill=(120, 40, 40))
        # sonogram, 0..11 kHz, log magnitude
        seg = 1024
        hop = max(1, (n - seg) // half) if n > seg else 1
        frames = [x[i:i + seg] * np.hanning(seg) for i in range(0, max(n - seg, 1), hop)][:half]
        if frames and len(frames[0]) == seg:
            mag = np.abs(np.fft.rfft(np.array(frames), axis=1))[:, :256]
            mag = 20 * np.log10(mag + 1e-6)
            mag = np.clip((mag + 20) / 60, 0, 1)
            img = Image.fromarray((mag.T[::-1] * 255).astype(np.uint8)).resize((half, H - 4))
            heat = Image.merge("RGB", (img, img.point(lambda v: int(v * 0.6)), img.point(lambda v: 255 - v // 2 if v else 0)))
            out.paste(heat, (half, top + 2))
        d.text((4, top + 2), "%s  %.2f s  peak %.2f" % (name, n / rate, np.abs(x).max()), fill=(255, 255, 255))
        d.line([(0, top + H - 1), (W, top + H - 1)], fill=(40, 40, 60))
    out.save(path)


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--data", default=DATA)
    ap.add_argument("--out", default="/tmp/contact_sheet.png")
    ap.add_argument("--sounds", action="store_true", help="also write /tmp/waveforms.png")
    args = ap.parse_args()
    logo = Image.open(os.path.join(args.data, "logo.png")).convert("RGBA")
    sections = [("atlas pictures, 4x (red cross: hot spot)", atlas_cells(args.data, 4)),
                ("explosions, 2x", kaboom_cells(args.data, 2)),
                ("fonts", font_panel(args.data)),
                ("logo", [(logo, "logo.png")])]
    compose(sections, 1700).save(args.out)
    print("wrote", args.out)
    if args.sounds:
        waveforms(args.data, "/tmp/waveforms.png")
        print("wrote /tmp/waveforms.png")


if __name__ == "__main__":
    main()

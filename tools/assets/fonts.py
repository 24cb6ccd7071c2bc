"""The two bitmap fonts: glyph sheets drawn from DejaVu with PIL, and their
description files ("[HGEFONT]", a Bitmap line, one Char line per glyph).

Every glyph rectangle spans the same rows (top of the tallest glyph to the
bottom of the deepest descender), because the game draws each glyph with
its top-left corner on the line's top.
"""

import numpy as np
from PIL import Image, ImageDraw, ImageFont
from scipy import ndimage

from .raster import mix, rgb, to_image

DEJAVU = "/usr/share/fonts/truetype/dejavu/"
PRINTABLE = [chr(c) for c in range(32, 127)]


class FontStyle:
    def __init__(self, name, ttf, size, top, bottom, mono_advance=None, outline=None,
                 glow=None, pad=0):
        self.name, self.ttf, self.size = name, ttf, size
        self.top, self.bottom = top, bottom          # gradient colours
        self.mono_advance = mono_advance
        self.outline, self.glow, self.pad = outline, glow, pad


# font1: menu captions over the running demo, so a dark outline keeps them
# readable on explosions. font2: the shop and game-over screens on black.
FONT1 = FontStyle("font1", DEJAVU + "DejaVuSans-Bold.ttf", 18, "#ffffff", "#74ccff",
                  outline=("#04101e", 0.9), pad=1)
FONT2 = FontStyle("font2", DEJAVU + "DejaVuSansMono-Bold.ttf", 22, "#ffffff", "#ffcc6a",
                  mono_advance=16, glow=("#ff9a30", 0.35), pad=0)


def _glyph_layers(style, font, ch, cell_top, cell_h):
    """Rendered glyph: (RGBA image, ink left edge relative to the pen)."""
    big = 96
    canvas = Image.new("L", (big * 2, cell_h), 0)
    ox = big // 2
    ImageDraw.Draw(canvas).text((ox, -cell_top), ch, font=font, fill=255, anchor="ls")
    m = np.asarray(canvas, np.float32) / 255.0
    h, w = m.shape
    ys = (np.arange(h, dtype=np.float32) + 0.5) / h
    grad = mix(rgb(style.top), rgb(style.bottom), np.clip((ys - 0.25) / 0.55, 0, 1))
    col = np.broadcast_to(grad[:, None, :], (h, w, 3)).astype(np.float32)
    col = col * m[..., None]
    a = m.copy()
    if style.outline:
        oc, oa = style.outline
        ring = ndimage.maximum_filter(m, size=3) * oa
        under = ring * (1 - a)
        col = col + rgb(oc) * under[..., None]
        a = a + under
    if style.glow:
        gc, ga = style.glow
        g = ndimage.gaussian_filter(m, 1.0) * ga * (1 - a)
        col = col + rgb(gc) * g[..., None]
        a = a + g
    return col, a, ox


def render_font(style):
    """Returns (sheet image, list of (char, x, y, w, h, pre, post), line height)."""
    font = ImageFont.truetype(style.ttf, style.size)
    tops, bottoms = [], []
    for ch in PRINTABLE[1:]:
        x0, y0, x1, y1 = font.getbbox(ch, anchor="ls")
        tops.append(y0)
        bottoms.append(y1)
    cell_top = min(tops) - style.pad
    cell_h = max(bottoms) + style.pad - cell_top
    cells = []
    for ch in PRINTABLE:
        adv = style.mono_advance or int(round(font.getlength(ch)))
        if ch == " ":
            cells.append((ch, None, 1, 0, adv - 1))
            continue
        col, a, ox = _glyph_layers(style, font, ch, cell_top, cell_h)
        used = np.nonzero(a.max(axis=0) > 1e-3)[0]
        if style.mono_advance:
            # fixed cell, ink centred in it
            ink_l, ink_r = used[0], used[-1] + 1
            left = int(round((ink_l + ink_r) / 2 - adv / 2))
            x0, x1 = left, left + adv
            pre, post = 0, 0
        else:
            x0, x1 = used[0], used[-1] + 1
            pre = x0 - ox
            post = adv - pre - (x1 - x0)
        cells.append((ch, (col[:, x0:x1], a[:, x0:x1]), x1 - x0, pre, post))

    width = 256
    x = y = 0
    placed = []
    for ch, pix, w, pre, post in cells:
        if x + w > width:
            x = 0
            y += cell_h + 1
        placed.append((ch, pix, x, y, w, pre, post))
        x += w + 1
    height = 1
    while height < y + cell_h:
        height *= 2
    col = np.zeros((height, width, 3), np.float32)
    a = np.zeros((height, width), np.float32)
    glyphs = []
    for ch, pix, gx, gy, w, pre, post in placed:
        if pix is not None:
            col[gy:gy + cell_h, gx:gx + w] = pix[0]
            a[gy:gy + cell_h, gx:gx + w] = pix[1]
        glyphs.append((ch, gx, gy, w, cell_h, pre, post))
    return to_image(col, a), glyphs, cell_h


def fnt_text(bitmap_name, glyphs):
    lines = ["[HGEFONT]", "Bitmap=%s" % bitmap_name, ""]
    for ch, x, y, w, h, pre, post in glyphs:
        code = '"%s"' % ch if ch.isalnum() else "%02X" % ord(ch)
        lines.append("Char=%s,%d,%d,%d,%d,%d,%d" % (code, x, y, w, h, pre, post))
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------- reading back

def parse_fnt(text):
    """Reads a description the way the game does. Returns (bitmap, glyphs)
    with glyphs {byte: (x, y, w, h, pre, post)}; raises ValueError."""
    import re
    lines = [ln for ln in re.split(r"[\r\n]+", text) if ln != ""]
    if not lines or lines[0] != "[HGEFONT]":
        raise ValueError("first line is not [HGEFONT]")
    bitmap, glyphs = None, {}
    for ln in lines[1:]:
        if ln.startswith("Bitmap"):
            m = re.match(r"Bitmap\s*=\s*(\S+)", ln)
            if m:
                bitmap = m.group(1)
        elif ln.startswith("Char"):
            if bitmap is None:
                raise ValueError("Char line before the Bitmap line")
            rest = ln[ln.index("=") + 1:].lstrip(" ")
            if rest.startswith('"'):
                code, rest = ord(rest[1]), rest[3:]
            else:
                m = re.match(r"[0-9A-Fa-f]*", rest)
                code = int(m.group(0) or "0", 16)
                rest = rest[m.end():]
            nums = re.match(r"\s*,\s*(-?\d+)" * 6, rest)
            if not nums:
                raise ValueError("bad Char line: %r" % ln)
            if code <= 0xFF:
                glyphs[code] = tuple(int(v) for v in nums.groups())
    return bitmap, glyphs


def text_width(glyphs, text):
    total = 0
    for c in text.encode("latin-1"):
        g = glyphs.get(c, glyphs.get(63))
        if g:
            total += g[4] + g[5] + g[2]
    return total


def draw_text(dst, sheet, glyphs, x, y, text, center=False):
    """Draws like the game's printf (left or centred, line feeds)."""
    height = max(g[3] for g in glyphs.values())
    for line in text.split("\n"):
        w = text_width(glyphs, line)
        pen = x - int(round(w / 2)) if center else x
        for c in line.encode("latin-1"):
            g = glyphs.get(c, glyphs.get(63))
            if not g:
                continue
            gx, gy, gw, gh, pre, post = g
            pen += pre
            if gw > 0:
                dst.alpha_composite(sheet.crop((gx, gy, gx + gw, gy + gh)), (int(pen), int(y)))
            pen += gw + post
        y += height

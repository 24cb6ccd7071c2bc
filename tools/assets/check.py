"""Verifies the files of data/ against the layout table and the screens'
needs. Returns a list of problems; an empty list means all is well."""

import os
import re
import tempfile

import numpy as np
from PIL import Image

from . import sounds
from .atlas_layout import (ATLAS_SIZE, KABOOM_SIZE, KABOOMS, LOGO_SIZE, all_rects, atlas_entries,
                           frames_of, layout_problems)
from .fonts import PRINTABLE, parse_fnt, text_width
from .settings_table import sections

QUALITY = ["VERY LOW", "LOW", "AVERAGE", "IMPROVED", "GOOD", "BEST"]
MODES = ["ONE PLAYER", "TEAMWORK", "COMPETITION"]


def _alpha(path):
    img = Image.open(path)
    img.load()
    return img, np.asarray(img.convert("RGBA"))[..., 3]


def check_atlas(data, problems):
    path = os.path.join(data, "tex.png")
    img, a = _alpha(path)
    if img.size != ATLAS_SIZE:
        problems.append("tex.png is %dx%d, expected %dx%d" % (img.size + ATLAS_SIZE))
        return
    problems += ["tex.png: " + p for p in layout_problems(atlas_entries(), ATLAS_SIZE)]
    covered = np.zeros_like(a, bool)
    for name, (x, y, w, h) in all_rects(atlas_entries(), ATLAS_SIZE[0]):
        cell = a[y:y + h, x:x + w]
        covered[y:y + h, x:x + w] = True
        if not (cell == 255).any():
            problems.append("tex.png: %s has no opaque pixel" % name)
        if name != "dot" and (cell[0].any() or cell[-1].any() or cell[:, 0].any() or cell[:, -1].any()):
            problems.append("tex.png: %s touches its rectangle's edge (filtering would bleed)" % name)
    for e in atlas_entries():
        if e.hx == 0 and e.hy == 0:
            continue
        for (x, y, w, h) in (frames_of(e, ATLAS_SIZE[0]) if e.frames > 1 else [e.rect()]):
            hx, hy = int(e.hx), int(e.hy)
            around = a[y + max(hy - 2, 0):y + hy + 2, x + max(hx - 2, 0):x + hx + 2]
            if around.max() < 128:
                problems.append("tex.png: %s has nothing solid at its hot spot (%d, %d)" % (e.name, hx, hy))
    if a[~covered].any():
        problems.append("tex.png: %d pixels outside every rectangle are not transparent" % int((a[~covered] > 0).sum()))


def check_kaboom(data, problems):
    img, a = _alpha(os.path.join(data, "kaboom.png"))
    if img.size != KABOOM_SIZE:
        problems.append("kaboom.png is %dx%d, expected %dx%d" % (img.size + KABOOM_SIZE))
        return
    problems += ["kaboom.png: " + p for p in layout_problems(KABOOMS, KABOOM_SIZE)]
    for e in KABOOMS:
        peaks = []
        for i, (x, y, w, h) in enumerate(frames_of(e, KABOOM_SIZE[0])):
            cell = a[y:y + h, x:x + w]
            peaks.append(cell.astype(float).sum())
            if cell.max() < 8:
                problems.append("kaboom.png: %s frame %d is empty" % (e.name, i))
            if cell[0].any() or cell[-1].any() or cell[:, 0].any() or cell[:, -1].any():
                problems.append("kaboom.png: %s frame %d touches its edge" % (e.name, i))
        if (a[frames_of(e, KABOOM_SIZE[0])[0][1]:, :].max() < 255):
            problems.append("kaboom.png: %s never has a solid core" % e.name)
        if peaks[-1] > 0.25 * max(peaks):
            problems.append("kaboom.png: %s does not fade out (last frame %.0f vs %.0f)" % (e.name, peaks[-1], max(peaks)))


def check_logo(data, problems):
    img = Image.open(os.path.join(data, "logo.png"))
    if img.size != LOGO_SIZE:
        problems.append("logo.png is %dx%d, expected %dx%d" % (img.size + LOGO_SIZE))
        return
    rgb = np.asarray(img.convert("RGB")).astype(int)
    edge = np.concatenate([rgb[0], rgb[-1], rgb[:, 0], rgb[:, -1]])
    if edge.max() > 24:
        problems.append("logo.png: the border is not dark (max %d), it would show as a box on black" % edge.max())
    if rgb.mean() < 10:
        problems.append("logo.png is nearly black")


def menu_texts(widest_letter):
    texts = [(m, 200, "center", 0, 399) for m in MODES]
    texts += [("SPACE CHANGE GAMEMODE", 200, "center", 0, 399), ("WASD AND SHIFT", 200, "center", 0, 399),
              ("ARROWS AND CTRL", 600, "center", 401, 800)]
    for line in ("PASSWORD:", widest_letter * 9, "LEVEL: 449"):
        texts.append((line, 520, "left", 401, 800))
    return texts


def shop_texts():
    out = [("BONUS%11d.000   CREDITS%4d.000" % (99999999999 % 10 ** 11, 9999), 116, "left", 0, 800),
           ("F1 SHIPS:       %s%d" % ("", 99), 68, "left", 0, 516),
           ("PRICE%4d.000" % 9999, 516, "left", 516, 800),
           ("PUSH FIRE FOR LEVEL %4d" % 449, 400, "center", 0, 800),
           ("G A M E     O V E R", 400, "center", 0, 800)]
    for label in ("F2 FLEXIBILITY: %s", "F3 FIREPOWER:   %s", "F4 SHIELD:      %s"):
        for q in QUALITY:
            out.append((label % q, 68, "left", 0, 516))
    return out


def check_font(data, name, problems, max_height, texts_fn, mono):
    fnt = os.path.join(data, name + ".fnt")
    try:
        with open(fnt, "rb") as f:
            raw = f.read()
        bitmap, glyphs = parse_fnt(raw.decode("latin-1"))
    except (OSError, ValueError) as exc:
        problems.append("%s.fnt: %s" % (name, exc))
        return
    if any(len(ln) > 255 for ln in raw.split(b"\n")):
        problems.append("%s.fnt has a line longer than 255 characters" % name)
    if bitmap is None:
        problems.append("%s.fnt has no Bitmap line" % name)
        return
    img, a = _alpha(os.path.join(data, bitmap))
    tw, th = img.size
    missing = [c for c in PRINTABLE if ord(c) not in glyphs]
    if missing:
        problems.append("%s lacks glyphs for %r" % (name, "".join(missing)))
    heights = set()
    for code, (x, y, w, h, pre, post) in glyphs.items():
        heights.add(h)
        if x < 0 or y < 0 or x + w > tw or y + h > th:
            problems.append("%s: glyph %r lies outside its %dx%d texture" % (name, chr(code), tw, th))
        elif chr(code) != " " and not (a[y:y + h, x:x + w] == 255).any():
            problems.append("%s: glyph %r has no opaque pixel" % (name, chr(code)))
    if len(heights) != 1:
        problems.append("%s: glyph heights differ %r; lines would not align" % (name, sorted(heights)))
    height = max(heights)
    if height > max_height:
        problems.append("%s: line height %d is above %d" % (name, height, max_height))
    if mono:
        advances = {g[2] + g[4] + g[5] for g in glyphs.values()}
        if len(advances) != 1:
            problems.append("%s is not monospaced: advances %r" % (name, sorted(advances)))
    widest = max((c for c in "ABCDEFGHIJKLMNOPQRSTUVWXYZ"), key=lambda c: text_width(glyphs, c))
    for text, x, align, lo, hi in texts_fn(widest):
        w = text_width(glyphs, text)
        left = x - int(round(w / 2)) if align == "center" else x
        if left < lo or left + w > hi:
            problems.append("%s: %r spans x %d..%d, outside %d..%d" % (name, text, left, left + w, lo, hi))
    return height


def check_fonts(data, problems):
    h1 = check_font(data, "font1", problems, 20, menu_texts, mono=False)
    if h1 and 435 + 3 * h1 > 590:
        problems.append("font1: the three-line password block would run below the window")
    check_font(data, "font2", problems, 24, lambda _w: shop_texts(), mono=True)


def check_sounds(data, problems, report=None):
    with tempfile.TemporaryDirectory() as tmp:
        for name, _, longest in sounds.EFFECTS:
            path = os.path.join(data, name)
            if not os.path.exists(path):
                problems.append("%s is missing" % name)
                continue
            try:
                x, rate = sounds.decode(path, tmp)
            except Exception as exc:  # a broken file is a finding, not a crash
                problems.append("%s does not decode: %s" % (name, exc))
                continue
            dur = len(x) / rate
            # the decoder adds the encoder's delay and padding, about 50 ms
            lo, hi = sounds.LENGTH_RANGE.get(name, (0.05, longest))
            if not lo <= dur <= hi + 0.1:
                problems.append("%s lasts %.2f s, expected %.2f..%.2f" % (name, dur, lo, hi))
            peak = float(np.abs(x).max())
            full = np.abs(x) >= 0.999
            if peak >= 0.999 or (full[:-2] & full[1:-1] & full[2:]).any():
                problems.append("%s clips (peak %.3f)" % (name, peak))
            win = 0.4 if name == "intro.mp3" else 0.05
            target = sounds.MUSIC_RMS_DB if name == "intro.mp3" else sounds.TARGET_RMS_DB
            loud = 20 * np.log10(max(sounds.window_rms_max(x, win), 1e-9))
            if abs(loud - target) > 1.5:
                problems.append("%s loudness %.1f dB, target %.1f dB" % (name, loud, target))
            if report is not None:
                rms = 20 * np.log10(max(np.sqrt(np.mean(x ** 2)), 1e-9))
                report.append((name, dur, peak, loud, rms))


def check_ini(data, problems):
    path = os.path.join(data, "Settings.ini")
    try:
        with open(path) as f:
            lines = f.read().splitlines()
    except OSError as exc:
        problems.append("Settings.ini: %s" % exc)
        return
    found, section, seen_sections, prev = [], None, [], ""
    for ln in lines:
        s = ln.strip()
        m = re.match(r"^\[(.+)\]$", s)
        if m:
            section = m.group(1)
            if section in seen_sections:
                problems.append("Settings.ini: section [%s] appears twice" % section)
            seen_sections.append(section)
        elif s and not s.startswith(";"):
            key, _, value = s.partition("=")
            if not prev.startswith(";"):
                problems.append("Settings.ini: %s has no comment" % key)
            found.append((section, key.strip(), value.strip()))
        prev = s
    from .settings_table import fmt
    expected = [(sec, key, fmt(kind, value)) for sec, rows in sections() for key, kind, value, _ in rows]
    if found != expected:
        for i, (f, e) in enumerate(zip(found, expected)):
            if f != e:
                problems.append("Settings.ini entry %d is %r, expected %r" % (i, f, e))
                break
        if len(found) != len(expected):
            problems.append("Settings.ini has %d keys, expected %d" % (len(found), len(expected)))
    if ("Player1", "fire", "16") not in found:
        problems.append("Settings.ini: Player1 fire is not 16 (Shift)")


def run_checks(data, report=None):
    problems = []
    needed = ["tex.png", "logo.png", "kaboom.png", "font1.fnt", "font2.fnt", "Settings.ini", "CREDITS"]
    needed += [name for name, _, _ in sounds.EFFECTS]
    missing = [n for n in needed if not os.path.exists(os.path.join(data, n))]
    problems += ["%s is missing" % n for n in missing]
    for fn, files in ((check_atlas, ["tex.png"]), (check_kaboom, ["kaboom.png"]), (check_logo, ["logo.png"]),
                      (check_fonts, ["font1.fnt", "font2.fnt"]), (check_ini, ["Settings.ini"])):
        if not any(f in missing for f in files):
            fn(data, problems)
    check_sounds(data, problems, report)
    if "CREDITS" not in missing:
        with open(os.path.join(data, "CREDITS")) as f:
            text = f.read()
            if "Bitstream Vera" not in text:
                problems.append("CREDITS lacks the DejaVu licence")
            if "CC BY-SA 4.0" not in text:
                problems.append("CREDITS does not state the art's licence")
    return problems

"""dist/icons: the application icon, player 0's ship pointing up on a round
patch of night sky, with transparent corners.

Each size is painted at that size from the ship's outlines (finer details
such as stars only where they stay readable), never scaled from another
size. The SVG draws the same shapes for the scalable icon.
"""

import numpy as np
from PIL import Image

from . import sprites
from .raster import Canvas, finish, mix, rgb, smooth, to_image

SIZES = [16, 22, 24, 32, 48, 64, 128, 256]
SKY_IN, SKY_OUT, RIM = "#1d3270", "#070b22", "#39d8ff"
# The ship's extent in object units: x from the exhaust to the nose.
SHIP_X0, SHIP_X1 = -14.0, 20.0
# Stars of the sky patch in units of the icon's radius, with brightness.
STARS = [(-0.55, -0.35, 1.0), (0.52, -0.5, 0.8), (0.6, 0.35, 0.6), (-0.45, 0.5, 0.7),
         (-0.2, -0.68, 0.5), (0.25, 0.66, 0.5), (-0.7, 0.05, 0.45)]


def _sky(size):
    ss = 4
    n = size * ss
    ys, xs = np.mgrid[0:n, 0:n].astype(np.float32)
    c = n / 2.0
    r = (np.hypot(xs + 0.5 - c, ys + 0.5 - c)) / (n * 0.47)
    inside = np.clip((1 - r) * n * 0.47 / ss * 1.0 + 0.5, 0, 1)
    col = mix(rgb(SKY_IN), rgb(SKY_OUT), np.clip(r, 0, 1))
    # a bright rim that keeps the patch apart from a dark panel
    rim_w = max(0.7, size / 48.0)
    rim = np.clip(1 - np.abs(r - 0.97) * n * 0.47 / ss / rim_w, 0, 1) * 0.8
    col = col * (1 - rim)[..., None] + rgb(RIM) * rim[..., None]
    if size >= 32:
        for sx, sy, b in STARS:
            d = np.hypot(xs + 0.5 - c - sx * c * 0.94, ys + 0.5 - c - sy * c * 0.94) / ss
            star = np.exp(-(d / max(0.45, size / 110.0)) ** 2) * b
            col = col + rgb("#e8f0ff") * star[..., None]
    col = np.clip(col, 0, 1)
    col = col.reshape(size, ss, size, ss, 3).mean(axis=(1, 3))
    a = inside.reshape(size, ss, size, ss).mean(axis=(1, 3))
    return to_image(col * a[..., None], a)


def _ship(size):
    scale = 0.82 * size / (SHIP_X1 - SHIP_X0)
    mid = (SHIP_X0 + SHIP_X1) / 2
    cv = Canvas(size, size, size / 2 - mid * scale, size / 2, scale=scale, ss=6 if size <= 64 else 3)
    sprites.draw_ship0(cv)
    col, a = cv.down()
    img = finish(col, a, rgb("#39d8ff"), glow_sigma=max(0.6, scale), glow_strength=0.45, border=0)
    # drawn facing right like every picture of the atlas; the icon points up
    return img.transpose(Image.ROTATE_90)


def build_icon(size):
    img = _sky(size)
    img.alpha_composite(_ship(size))
    return img


def _points(pts):
    return " ".join("%g,%g" % (x, y) for x, y in pts)


def build_icon_svg():
    shape = sprites.SHIP_SHAPES[False]
    mid = (SHIP_X0 + SHIP_X1) / 2
    scale = 0.82 * 256 / (SHIP_X1 - SHIP_X0)
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">',
           '<defs>',
           '<radialGradient id="sky" cx="128" cy="128" r="120" gradientUnits="userSpaceOnUse">'
           '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></radialGradient>' % (SKY_IN, SKY_OUT),
           '<linearGradient id="hull" x1="-8" y1="-10" x2="8" y2="10" gradientUnits="userSpaceOnUse">'
           '<stop offset="0" stop-color="#f2fbff"/><stop offset="1" stop-color="#6f95aa"/></linearGradient>',
           '<linearGradient id="wing" x1="0" y1="-8" x2="-8" y2="10" gradientUnits="userSpaceOnUse">'
           '<stop offset="0" stop-color="#27d3ff"/><stop offset="1" stop-color="#0b5a86"/></linearGradient>',
           '<radialGradient id="flame"><stop offset="0" stop-color="#ffffff"/>'
           '<stop offset="0.4" stop-color="#5fe8ff" stop-opacity="0.8"/>'
           '<stop offset="1" stop-color="#5fe8ff" stop-opacity="0"/></radialGradient>',
           '<filter id="halo" x="-30%" y="-30%" width="160%" height="160%">'
           '<feGaussianBlur in="SourceAlpha" stdDeviation="0.8"/>'
           '<feColorMatrix values="0 0 0 0 0.22  0 0 0 0 0.85  0 0 0 0 1  0 0 0 0.6 0"/>'
           '<feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge></filter>',
           '</defs>',
           '<circle cx="128" cy="128" r="120.3" fill="url(#sky)" stroke="%s" stroke-width="3" '
           'stroke-opacity="0.8"/>' % RIM]
    for sx, sy, b in STARS:
        out.append('<circle cx="%g" cy="%g" r="2.2" fill="#e8f0ff" fill-opacity="%g"/>'
                   % (128 + sx * 120.3, 128 + sy * 120.3, b))
    out.append('<g transform="translate(128 128) rotate(-90) scale(%g) translate(%g 0)" filter="url(#halo)">'
               % (scale, -mid))
    for nx, ny in shape["nozzles"]:
        out.append('<ellipse cx="%g" cy="%g" rx="4.2" ry="1.9" fill="url(#flame)"/>' % (nx - 1.5, ny))
    out.append('<polygon points="%s" fill="url(#wing)"/>' % _points(shape["wing"]))
    for x0, y0, x1, y1, w in shape["pods"]:
        out.append('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="#9fb8c6" stroke-width="%g" '
                   'stroke-linecap="round"/>' % (x0, y0, x1, y1, w))
    for x0, y0, x1, y1, w in shape["tips"]:
        out.append('<line x1="%g" y1="%g" x2="%g" y2="%g" stroke="#7ee4ff" stroke-width="%g" '
                   'stroke-linecap="round"/>' % (x0, y0, x1, y1, w))
    out.append('<polygon points="%s" fill="url(#hull)" stroke="#ffffff" stroke-opacity="0.5" '
               'stroke-width="0.4"/>' % _points(shape["body"]))
    gx, gy, grx, gry = shape["glass"]
    out.append('<ellipse cx="%g" cy="%g" rx="%g" ry="%g" fill="#103a66"/>' % (gx, gy, grx, gry))
    out.append('<ellipse cx="%g" cy="%g" rx="%g" ry="%g" fill="#ffffff" fill-opacity="0.7"/>'
               % (gx + 1.0, gy - 0.7, grx * 0.45, gry * 0.35))
    out += ['</g>', '</svg>', '']
    return "\n".join(out)


def check_icons(dist, problems):
    """Every size present, square, with transparent corners and a solid ship."""
    import os
    for size in SIZES:
        path = os.path.join(dist, "icons", "%dx%d" % (size, size), "korvane.png")
        if not os.path.exists(path):
            problems.append("icon %s is missing" % path)
            continue
        img = Image.open(path)
        if img.size != (size, size) or img.mode != "RGBA":
            problems.append("icon %dx%d is %s %dx%d" % (size, size, img.mode, img.size[0], img.size[1]))
            continue
        a = np.asarray(img)[..., 3]
        if a[0, 0] or a[0, -1] or a[-1, 0] or a[-1, -1]:
            problems.append("icon %dx%d has opaque corners" % (size, size))
        if (a == 255).mean() < 0.4:
            problems.append("icon %dx%d is mostly transparent" % (size, size))
    svg = os.path.join(dist, "icons", "scalable", "korvane.svg")
    if not os.path.exists(svg):
        problems.append("icon %s is missing" % svg)

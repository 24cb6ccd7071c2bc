"""data/logo.png: the title picture, 640 x 400, shown on a black screen.

A nebula and stars, a ringed planet, drifting rocks, the two player ships
in a chase with an enemy, and the name on top. Every edge fades to black
so the picture has no visible border on the black title screen.
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from .atlas import render
from .atlas_layout import IMAGES, LOGO_SIZE, SPRITES
from .fonts import DEJAVU
from .raster import Canvas, mix, rgb, smooth, to_image

W, H = LOGO_SIZE


def _entry(name):
    for e in SPRITES + IMAGES:
        if e.name == name:
            return e
    raise KeyError(name)


def background():
    cv = Canvas(W, H, 0, 0, ss=1)
    X, Y = cv.X / W, cv.Y / H
    n1 = cv.noise(301, 150.0, 5)
    n2 = cv.noise(302, 110.0, 5)
    n3 = cv.noise(303, 40.0, 3)
    band = np.exp(-((Y - 0.55 + (X - 0.5) * 0.55) / 0.28) ** 2)
    dens_m = smooth(-0.15, 0.6, n1 + 0.25 * n3) * band
    dens_b = smooth(-0.05, 0.7, n2 + 0.2 * n3) * (0.35 + 0.65 * band)
    col = np.zeros((H, W, 3), np.float32)
    col += rgb("#b02a84") * (dens_m * 0.55)[..., None]
    col += rgb("#2448b8") * (dens_b * 0.5)[..., None]
    col += rgb("#ff8a50") * (smooth(0.55, 0.95, n1) * band * 0.25)[..., None]
    dust = smooth(0.1, 0.5, cv.noise(304, 60.0, 4))
    col *= (1 - 0.55 * dust)[..., None]

    rng = np.random.default_rng(305)
    stars = np.zeros((H, W), np.float32)
    xs, ys = rng.integers(0, W, 900), rng.integers(0, H, 900)
    b = rng.uniform(0.1, 1.0, 900) ** 3
    np.add.at(stars, (ys, xs), b)
    from scipy import ndimage
    stars = ndimage.gaussian_filter(stars, 0.6) * 3.2
    tint = mix(rgb("#b0c8ff"), rgb("#fff0d8"), rng.uniform(0, 1))
    col += tint * np.clip(stars, 0, 1)[..., None]
    for _ in range(14):
        x, y, s = rng.uniform(20, W - 20), rng.uniform(20, H - 20), rng.uniform(0.5, 1.0)
        d = np.hypot(cv.X - x, cv.Y - y)
        glare = np.exp(-(d / 1.4) ** 2) + 0.35 * s * (
            np.exp(-(np.abs(cv.X - x) / 0.6) ** 2 - (np.abs(cv.Y - y) / (7 * s)) ** 2) +
            np.exp(-(np.abs(cv.Y - y) / 0.6) ** 2 - (np.abs(cv.X - x) / (7 * s)) ** 2))
        col += rgb("#dfe8ff") * (glare * s)[..., None]
    return cv, col


def planet(cv, col):
    cx, cy, r = 484.0, 266.0, 82.0
    dx, dy = (cv.X - cx) / r, (cv.Y - cy) / r
    # ring plane, tilted
    ca, sa = math.cos(-0.38), math.sin(-0.38)
    rx, ry = dx * ca - dy * sa, (dx * sa + dy * ca) / 0.26
    rr = np.hypot(rx, ry)
    ring = smooth(1.26, 1.32, rr) * smooth(1.9, 1.8, rr)
    ring *= 0.55 + 0.45 * np.cos(rr * 38) ** 2
    ring *= 1 - 0.6 * smooth(1.62, 1.66, rr) * smooth(1.7, 1.66, rr)
    behind = ry < 0
    d2 = dx * dx + dy * dy
    body = np.clip((1 - np.sqrt(d2)) * r + 0.5, 0, 1)
    ring_col = rgb("#e8c8a0")

    def add_ring(mask):
        a = (ring * mask * 0.85)[..., None]
        return col * (1 - a) + ring_col * a

    col = add_ring(behind)
    h = np.sqrt(np.clip(1 - d2, 0, 1))
    lit = np.clip(-dx * 0.62 - dy * 0.55 + h * 0.56, 0, 1)
    bands = cv.noise(311, 9.0, 2) * 0.25 + np.sin(dy * 14 + cv.noise(312, 30.0, 2) * 2.5)
    base = mix(rgb("#6a2e8a"), rgb("#e89a6a"), 0.5 + 0.3 * bands)
    surf = base * (0.05 + 1.1 * lit ** 1.2)[..., None]
    atm = np.exp(-((np.sqrt(d2) - 1.0) / 0.045) ** 2) * np.clip(0.25 + lit * 1.4, 0, 1)
    col = col * (1 - body)[..., None] + surf * body[..., None]
    col += rgb("#80c8ff") * (atm * 0.75)[..., None]
    return add_ring(~behind)


def paste(img, sprite, x, y, angle_deg, alpha=1.0):
    s = sprite.rotate(angle_deg, resample=Image.BICUBIC, expand=True)
    if alpha < 1:
        a = s.getchannel("A").point(lambda v: int(v * alpha))
        s.putalpha(a)
    img.alpha_composite(s, (int(x - s.width / 2), int(y - s.height / 2)))


def trail(draw_img, x0, y0, x1, y1, color, width):
    """A soft streak from (x0, y0) fading out towards (x1, y1)."""
    layer = Image.new("RGBA", draw_img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(layer)
    n = 24
    for i in range(n):
        t0, t1 = i / n, (i + 1) / n
        a = int(255 * (1 - t0) ** 1.5)
        d.line([(x0 + (x1 - x0) * t0, y0 + (y1 - y0) * t0), (x0 + (x1 - x0) * t1, y0 + (y1 - y0) * t1)],
               fill=color + (a,), width=max(1, int(width * (1 - t0 * 0.7))))
    layer = layer.filter(ImageFilter.GaussianBlur(width * 0.6))
    draw_img.alpha_composite(layer)


def title(img):
    font = ImageFont.truetype(DEJAVU + "DejaVuSans-Bold.ttf", 92)
    text = "KORVANE"
    spacing = 10
    widths = [font.getlength(c) for c in text]
    total = sum(widths) + spacing * (len(text) - 1)
    x0, base = (W - total) / 2, 118
    mask = Image.new("L", (W, H), 0)
    d = ImageDraw.Draw(mask)
    x = x0
    for c, w in zip(text, widths):
        d.text((x, base), c, font=font, fill=255, anchor="ls")
        x += w + spacing
    m = np.asarray(mask, np.float32) / 255
    ys = np.arange(H, dtype=np.float32)[:, None]
    top, bottom = base - 68, base
    t = np.clip((ys - top) / (bottom - top), 0, 1)
    grad = np.where(t[..., None] < 0.5,
                    mix(rgb("#ffffff"), rgb("#bfeeff"), t / 0.5),
                    mix(rgb("#3aa8e8"), rgb("#1c3c9a"), (t - 0.5) / 0.5))
    grad = np.broadcast_to(grad, (H, W, 3))
    from scipy import ndimage
    outline = np.clip(ndimage.maximum_filter(m, size=5) - m, 0, 1)
    glow = ndimage.gaussian_filter(m, 9) * 1.6
    layer_col = rgb("#2ab8ff") * glow[..., None] * 0.75
    layer_a = np.clip(glow * 0.75, 0, 1)
    a = outline * 0.95
    layer_col = layer_col * (1 - a)[..., None] + rgb("#020814") * a[..., None]
    layer_a = layer_a * (1 - a) + a
    layer_col = layer_col * (1 - m)[..., None] + grad * m[..., None]
    layer_a = layer_a * (1 - m) + m
    # a thin bright line through the lettering, like light on polished metal
    shine = np.exp(-((ys - (base - 36)) / 1.2) ** 2) * m
    layer_col = layer_col + rgb("#ffffff") * (shine * 0.6)[..., None]
    img.alpha_composite(to_image(layer_col, layer_a))
    sub = ImageFont.truetype(DEJAVU + "DejaVuSans-Bold.ttf", 15)
    d2 = ImageDraw.Draw(img)
    tag = "S P A C E    S H O O T E R"
    d2.text((W / 2, base + 26), tag, font=sub, fill=(150, 205, 255, 220), anchor="ms")


def build_logo():
    cv, col = background()
    col = planet(cv, col)
    vign = smooth(0.0, 0.16, np.minimum(np.minimum(cv.X, W - cv.X) / W, np.minimum(cv.Y, H - cv.Y) / H * 0.625))
    col = col * vign[..., None]
    img = to_image(col, np.ones((H, W), np.float32))

    for name, x, y, ang, sc in (("meteor_large", 118, 318, 20, 1.6), ("meteor_medium", 232, 352, 70, 1.3),
                                ("meteor_small", 60, 215, 10, 1.5), ("meteor_medium", 395, 355, 200, 0.9),
                                ("meteor_small", 604, 206, 40, 1.1), ("gravy_medium", 300, 215, 15, 1.0)):
        paste(img, render(_entry(name), scale=sc), x, y, ang)

    # the chase: ship 0 leads, ship 1 follows, an eagle breaks away
    heading = 28  # degrees above +x
    trail(img, 300, 300, 150, 380, (90, 220, 255), 6)
    trail(img, 212, 318, 92, 382, (255, 160, 70), 5)
    for bx, by in ((370, 258), (420, 232), (402, 252)):
        paste(img, render(_entry("player_bullet"), scale=2.0), bx, by, heading)
    paste(img, render(_entry("ship0"), scale=3.0), 316, 292, heading)
    paste(img, render(_entry("ship1"), scale=2.4), 226, 312, heading + 6)
    paste(img, render(_entry("eagle"), scale=2.2), 500, 150, 200)
    paste(img, render(_entry("enemy_bullet"), scale=1.8), 452, 172, 200)
    title(img)
    return img.convert("RGB")

"""data/kaboom.png: the big and the small explosion, frame by frame.

A few dozen fire blobs fly out and cool from white through orange to soot,
smoke rises behind them, sparks streak out and a hot core flashes first.
Every frame comes from the same seeded particle set, so the strip plays as
one continuous blast.
"""

import math

import numpy as np
from PIL import Image

from .atlas_layout import KABOOM_SIZE, KABOOMS, frames_of
from .raster import Canvas, finish, mix, rgb

RAMP = [(0.00, rgb("#1a1412")), (0.18, rgb("#4a1a0c")), (0.38, rgb("#b8300a")),
        (0.58, rgb("#ff7a12")), (0.78, rgb("#ffd050")), (1.00, rgb("#fffbe8"))]


def heat_colour(T):
    T = np.clip(T, 0, 1)
    out = np.zeros(T.shape + (3,), np.float32)
    for (t0, c0), (t1, c1) in zip(RAMP[:-1], RAMP[1:]):
        sel = (T >= t0) & (T <= t1)
        k = ((T - t0) / (t1 - t0))[sel]
        out[sel] = c0 * (1 - k)[:, None] + c1 * k[:, None]
    return out


def particles(seed, n_fire, n_smoke, n_sparks):
    rng = np.random.default_rng(seed)
    fire = [dict(a=rng.uniform(0, 2 * math.pi), v=rng.uniform(0.1, 0.75) ** 0.8, s=rng.uniform(0.16, 0.32),
                 cool=rng.uniform(0.75, 1.3), seed=int(rng.integers(1 << 30))) for _ in range(n_fire)]
    smoke = [dict(a=rng.uniform(0, 2 * math.pi), v=rng.uniform(0.2, 0.8), s=rng.uniform(0.22, 0.4),
                  grey=rng.uniform(0.18, 0.32), seed=int(rng.integers(1 << 30))) for _ in range(n_smoke)]
    sparks = [dict(a=rng.uniform(0, 2 * math.pi), v=rng.uniform(0.7, 1.05), life=rng.uniform(0.35, 0.7))
              for _ in range(n_sparks)]
    return fire, smoke, sparks


def frame(size, t, parts, ring, seed):
    R = size / 2 - 2.0
    cv = Canvas(size, size, size / 2, size / 2, ss=3)
    fire, smoke, sparks = parts
    ease = 1 - (1 - t) ** 2.4
    fluff = cv.noise(seed, R * 0.22, 3)

    # smoke behind the fire
    for p in smoke:
        if t < 0.12:
            continue
        k = (t - 0.12) / 0.88
        d = p["v"] * R * (0.35 + 0.6 * (1 - (1 - k) ** 2))
        x, y = math.cos(p["a"]) * d, math.sin(p["a"]) * d - k * R * 0.12
        rad = p["s"] * R * (0.8 + 0.9 * k)
        dist = np.hypot(cv.X - x, cv.Y - y) / rad
        m = np.clip(1.15 - dist + 0.35 * fluff, 0, 1) ** 1.5
        alpha = 0.7 * math.sin(min(k * 2.2, 1.0) * math.pi / 2) * (1 - k) ** 1.3 + 0.08 * (1 - k * 0.6)
        cv.paint(m, rgb("#504a48") * (p["grey"] / 0.25), alpha)

    # fireball
    for p in fire:
        d = p["v"] * R * 0.92 * ease
        x, y = math.cos(p["a"]) * d, math.sin(p["a"]) * d
        rad = p["s"] * R * (0.6 + 1.0 * ease)
        dist = np.hypot(cv.X - x, cv.Y - y) / rad
        m = np.clip(1.1 - dist + 0.4 * fluff, 0, 1)
        T = 1.05 - t * 1.35 * p["cool"] - dist * 0.25 + 0.12 * fluff
        col = heat_colour(T)
        alpha = np.clip(1.35 - t * 1.45, 0, 1) * np.clip(m * 2.2, 0, 1)
        cv.paint(np.ones_like(m), col, alpha)

    # core flash
    if t < 0.35:
        k = t / 0.35
        dist = np.hypot(cv.X, cv.Y) / (R * (0.4 + 0.3 * k))
        cv.glow(np.exp(-dist ** 2 * 2.5), rgb("#fffef0"), 1.0 - k)

    # sparks
    for p in sparks:
        if t > p["life"]:
            continue
        k = t / p["life"]
        d1 = p["v"] * R * (0.2 + 0.85 * (1 - (1 - k) ** 1.8))
        d0 = max(0.0, d1 - R * 0.22 * (1 - k))
        ca, sa = math.cos(p["a"]), math.sin(p["a"])
        m = cv.line(ca * d0, sa * d0, ca * d1, sa * d1, 0.7 + 0.5 * (1 - k))
        cv.glow(m, mix(rgb("#ffb030"), rgb("#fff6c0"), 1 - k), 1 - k ** 2)

    # shock ring, big blast only
    if ring and t < 0.5:
        k = t / 0.5
        rr = np.hypot(cv.X, cv.Y)
        band = np.exp(-((rr - R * (0.3 + 0.7 * k)) / (0.9 + 1.2 * k)) ** 2)
        cv.glow(band, rgb("#ffe8c0"), 0.45 * (1 - k) ** 1.5)

    col, a = cv.down()
    return finish(col, a, border=1)


def build_kaboom():
    tw, th = KABOOM_SIZE
    img = Image.new("RGBA", (tw, th), (0, 0, 0, 0))
    params = {"kaboom": (101, 26, 12, 22, True), "boom": (102, 12, 6, 10, False)}
    for e in KABOOMS:
        seed, nf, ns, nk, ring = params[e.name]
        parts = particles(seed, nf, ns, nk)
        for i, (x, y, w, h) in enumerate(frames_of(e, tw)):
            t = (i + 0.5) / e.frames
            img.paste(frame(w, t, parts, ring, seed + 7), (x, y))
    return img

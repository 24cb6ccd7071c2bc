"""Pictures of the atlas, one function per picture.

Each function paints on a Canvas in object units: the origin is the hot
spot, +x is the heading (every picture faces right), +y is down. Light
falls from the upper left everywhere so the set reads as one family.
"""

import math

import numpy as np
from scipy import ndimage

from .raster import lambert, mix, rgb, smooth

WHITE = rgb("#ffffff")


def rim(cv, mask, width=1.0):
    """The inner band of a mask, width in texels."""
    n = max(1, int(round(width * cv.ss)))
    return np.clip(mask - ndimage.minimum_filter(mask, size=2 * n + 1, mode="constant"), 0, 1)


def mirror(pts):
    """A half outline (y <= 0, from nose to tail) made symmetric."""
    return list(pts) + [(x, -y) for x, y in reversed(pts)]


def metal(cv, mask, light, dark, sheen=0.35):
    """Brushed plate: diagonal light ramp and a soft band of sheen."""
    col = cv.lin(light, dark, (-8, -10), (8, 10))
    cv.paint(mask, col)
    band = np.exp(-((cv.X * 0.5 + cv.Y + 2) / 3.0) ** 2) * sheen
    cv.glow(mask * band, WHITE, 0.6)


def edge_light(cv, mask, color, opacity=0.8, width=0.8):
    """Light along the outline, brighter on the lit side."""
    side = np.clip(0.55 - 0.45 * (cv.X + cv.Y) / 14.0, 0.25, 1.0)
    cv.glow(rim(cv, mask, width) * side, color, opacity)


def engine(cv, x, y, r, color, length=3.0):
    """Exhaust glow behind (left of) a nozzle at (x, y)."""
    d = np.hypot((cv.X - x) / (length / r), cv.Y - y)
    core = np.exp(-(d / (r * 0.55)) ** 2) * (cv.X < x + r)
    halo = np.exp(-(d / (r * 1.3)) ** 2) * (cv.X < x + r)
    cv.glow(halo, color, 0.8)
    cv.glow(core, WHITE, 0.9)


# ---------------------------------------------------------------- players

# The outlines of the two player ships, in object units; the icon's SVG
# draws the same shapes.
SHIP_SHAPES = {
    False: dict(body=mirror([(20, 0), (13, -2.2), (3, -3.8), (-8, -3.8), (-11, -2.6)]),
                wing=mirror([(7, -2.5), (-5, -11.8), (-9.5, -11.8), (-8, -3.5), (-2, -2)]),
                pods=[(-10.5, -5.5, -3, -5.5, 3.2), (-10.5, 5.5, -3, 5.5, 3.2)],
                tips=[(-4.5, -11.2, -9, -11.2, 1.4), (-4.5, 11.2, -9, 11.2, 1.4)],
                glass=(6.5, 0, 4.6, 2.0), nozzles=[(-11, -5.5), (-11, 5.5)]),
    True: dict(body=mirror([(16, 0), (10, -2.6), (-2, -3.6), (-9, -3.6), (-11.5, -2.2)]),
               wing=mirror([(6, -3), (-1, -9.5), (-9, -11.5), (-11, -10), (-8, -3.5)]),
               pods=[(-10, -9.5, 8, -9.5, 3.0), (-10, 9.5, 8, 9.5, 3.0)],
               tips=[(5, -9.5, 9.5, -9.5, 1.6), (5, 9.5, 9.5, 9.5, 1.6)],
               glass=(5, 0, 4.0, 2.0), nozzles=[(-11.5, 0), (-10.5, -9.5), (-10.5, 9.5)]),
}


def ship(cv, hull_hi, hull_lo, accent, accent_dark, glass, flame, twin_boom):
    shape = SHIP_SHAPES[twin_boom]
    body = cv.poly(shape["body"])
    wing = cv.poly(shape["wing"])
    pods = np.maximum(*(cv.line(*p) for p in shape["pods"]))
    tips = np.maximum(*(cv.line(*t) for t in shape["tips"]))
    glass_c = shape["glass"]
    nozzles = shape["nozzles"]

    # wings under the fuselage
    cv.paint(wing, cv.lin(accent, accent_dark, (0, -8), (-8, 10)))
    stripe = np.exp(-((np.abs(cv.Y) - 7.0) / 0.9) ** 2) * (cv.X < 2)
    cv.paint(wing * stripe, mix(accent, WHITE, 0.55), 0.55)
    edge_light(cv, wing, mix(accent, WHITE, 0.6), 0.9)
    cv.paint(pods, cv.lin(hull_hi * 0.85, hull_lo * 0.7, (0, -10), (0, 10)))
    edge_light(cv, pods, WHITE, 0.4)
    cv.paint(tips, mix(accent, WHITE, 0.3))
    # fuselage
    metal(cv, body, hull_hi, hull_lo)
    ridge = np.exp(-(cv.Y / 1.1) ** 2) * (cv.X > -8)
    cv.glow(body * ridge, WHITE, 0.25)
    cv.paint(body * cv.line(-9, -2.2, -9, 2.2, 0.8), accent_dark, 0.8)
    edge_light(cv, body, WHITE, 0.55)
    # canopy
    gx, gy, grx, gry = glass_c
    g = cv.ellipse(gx, gy, grx, gry)
    cv.paint(g, cv.lin(mix(glass, WHITE, 0.25), glass * 0.35, (gx - grx, gy - gry), (gx + grx, gy + gry)))
    cv.glow(cv.ellipse(gx + 1.0, gy - 0.7, grx * 0.45, gry * 0.35), WHITE, 0.8)
    for nx, ny in nozzles:
        engine(cv, nx, ny, 1.5, flame)


def draw_ship0(cv):
    ship(cv, rgb("#f2fbff"), rgb("#6f95aa"), rgb("#27d3ff"), rgb("#0b5a86"),
         rgb("#103a66"), rgb("#5fe8ff"), twin_boom=False)


def draw_ship1(cv):
    ship(cv, rgb("#fff6ea"), rgb("#a3866a"), rgb("#ff9424"), rgb("#8c3206"),
         rgb("#5a1d10"), rgb("#ffc35a"), twin_boom=True)


# ---------------------------------------------------------------- small things

def bolt(cv, head_x, tail_x, thick, core, outer, head_col=WHITE):
    """A bolt of light with its head at head_x, fading towards tail_x."""
    t = np.clip((cv.X - tail_x) / (head_x - tail_x), 0, 1)
    width = thick * (0.25 + 0.75 * t ** 0.7)
    d = np.abs(cv.Y) / np.maximum(width, 1e-3)
    inside = (cv.X <= head_x + thick * 0.6) & (cv.X >= tail_x)
    tip = np.exp(-(((cv.X - head_x) / (thick * 0.6)) ** 2)) * (cv.X > head_x)
    fall = t ** 1.6
    halo = np.exp(-d ** 2 * 0.9) * (inside * fall + tip)
    corem = np.exp(-d ** 2 * 5) * (inside * t ** 1.2 + tip)
    cv.glow(halo, outer, 0.95)
    cv.glow(corem, core, 1.0)
    head = np.exp(-(((cv.X - head_x + thick * 0.4) / (thick * 0.9)) ** 2 + (cv.Y / (thick * 0.55)) ** 2))
    cv.glow(head, head_col, 1.0)


def draw_player_bullet(cv):
    bolt(cv, 1.5, -16, 3.6, rgb("#c0ffff"), rgb("#1a9cff"))


def draw_enemy_bullet(cv):
    bolt(cv, 2.5, -17, 3.0, rgb("#ff6a4a"), rgb("#d80020"), rgb("#ffd8c8"))


def draw_star(cv):
    d = np.hypot(cv.X - 4, cv.Y - 4)
    cv.glow(np.exp(-(d / 1.9) ** 2), rgb("#9fc4ff"), 0.7)
    cv.glow(np.exp(-(d / 0.8) ** 2), WHITE, 1.0)
    cv.paint(cv.circle(4, 4, 1.45), mix(WHITE, rgb("#cfe0ff"), 0.3))
    spikes = np.exp(-(np.abs(cv.X - 4) / 0.35) ** 2 - (np.abs(cv.Y - 4) / 2.4) ** 2)
    spikes += np.exp(-(np.abs(cv.Y - 4) / 0.35) ** 2 - (np.abs(cv.X - 4) / 2.4) ** 2)
    cv.glow(spikes, rgb("#d8e8ff"), 0.35)


def draw_dot(cv):
    cv.paint(np.ones_like(cv.alpha), rgb("#a8ff9c"))


# ---------------------------------------------------------------- rocks

def rock_outline(seed, r, rough=0.12, n=56):
    """A lumpy closed outline: low harmonics of the radius plus a few chips."""
    rng = np.random.default_rng(seed)
    th = np.linspace(0, 2 * math.pi, n, endpoint=False)
    q = np.ones(n)
    for k in range(2, 7):
        q += rough / k ** 0.7 * rng.uniform(0.4, 1.0) * np.cos(k * th + rng.uniform(0, 2 * math.pi))
    for _ in range(3):
        c = rng.uniform(0, 2 * math.pi)
        q -= rough * 0.8 * np.exp(-((np.angle(np.exp(1j * (th - c)))) / 0.22) ** 2)
    q *= r / q.max() * 1.02
    return [(math.cos(a) * v, math.sin(a) * v) for a, v in zip(th, q)], rng


def draw_meteor(cv, r, seed, squash=1.0):
    pts, rng = rock_outline(seed, r)
    pts = [(x, y * squash) for x, y in pts]
    mask = cv.poly(pts)
    # height: a dome with craters and grain
    rr = np.hypot(cv.X, cv.Y / squash) / r
    h = np.sqrt(np.clip(1 - rr ** 2, 0, 1)) * r * 0.8
    h += cv.noise(seed + 1, max(r * 0.3, 3.0), 3) * r * 0.12
    ncr = 7 if r > 15 else 5
    craters = []
    for i in range(ncr):
        a = 2 * math.pi * i / ncr + rng.uniform(-0.5, 0.5)
        q = rng.uniform(0.25, 0.7) * r
        cr = rng.uniform(0.09, 0.2) * r * (1.4 if i == 0 else 1.0)
        cx, cy = math.cos(a) * q, math.sin(a) * q * squash
        craters.append((cx, cy, cr))
        d = np.hypot(cv.X - cx, cv.Y - cy) / cr
        h -= np.clip(1 - d ** 2, 0, 1) * cr * 0.45
        h += np.exp(-((d - 1.05) / 0.22) ** 2) * cr * 0.18
    lit = lambert(h, cv.px, relief=1.0)
    base = mix(rgb("#4d423c"), rgb("#9a8774"), 0.5 + 0.5 * cv.noise(seed + 2, r * 0.5, 2))
    col = base[...] * (0.28 + 1.05 * lit)[..., None]
    # warm rim from a distant sun on the lower right, cool ambient on top
    r_edge = rim(cv, mask, 2.0) * np.clip((cv.X + cv.Y) / (r * 1.2), 0, 1)
    cv.paint(mask, np.clip(col, 0, 1))
    cv.glow(r_edge, rgb("#ff9a50"), 0.55)
    cv.glow(rim(cv, mask, 0.8) * np.clip(-(cv.X + cv.Y) / r, 0, 1), rgb("#c8d8ff"), 0.35)


def draw_meteor_large(cv):
    draw_meteor(cv, 24.0, 11, squash=1.1)


def draw_meteor_medium(cv):
    draw_meteor(cv, 14.5, 12)


def draw_meteor_small(cv):
    draw_meteor(cv, 9.6, 13)


# ---------------------------------------------------------------- gravies

def draw_gravy(cv, r, seed, n):
    """A violet crystal cluster: facets around a glowing heart."""
    rng = np.random.default_rng(seed)
    angs = np.linspace(0, 2 * math.pi, n, endpoint=False) + rng.uniform(-0.2, 0.2, n)
    radii = r * rng.uniform(0.72, 1.0, n)
    spikes = [(math.cos(a) * q, math.sin(a) * q) for a, q in zip(angs, radii)]
    valleys = []
    for i in range(n):
        a = (angs[i] + angs[(i + 1) % n] + (2 * math.pi if i == n - 1 else 0)) / 2
        q = r * rng.uniform(0.42, 0.55)
        valleys.append((math.cos(a) * q, math.sin(a) * q))
    outline = []
    for i in range(n):
        outline += [spikes[i], valleys[i]]
    whole = cv.poly(outline)
    cv.under(ndimage.gaussian_filter(whole, cv.ss * 1.2), rgb("#a040ff"), 0.5)
    hi, lo = rgb("#ffb8ff"), rgb("#4a0f7a")
    light = np.array([-0.6, -0.7])
    light /= np.linalg.norm(light)
    centre = (r * 0.08, r * 0.05)
    for i in range(n):
        p, v0, v1 = spikes[i], valleys[i - 1], valleys[i]
        for side, v in ((0, v0), (1, v1)):
            tri = cv.poly([centre, p, v])
            mid = np.array([(p[0] + v[0]) / 2, (p[1] + v[1]) / 2])
            face = mid / (np.linalg.norm(mid) + 1e-6)
            k = 0.5 + 0.5 * float(face @ light) * (0.75 if side else 1.0)
            k = k * 0.85 + (0.15 if side else 0.0)
            col = cv.lin(mix(lo, hi, k), mix(lo, hi, k * 0.5), centre, p)
            cv.paint(tri, col)
    # facet seams and the lit edges
    seams = cv.polyline([centre, spikes[0]], 0.5)
    for i in range(1, n):
        seams = np.maximum(seams, cv.polyline([centre, spikes[i]], 0.5))
    cv.glow(seams * whole, rgb("#ffd0ff"), 0.35)
    edge_light(cv, whole, rgb("#ffc8ff"), 0.7, 0.7)
    heart = np.exp(-(np.hypot(cv.X - centre[0], cv.Y - centre[1]) / (r * 0.28)) ** 2)
    cv.glow(heart, rgb("#ffe0ff"), 0.75)


def draw_gravy_large(cv):
    draw_gravy(cv, 26.5, 21, 7)


def draw_gravy_medium(cv):
    draw_gravy(cv, 15.5, 22, 6)


def draw_gravy_small(cv):
    draw_gravy(cv, 10.8, 23, 5)


# ---------------------------------------------------------------- shared enemy parts

EN_HI, EN_LO = rgb("#c4bcd4"), rgb("#2c2838")


def lamp(cv, x, y, r, color, strength=1.0):
    """A small emissive light with a halo."""
    d = np.hypot(cv.X - x, cv.Y - y)
    cv.glow(np.exp(-(d / (r * 2.2)) ** 2), color, 0.7 * strength)
    cv.glow(np.exp(-(d / r) ** 2), mix(color, WHITE, 0.6), strength)


def barrel(cv, x0, x1, y, width, hi, lo, muzzle=None):
    """A gun barrel along +x: rounded metal with a darker bore at the end."""
    m = cv.line(x0, y, x1 - width * 0.3, y, width)
    t = np.clip((cv.Y - y) / width + 0.5, 0, 1)
    shade = 1.0 - np.abs(t - 0.3) * 1.3
    cv.paint(m, mix(lo, hi, np.clip(shade, 0, 1)))
    ring = cv.line(x1 - width * 0.9, y, x1 - width * 0.3, y, width * 1.25)
    cv.paint(ring, mix(lo, hi, np.clip(shade, 0, 1) * 0.9))
    edge_light(cv, np.maximum(m, ring), WHITE, 0.35, 0.6)
    if muzzle is not None:
        lamp(cv, x1 - width * 0.3, y, width * 0.28, muzzle, 0.8)


def turret_base(cv, r, sides, hi, lo, accent, seed):
    """Armoured plate seen from above, with bolts and an accent ring."""
    if sides:
        pts = [(math.cos(2 * math.pi * (i + 0.5) / sides) * r, math.sin(2 * math.pi * (i + 0.5) / sides) * r)
               for i in range(sides)]
        plate = cv.poly(pts)
    else:
        plate = cv.circle(0, 0, r)
    metal(cv, plate, hi, lo, 0.25)
    grain = cv.noise(seed, 3.0, 2)
    cv.shade(1 + 0.12 * grain, plate)
    rr, th = cv.polar(0, 0)
    cv.paint(plate * np.exp(-((rr - r * 0.72) / 0.7) ** 2), accent, 0.75)
    for i in range(sides or 8):
        a = 2 * math.pi * (i + 0.5) / (sides or 8)
        bx, by = math.cos(a) * r * 0.86, math.sin(a) * r * 0.86
        cv.paint(cv.circle(bx, by, max(0.8, r * 0.05)), mix(lo, hi, 0.8))
    edge_light(cv, plate, WHITE, 0.5, 0.8)
    return plate


def dome(cv, x, y, r, hi, lo):
    m = cv.circle(x, y, r)
    cv.paint(m, cv.radial(mix(hi, WHITE, 0.4), lo, x - r * 0.35, y - r * 0.4, r * 1.6))
    cv.glow(cv.ellipse(x - r * 0.35, y - r * 0.4, r * 0.35, r * 0.25), WHITE, 0.55)
    edge_light(cv, m, mix(hi, WHITE, 0.3), 0.5, 0.6)
    return m


# ---------------------------------------------------------------- hunters and wanderers

def draw_bull(cv):
    hi, lo = rgb("#ff6c52"), rgb("#4a0a0c")
    wings = cv.poly(mirror([(0, -6), (-5, -13.5), (-10, -13.5), (-9, -6)]))
    cv.paint(wings, cv.lin(rgb("#c83a2a"), rgb("#3a0606"), (-4, -12), (-6, 12)))
    edge_light(cv, wings, rgb("#ffb090"), 0.6, 0.6)
    horns = np.zeros_like(cv.alpha)
    for sgn in (-1, 1):
        for i in range(12):
            t = i / 11
            x = 2 + 12 * t
            y = sgn * (5.5 + 5.5 * math.sin(t * math.pi * 0.8) - 1.0 * t)
            horns = np.maximum(horns, cv.circle(x, y, 2.2 * (1 - 0.75 * t)))
    cv.paint(horns, cv.lin(rgb("#fff6e0"), rgb("#8a7050"), (2, 0), (14, 0)))
    edge_light(cv, horns, WHITE, 0.6, 0.6)
    body = cv.poly(mirror([(12, 0), (10.5, -3.5), (5, -6.5), (-8, -7.5), (-12.5, -5), (-13, -2)]))
    metal(cv, body, hi, lo)
    plates = cv.polyline([(-8, -7), (-4, 0), (-8, 7)], 0.6)
    cv.paint(plates * body, lo, 0.6)
    cv.paint(cv.ellipse(5.5, 0, 3.2, 1.8), rgb("#2a0a08"))
    lamp(cv, 6.1, 0, 1.1, rgb("#ffd040"))
    edge_light(cv, body, rgb("#ffb8a0"), 0.7)
    engine(cv, -12.6, -3.5, 1.5, rgb("#ff8a30"))
    engine(cv, -12.6, 3.5, 1.5, rgb("#ff8a30"))


def draw_eagle(cv):
    hi, lo = rgb("#ff5f9a"), rgb("#3e0620")
    wing_half = [(6, -2), (3, -8), (-1, -13.5), (-3.5, -11.5), (-5, -12.2), (-6.5, -9.5), (-8.2, -9.8),
                 (-8.5, -6.5), (-10, -5.5), (-8, -2)]
    wings = cv.poly(wing_half + [(x, -y) for x, y in reversed(wing_half)])
    cv.paint(wings, cv.lin(hi, lo, (4, 0), (-8, 0)))
    feathers = np.exp(-((np.abs(cv.Y) - 8) / 0.5) ** 2) + np.exp(-((np.abs(cv.Y) - 4.5) / 0.5) ** 2)
    cv.paint(wings * feathers * (cv.X < 1), lo, 0.5)
    edge_light(cv, wings, rgb("#ffc0d8"), 0.8)
    tail = cv.poly([(-7, -1.5), (-13.5, -5), (-12, 0), (-13.5, 5), (-7, 1.5)])
    cv.paint(tail, lo * 1.5)
    edge_light(cv, tail, hi, 0.6)
    body = cv.poly(mirror([(17.5, 0), (14, -1.4), (9, -2.8), (0, -3), (-8, -1.6)]))
    metal(cv, body, rgb("#e8d0d8"), rgb("#5a2a3a"))
    beak = cv.poly([(17.8, 0), (13, -1.8), (13, 1.8)])
    cv.paint(beak, rgb("#ffc040"))
    lamp(cv, 10.5, 0, 1.1, rgb("#ffe070"))
    edge_light(cv, body, WHITE, 0.5, 0.6)


def draw_runner(cv):
    hi, lo = rgb("#c8ff5a"), rgb("#1e4a06")
    legs = np.zeros_like(cv.alpha)
    for s in (-1, 1):
        legs = np.maximum(legs, cv.polyline([(3, 4 * s), (-2, 9 * s), (-9, 10.5 * s)], 1.5))
        legs = np.maximum(legs, cv.polyline([(-1, 3 * s), (-7, 6 * s), (-12, 5.5 * s)], 1.3))
    cv.paint(legs, cv.lin(hi * 0.8, lo, (0, 0), (-12, 0)))
    edge_light(cv, legs, hi, 0.6, 0.5)
    body = cv.poly(mirror([(14, 0), (11, -2.6), (5, -5.2), (-2, -5.4), (-7, -3.2), (-9, 0.0001)])[:-1])
    cv.paint(body, cv.radial(mix(hi, WHITE, 0.35), lo, 4, -3, 14))
    seg = np.exp(-(((cv.X + 1) % 4.0 - 2) / 0.35) ** 2) * (cv.X < 8)
    cv.paint(body * seg, lo, 0.4)
    edge_light(cv, body, rgb("#eaffb0"), 0.8)
    lamp(cv, 10, -1.6, 0.8, rgb("#fff080"))
    lamp(cv, 10, 1.6, 0.8, rgb("#fff080"))
    engine(cv, -9, 0, 2.2, rgb("#90ff40"), 4.0)


def draw_klin(cv):
    hi, lo = rgb("#a88ad0"), rgb("#1c1230")
    wedge = cv.poly([(19, 0), (-12.5, -13), (-7, 0), (-12.5, 13)])
    metal(cv, wedge, hi, lo, 0.3)
    panel = cv.poly([(12, 0), (-4, -6), (-2, 0), (-4, 6)])
    cv.paint(panel, mix(lo, hi, 0.35), 0.8)
    glow_lines = np.maximum(cv.polyline([(18, 0), (-11.5, -12.2)], 0.7), cv.polyline([(18, 0), (-11.5, 12.2)], 0.7))
    cv.glow(glow_lines * wedge, rgb("#ff8a20"), 0.9)
    cv.glow(cv.polyline([(12, 0), (-4, -6)], 0.5) + cv.polyline([(12, 0), (-4, 6)], 0.5), rgb("#ffb060"), 0.35)
    lamp(cv, 4, 0, 1.5, rgb("#ff7a10"))
    engine(cv, -11.5, -11.5, 1.3, rgb("#ff9030"))
    engine(cv, -11.5, 11.5, 1.3, rgb("#ff9030"))


def draw_spike(cv):
    core_col = rgb("#2a1040")
    spikes = np.zeros_like(cv.alpha)
    n = 12
    for i in range(n):
        a = 2 * math.pi * i / n + 0.13
        ca, sa = math.cos(a), math.sin(a)
        L = 1.0 / math.sqrt((ca / 14.5) ** 2 + (sa / 7.6) ** 2)
        tip = (ca * L, sa * L)
        base = 3.2
        spikes = np.maximum(spikes, cv.poly([tip, (-sa * base, ca * base), (sa * base, -ca * base)]))
    cv.paint(spikes, cv.radial(rgb("#f4ff60"), rgb("#5a8a00"), 0, 0, 13))
    edge_light(cv, spikes, rgb("#ffffa0"), 0.6, 0.5)
    orb = cv.circle(0, 0, 4.6)
    cv.paint(orb, cv.radial(rgb("#8a40c0"), core_col, -1.5, -1.5, 6))
    lamp(cv, 1.0, 0, 1.3, rgb("#ff60ff"))


def draw_hull(cv):
    hi, lo = rgb("#a8bed6"), rgb("#222c3a")
    guns = np.maximum(cv.line(2, -6.5, 14, -6.5, 2.2), cv.line(2, 6.5, 14, 6.5, 2.2))
    cv.paint(guns, cv.lin(rgb("#e0e8f0"), rgb("#404a58"), (0, -8), (0, 8)))
    edge_light(cv, guns, WHITE, 0.4, 0.5)
    lamp(cv, 13.5, -6.5, 0.7, rgb("#ff4040"), 0.8)
    lamp(cv, 13.5, 6.5, 0.7, rgb("#ff4040"), 0.8)
    pods = np.maximum(cv.poly([(6, -8), (4, -15.5), (-9, -15.5), (-13, -12), (-11, -8)]),
                      cv.poly([(6, 8), (4, 15.5), (-9, 15.5), (-13, 12), (-11, 8)]))
    metal(cv, pods, hi * 0.9, lo)
    cv.paint(pods * np.exp(-((np.abs(cv.Y) - 12) / 0.6) ** 2) * (cv.X < 3), rgb("#c02030"), 0.8)
    edge_light(cv, pods, WHITE, 0.5)
    body = cv.poly(mirror([(13.5, 0), (10, -4), (2, -7.5), (-10, -7.5), (-13.5, -4)]))
    metal(cv, body, hi, lo)
    cv.paint(body * cv.line(-10, 0, 6, 0, 1.0), lo, 0.6)
    cv.paint(cv.ellipse(7.5, 0, 3, 2.2), rgb("#101820"))
    lamp(cv, 8, 0, 1.2, rgb("#ff3030"))
    edge_light(cv, body, WHITE, 0.55)
    for y in (-12, 12, -3.5, 3.5):
        engine(cv, -13, y, 1.3, rgb("#ff6040"))


def draw_arrow(cv):
    fins = np.maximum(cv.poly([(-6, -1), (-14.5, -7.5), (-15.5, -6), (-11, -1)]),
                      cv.poly([(-6, 1), (-14.5, 7.5), (-15.5, 6), (-11, 1)]))
    cv.paint(fins, cv.lin(rgb("#ff4a4a"), rgb("#600810"), (-6, 0), (-15, 0)))
    edge_light(cv, fins, rgb("#ffb0a0"), 0.6, 0.5)
    shaft = cv.poly(mirror([(9, -1.3), (-14, -1.3), (-14.5, -0.001)])[:-1])
    cv.paint(shaft, cv.lin(rgb("#f0f4ff"), rgb("#5a6070"), (0, -1.5), (0, 1.5)))
    head = cv.poly([(16.2, 0), (7, -4.2), (9, 0), (7, 4.2)])
    cv.paint(head, cv.lin(rgb("#ffffff"), rgb("#7888a8"), (8, -4), (12, 3)))
    edge_light(cv, head, rgb("#c0e0ff"), 0.8, 0.6)
    lamp(cv, 2, 0, 0.9, rgb("#ff5050"), 0.9)
    engine(cv, -14.5, 0, 1.1, rgb("#ff7060"), 3.0)


def draw_disk(cv):
    hi, lo = rgb("#c8e8e0"), rgb("#1c3a3a")
    fin = cv.poly([(-10, -1.6), (-18, -2.8), (-18, 2.8), (-10, 1.6)])
    cv.paint(fin, cv.lin(hi * 0.8, lo, (0, -3), (0, 3)))
    engine(cv, -18, 0, 1.4, rgb("#50ffd0"), 2.5)
    disc = cv.circle(0, 0, 13.2)
    rr, th = cv.polar(0, 0)
    base = cv.lin(hi, lo, (-9, -9), (9, 9))
    grooves = 0.82 + 0.18 * np.cos(rr * 2.2)
    cv.paint(disc, np.clip(base * grooves[..., None], 0, 1))
    cv.paint(disc * np.exp(-((rr - 9.2) / 0.6) ** 2), rgb("#0a1c1c"), 0.7)
    edge_light(cv, disc, WHITE, 0.6)
    for i in range(8):
        a = 2 * math.pi * i / 8 + math.pi / 8
        lamp(cv, math.cos(a) * 11, math.sin(a) * 11, 0.7, rgb("#40ffd0") if i % 2 else rgb("#ffe040"), 0.9)
    dome(cv, 1, 0, 5.8, rgb("#70ffb0"), rgb("#064020"))
    lamp(cv, 12.5, 0, 0.9, rgb("#ff4040"), 0.9)


def draw_dragonfly(cv, phase):
    p = 2 * math.pi * phase
    wing_col = rgb("#bff8ff")
    for root_x, lean, ph, length in ((5.5, 0.22, 0.0, 14.5), (2.0, -0.32, 0.9, 13.0)):
        span = 0.3 + 0.7 * abs(math.cos(p + ph))
        for s in (-1, 1):
            tip_x = root_x + math.sin(lean) * length * 0.5
            tip_y = s * (2 + length * span)
            cx, cy = (root_x + tip_x) / 2, (s * 2 + tip_y) / 2
            L = math.hypot(tip_x - root_x, tip_y - s * 2) / 2
            ang = math.atan2(tip_y - s * 2, tip_x - root_x)
            w = cv.ellipse(cx, cy, max(L, 1.2), 2.3, ang)
            cv.paint(w, cv.lin(mix(wing_col, WHITE, 0.3), rgb("#2a8ab0"), (root_x, s * 2), (tip_x, tip_y)), 0.5)
            vein = cv.line(root_x, s * 2, tip_x, tip_y, 0.45)
            cv.glow(w * vein, WHITE, 0.35)
            edge_light(cv, w, rgb("#e0ffff"), 0.45, 0.5)
    hi, lo = rgb("#5affc8"), rgb("#064a36")
    tail = cv.poly([(1, -1.9), (-14.5, -0.9), (-15.3, 0), (-14.5, 0.9), (1, 1.9)])
    cv.paint(tail, cv.lin(hi, lo, (0, -2), (0, 2)))
    bands = np.exp(-(((cv.X + 20) % 3.0 - 1.5) / 0.35) ** 2) * (cv.X < 0)
    cv.paint(tail * bands, rgb("#0a2a40"), 0.55)
    thorax = cv.ellipse(5, 0, 4.6, 3.2)
    cv.paint(thorax, cv.radial(mix(hi, WHITE, 0.3), lo, 3.5, -1.5, 6))
    head = cv.circle(10.5, 0, 2.6)
    cv.paint(head, lo)
    for s in (-1, 1):
        eye = cv.circle(11.6, s * 2.0, 2.1)
        cv.paint(eye, cv.radial(rgb("#ffe0ff"), rgb("#a01060"), 11.0, s * 2.0 - 0.8, 3.0))
    edge_light(cv, np.maximum(thorax, tail), rgb("#b0ffe8"), 0.6, 0.5)


def draw_chiken(cv):
    hi, lo = rgb("#e8c890"), rgb("#4a2c10")
    pods = np.maximum(cv.poly([(10, -9), (6, -14), (-14, -14), (-20, -10), (-14, -7)]),
                      cv.poly([(10, 9), (6, 14), (-14, 14), (-20, 10), (-14, 7)]))
    metal(cv, pods, hi * 0.85, lo)
    for y in (-11.2, 11.2):
        for i in range(4):
            lamp(cv, 3 - i * 4.2, y, 0.55, rgb("#ffd060"), 0.7)
    edge_light(cv, pods, WHITE, 0.45)
    body = cv.poly(mirror([(25, 0), (22, -4.5), (14, -8.5), (-14, -9.5), (-23, -7), (-25.5, -3)]))
    metal(cv, body, hi, lo)
    hatch = cv.rect(-14, -3.5, 8, 3.5)
    cv.paint(hatch * body, mix(lo, hi, 0.45), 0.8)
    stripes = (np.floor((cv.X + 30) / 3.0) % 2) * hatch
    cv.paint(stripes * body, rgb("#c83818"), 0.55)
    bay = cv.ellipse(22.5, 0, 2.6, 3.0)
    cv.paint(bay, rgb("#120804"))
    lamp(cv, 22.5, 0, 1.1, rgb("#ff5020"), 0.8)
    cv.paint(cv.ellipse(14, 0, 3.5, 2.4), cv.lin(rgb("#ffe0a0"), rgb("#602008"), (12, -2), (16, 2)))
    edge_light(cv, body, WHITE, 0.6)
    for y in (-5, 0, 5):
        engine(cv, -25.5, y, 1.6, rgb("#ff9a30"))


def rocket_flame(cv, x0, length, width, phase, seed, hot, cool):
    """A flickering exhaust from x0 towards -x; phase 0..1 runs one loop."""
    p = 2 * math.pi * phase
    L = length * (0.78 + 0.16 * math.sin(p) + 0.08 * math.sin(3 * p + 1.3))
    t = np.clip((x0 - cv.X) / L, 0, 1.2)
    wob = 0.6 * math.sin(2 * p + 0.7) * t + 0.3 * math.sin(5 * p) * t
    wid = width * (0.9 + 0.12 * math.sin(4 * p + 0.4))
    d = np.abs(cv.Y - wob) / (wid * (1 - 0.75 * t) + 1e-3)
    on = (cv.X <= x0 + 0.5) & (t < 1.0)
    # the turbulence scrolls backwards through the loop
    scroll = cv.noise(seed, 2.2, 2)
    shift = int(round(phase * 8)) % 8
    scroll = np.roll(scroll, -shift * cv.ss * 2, axis=1)
    body = np.exp(-d ** 2 * 2.2) * on * np.clip(1.1 - t + 0.4 * scroll, 0, 1)
    core = np.exp(-d ** 2 * 7) * on * np.clip(1 - t * 1.6 + 0.2 * scroll, 0, 1)
    cv.glow(body, cool, 1.0)
    cv.glow(core, hot, 1.0)


def draw_firerocket(cv):
    rocket_flame(cv, -7.2, 12, 2.6, 0.0, 91, rgb("#fff4b0"), rgb("#ff5a10"))
    fins = np.maximum(cv.poly([(-3.5, -1.5), (-7.8, -3.6), (-7.8, -1.5)]), cv.poly([(-3.5, 1.5), (-7.8, 3.6), (-7.8, 1.5)]))
    cv.paint(fins, rgb("#c02818"))
    body = cv.poly(mirror([(9.2, 0), (7.5, -1.2), (4.5, -2), (-7.5, -2), (-7.5, -0.001)])[:-1])
    cv.paint(body, cv.lin(rgb("#ffffff"), rgb("#6a6a78"), (0, -2), (0, 2.2)))
    nose = cv.poly([(9.4, 0), (4.5, -2.1), (4.5, 2.1)])
    cv.paint(nose, cv.lin(rgb("#ff6a50"), rgb("#7a0a08"), (0, -2), (0, 2)))
    cv.paint(cv.rect(-1, -2, 0.4, 2) * body, rgb("#ffb020"), 0.9)


def draw_chikenrocket(cv, phase):
    rocket_flame(cv, -6.5, 14.5, 3.6, phase, 92, rgb("#fffbd0"), rgb("#ff7a18"))
    fins = np.maximum(cv.poly([(-1, -2.5), (-6.5, -6.2), (-6.8, -2.5)]), cv.poly([(-1, 2.5), (-6.5, 6.2), (-6.8, 2.5)]))
    cv.paint(fins, cv.lin(rgb("#ff6030"), rgb("#6a1008"), (0, 0), (-6, 0)))
    edge_light(cv, fins, rgb("#ffc0a0"), 0.5, 0.5)
    egg = cv.ellipse(3.5, 0, 8.8, 3.6)
    cv.paint(egg, cv.radial(rgb("#fffaf0"), rgb("#9a8a70"), 4, -2.2, 8))
    band = cv.rect(-0.5, -4, 1.5, 4) * egg
    cv.paint(band, rgb("#e03018"), 0.85)
    lamp(cv, 8.8, -0.6, 0.7, rgb("#ff4020"), 0.7)
    edge_light(cv, egg, WHITE, 0.45, 0.5)


# ---------------------------------------------------------------- turrets

def draw_smallgun(cv):
    turret_base(cv, 11.0, 0, rgb("#b8b0a0"), rgb("#2e2a24"), rgb("#d8a020"), 51)
    barrel(cv, 2, 18.2, 0, 3.6, rgb("#f0e0b0"), rgb("#403420"), rgb("#ffd040"))
    dome(cv, 0, 0, 5.6, rgb("#ffd23a"), rgb("#6a4404"))


def draw_redgun(cv):
    turret_base(cv, 27.0, 8, rgb("#b4a8b0"), rgb("#2a2228"), rgb("#e02838"), 52)
    rr, th = cv.polar(0, 0)
    hazard = ((np.floor((th + math.pi) / (math.pi / 10)) % 2) * np.exp(-((rr - 22.5) / 1.3) ** 2))
    cv.paint(hazard * (rr < 26), rgb("#ffc020"), 0.6)
    for y in (-5.2, 5.2):
        barrel(cv, 6, 32.2, y, 5.2, rgb("#e8d8dc"), rgb("#3a2a30"), rgb("#ff4050"))
    cv.paint(cv.rect(6, -8, 12, 8), rgb("#3a2a30"))
    edge_light(cv, cv.rect(6, -8, 12, 8), WHITE, 0.4, 0.6)
    dome(cv, 0, 0, 13.5, rgb("#ff4a4a"), rgb("#4a0408"))
    lamp(cv, 5.5, 0, 1.8, rgb("#ffe060"))


def draw_bluegun(cv):
    rr, th = cv.polar(0, 0)
    fins = (np.cos(th * 10) > 0.35) * cv.circle(0, 0, 27.5) * (rr > 18)
    cv.paint(fins, cv.lin(rgb("#a8c0e0"), rgb("#1a2840"), (-20, -20), (20, 20)))
    edge_light(cv, fins, rgb("#c0e0ff"), 0.35, 0.5)
    plate = cv.circle(0, 0, 21.5)
    metal(cv, plate, rgb("#b0c4e0"), rgb("#1c2a44"), 0.25)
    ring = cv.edge(np.abs(rr - 17.0) - 1.1)
    cv.glow(ring, rgb("#3aa0ff"), 0.9)
    edge_light(cv, plate, WHITE, 0.5)
    barrel(cv, 6, 32.2, 0, 8.0, rgb("#d8e8ff"), rgb("#1a2a48"))
    for x in (17, 21, 25):
        cv.glow(cv.line(x, -4.6, x, 4.6, 1.0), rgb("#50c0ff"), 0.85)
    lamp(cv, 31, 0, 2.0, rgb("#60d0ff"))
    dome(cv, 0, 0, 12.5, rgb("#4aa8ff"), rgb("#061a48"))


def draw_ananasgun(cv):
    leaves = np.zeros_like(cv.alpha)
    for i, a in enumerate(np.linspace(-1.0, 1.0, 7)):
        L = 13.5 - abs(a) * 3.5
        ang = math.pi + a
        bx, by = -15, a * 5
        tx, ty = bx + math.cos(ang) * L, by + math.sin(ang) * L * 1.15
        nx, ny = -math.sin(ang) * 2.2, math.cos(ang) * 2.2
        leaves = np.maximum(leaves, cv.poly([(bx + nx, by + ny), (tx, ty), (bx - nx, by - ny)]))
    cv.paint(leaves, cv.lin(rgb("#9aff50"), rgb("#0e4a10"), (-14, 0), (-28, 0)))
    edge_light(cv, leaves, rgb("#d0ffa0"), 0.5, 0.5)
    for k in range(5):
        a = (k - 2) * 0.22
        ca, sa = math.cos(a), math.sin(a)
        m = cv.line(8 * ca, 8 * sa, 27.5 * ca, 27.5 * sa, 3.4)
        cv.paint(m, cv.lin(rgb("#d8f0a0"), rgb("#243a10"), (20 * ca - sa * 2, 20 * sa - ca * 2), (20 * ca + sa * 2, 20 * sa + ca * 2)))
        edge_light(cv, m, WHITE, 0.3, 0.5)
        lamp(cv, 27 * ca, 27 * sa, 0.8, rgb("#ffe040"), 0.8)
    body = cv.ellipse(-1, 0, 17.5, 16)
    u, v = cv.X + cv.Y, cv.X - cv.Y
    lattice = np.minimum(np.abs((u % 6.0) - 3.0), np.abs((v % 6.0) - 3.0))
    shade = lambert(np.sqrt(np.clip(1 - ((cv.X + 1) / 17.5) ** 2 - (cv.Y / 16) ** 2, 0, 1)) * 14, cv.px)
    col = mix(rgb("#7a3a04"), rgb("#ffd040"), np.clip(0.25 + shade * 0.9, 0, 1))
    cv.paint(body, col)
    cv.paint(body * smooth(0.9, 0.3, lattice), rgb("#4a2404"), 0.75)
    pips = np.exp(-(((u % 6.0) - 3.0) ** 2 + ((v % 6.0) - 3.0) ** 2) / 1.2)
    cv.glow(body * pips, rgb("#fff0a0"), 0.35)
    edge_light(cv, body, rgb("#fff0b0"), 0.5)
    lamp(cv, 9, 0, 2.2, rgb("#ff8020"))


def draw_firestation(cv):
    base = cv.poly([(8, -8.5), (-6, -8.5), (-8.8, -5.5), (-8.8, 5.5), (-6, 8.5), (8, 8.5)])
    metal(cv, base, rgb("#d0b8a0"), rgb("#3a2418"), 0.25)
    diag = (np.floor((cv.X - cv.Y + 40) / 2.0) % 2) * (np.abs(cv.Y) > 6.3)
    cv.paint(base * diag, rgb("#ff9a10"), 0.7)
    edge_light(cv, base, WHITE, 0.5, 0.6)
    tube = cv.rect(-3, -3.6, 14.8, 3.6)
    cv.paint(tube, cv.lin(rgb("#f0d8c0"), rgb("#4a2a18"), (0, -3.6), (0, 3.6)))
    edge_light(cv, tube, WHITE, 0.4, 0.5)
    cv.paint(cv.rect(11.5, -2.6, 14.8, 2.6), rgb("#140804"))
    nose = cv.poly([(14.6, 0), (11.6, -2.2), (11.6, 2.2)])
    cv.paint(nose, rgb("#ff3a20"))
    lamp(cv, -4.5, 0, 1.5, rgb("#ffa020"))


# ---------------------------------------------------------------- boss

def draw_mozg(cv):
    # two lobes either side of a fissure along the heading
    lobes = [cv.ellipse_d(0.5, s * 7.0, 28.5, 22.5) for s in (-1, 1)]
    d = np.minimum(*lobes)
    blob = cv.edge(d)
    aura = np.exp(-np.clip(d, 0, None) ** 2 / 2.5)
    cv.under(aura, rgb("#c030ff"), 0.55)
    u, v = (cv.X - 0.5) / 29.5, cv.Y / 31.0
    r2 = np.clip(u * u + v * v, 0, 1)
    fissure = np.exp(-(cv.Y / 1.6) ** 2)
    n = cv.noise(77, 9.0, 2) + 0.35 * cv.noise(79, 4.0, 1)
    folds = np.abs(np.sin(n * 7.0 + u * 4.0))
    h = np.sqrt(1 - r2) * 16 + smooth(0.0, 0.6, folds) * 3.2 - fissure * 7
    lit = lambert(h, cv.px, relief=1.0)
    col = mix(rgb("#6a0a38"), rgb("#ffb0d0"), np.clip(0.12 + 0.95 * lit, 0, 1))
    cv.paint(blob, col)
    cv.paint(blob * smooth(0.28, 0.05, folds), rgb("#50062c"), 0.8)
    cv.paint(blob * fissure, rgb("#24021a"), 0.9)
    veins = smooth(0.05, 0.0, np.abs(cv.noise(78, 11.0, 2)))
    cv.glow(blob * veins * (r2 < 0.85), rgb("#ff50d0"), 0.5)
    edge_light(cv, blob, rgb("#ffd0f0"), 0.6, 1.0)
    for s in (-1, 1):
        lamp(cv, 25.5, s * 10, 1.9, rgb("#ff60ff"))
    lamp(cv, 30.5, 0, 2.6, rgb("#ffe8ff"))

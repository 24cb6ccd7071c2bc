"""A small supersampled painter on numpy arrays.

Pictures are drawn in object units around their hot spot (+x ahead, +y
down) and averaged down to texels, which gives clean anti-aliased edges at
sprite sizes of 20-60 px.
"""

import numpy as np
from PIL import Image, ImageDraw
from scipy import ndimage


def rgb(hexstr):
    h = hexstr.lstrip("#")
    return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)], np.float32)


def mix(a, b, t):
    t = np.asarray(t, np.float32)
    if t.ndim:
        t = t[..., None]
    return a * (1 - t) + b * t


def smooth(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


class Canvas:
    """Premultiplied RGBA in float, ss x ss samples per texel."""

    def __init__(self, w, h, hx, hy, scale=1.0, ss=6):
        self.w, self.h, self.hx, self.hy = w, h, hx, hy
        self.scale, self.ss = scale, ss
        self.W, self.H = w * ss, h * ss
        self.col = np.zeros((self.H, self.W, 3), np.float32)
        self.alpha = np.zeros((self.H, self.W), np.float32)
        ys, xs = np.mgrid[0:self.H, 0:self.W].astype(np.float32)
        self.X = ((xs + 0.5) / ss - hx) / scale
        self.Y = ((ys + 0.5) / ss - hy) / scale
        # size of one sample in object units, for analytic edges
        self.px = 1.0 / (ss * scale)

    # -- masks (float 0..1 per sample) --------------------------------
    def _to_px(self, p):
        return ((p[0] * self.scale + self.hx) * self.ss, (p[1] * self.scale + self.hy) * self.ss)

    def poly(self, pts):
        img = Image.new("L", (self.W, self.H), 0)
        ImageDraw.Draw(img).polygon([self._to_px(p) for p in pts], fill=255)
        return np.asarray(img, np.float32) / 255.0

    def edge(self, d):
        """Coverage from a signed distance (negative inside)."""
        return np.clip(0.5 - d / self.px, 0.0, 1.0)

    def ellipse_d(self, cx, cy, rx, ry, rot=0.0):
        dx, dy = self.X - cx, self.Y - cy
        if rot:
            c, s = np.cos(rot), np.sin(rot)
            dx, dy = dx * c + dy * s, -dx * s + dy * c
        r = np.sqrt((dx / rx) ** 2 + (dy / ry) ** 2)
        return (r - 1.0) * min(rx, ry)

    def ellipse(self, cx, cy, rx, ry, rot=0.0):
        return self.edge(self.ellipse_d(cx, cy, rx, ry, rot))

    def circle(self, cx, cy, r):
        return self.ellipse(cx, cy, r, r)

    def seg_d(self, x0, y0, x1, y1):
        """Distance to the segment."""
        dx, dy = x1 - x0, y1 - y0
        L2 = dx * dx + dy * dy or 1e-9
        t = np.clip(((self.X - x0) * dx + (self.Y - y0) * dy) / L2, 0, 1)
        return np.hypot(self.X - x0 - t * dx, self.Y - y0 - t * dy)

    def line(self, x0, y0, x1, y1, width):
        return self.edge(self.seg_d(x0, y0, x1, y1) - width / 2)

    def polyline(self, pts, width):
        m = np.zeros_like(self.alpha)
        for a, b in zip(pts[:-1], pts[1:]):
            m = np.maximum(m, self.line(a[0], a[1], b[0], b[1], width))
        return m

    def rect(self, x0, y0, x1, y1):
        return self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])

    def polar(self, cx, cy):
        dx, dy = self.X - cx, self.Y - cy
        return np.hypot(dx, dy), np.arctan2(dy, dx)

    # -- colour fields -------------------------------------------------
    def lin(self, c0, c1, p0, p1):
        """Colour ramp from point p0 (c0) to p1 (c1)."""
        dx, dy = p1[0] - p0[0], p1[1] - p0[1]
        t = ((self.X - p0[0]) * dx + (self.Y - p0[1]) * dy) / (dx * dx + dy * dy)
        return mix(c0, c1, np.clip(t, 0, 1))

    def radial(self, c0, c1, cx, cy, r):
        t = np.clip(np.hypot(self.X - cx, self.Y - cy) / r, 0, 1)
        return mix(c0, c1, t)

    def noise(self, seed, cell, octaves=1):
        """Smooth value noise in -1..1, fixed by the seed, independent of ss."""
        rng = np.random.default_rng(seed)
        out = np.zeros_like(self.alpha)
        amp, total = 1.0, 0.0
        for o in range(octaves):
            c = cell / (2 ** o)
            gw = int((self.w / self.scale) / c) + 6
            gh = int((self.h / self.scale) / c) + 6
            grid = rng.uniform(-1, 1, (gh, gw)).astype(np.float32)
            gx = (self.X + self.hx / self.scale) / c + 2
            gy = (self.Y + self.hy / self.scale) / c + 2
            out += amp * ndimage.map_coordinates(grid, [gy, gx], order=3, mode="nearest")
            total += amp
            amp *= 0.5
        return out / total

    # -- compositing ---------------------------------------------------
    def paint(self, mask, color, opacity=1.0):
        a = np.clip(mask * opacity, 0, 1)
        color = np.asarray(color, np.float32)
        self.col = self.col * (1 - a)[..., None] + color * a[..., None]
        self.alpha = self.alpha * (1 - a) + a

    def under(self, mask, color, opacity=1.0):
        a = np.clip(mask * opacity, 0, 1) * (1 - self.alpha)
        color = np.asarray(color, np.float32)
        self.col = self.col + color * a[..., None]
        self.alpha = self.alpha + a

    def glow(self, mask, color, opacity=1.0):
        """Light added on top: brightens what is there, shows on its own."""
        a = np.clip(mask * opacity, 0, 1)
        color = np.asarray(color, np.float32)
        self.col = np.minimum(self.col + color * a[..., None], 1.0)
        self.alpha = np.clip(self.alpha + a * 0.9, 0, 1)

    def shade(self, factor, mask=None):
        """Multiply colour (not alpha) by factor where mask."""
        f = np.asarray(factor, np.float32)
        if mask is not None:
            f = 1 + (f - 1) * mask
        if f.ndim == 2:
            f = f[..., None]
        self.col = np.clip(self.col * f, 0, 1)

    # -- result ----------------------------------------------------------
    def down(self):
        """Average down to texels: premultiplied (h, w, 3) colour and alpha."""
        s = self.ss
        col = self.col.reshape(self.h, s, self.w, s, 3).mean(axis=(1, 3))
        a = self.alpha.reshape(self.h, s, self.w, s).mean(axis=(1, 3))
        return col, a


def finish(col, a, glow_color=None, glow_sigma=1.0, glow_strength=0.5, border=1):
    """Texel arrays to an RGBA image, with an optional soft halo under the
    picture and a cleared ring so filtering never bleeds into neighbours."""
    col = col.copy()
    a = a.copy()
    if glow_color is not None:
        g = ndimage.gaussian_filter(a, glow_sigma, mode="constant") * glow_strength
        g = np.clip(g, 0, 1) * (1 - a)
        col = col + np.asarray(glow_color, np.float32) * g[..., None]
        a = a + g
    if border:
        a[:border, :] = a[-border:, :] = 0
        a[:, :border] = a[:, -border:] = 0
    return to_image(col, a)


def to_image(col, a):
    a = np.clip(a, 0, 1)
    safe = np.where(a > 1e-6, a, 1)[..., None]
    c = np.clip(col / safe, 0, 1)
    c = np.where(a[..., None] > 1e-6, c, 0)
    out = np.dstack([c, a[..., None]])
    return Image.fromarray(np.round(out * 255).astype(np.uint8), "RGBA")


def lambert(height, px, light=(-0.55, -0.65, 0.52), relief=1.0):
    """Diffuse light factor of a height field sampled every px object units."""
    gy, gx = np.gradient(height, px)
    n = np.dstack([-gx * relief, -gy * relief, np.ones_like(height)])
    n /= np.linalg.norm(n, axis=2, keepdims=True)
    L = np.array(light, np.float32)
    L /= np.linalg.norm(L)
    return np.clip((n * L).sum(axis=2), 0, 1)

"""Builds data/tex.png from the layout table and the picture functions."""

from PIL import Image

from . import sprites
from .atlas_layout import ATLAS_SIZE, atlas_entries, frames_of
from .raster import Canvas, finish, rgb

# Halo colour per picture: keeps dark shapes readable on a black starfield.
GLOW = {
    "ship0": ("#39d8ff", 0.45), "ship1": ("#ff9a3a", 0.45),
    "meteor_large": ("#ffb070", 0.12), "meteor_medium": ("#ffb070", 0.12), "meteor_small": ("#ffb070", 0.12),
    "gravy_large": ("#c060ff", 0.35), "gravy_medium": ("#c060ff", 0.35), "gravy_small": ("#c060ff", 0.35),
}
NO_GLOW = {"star", "dot", "player_bullet", "enemy_bullet"}


def render(entry, frame=0, scale=1.0, w=None, h=None):
    """One picture (or one animation frame) as an RGBA image."""
    w = w or int(round(entry.w * scale))
    h = h or int(round(entry.h * scale))
    cv = Canvas(w, h, entry.hx * scale, entry.hy * scale, scale=scale, ss=6 if scale <= 1.5 else 3)
    fn = getattr(sprites, "draw_" + entry.name)
    if entry.frames > 1:
        fn(cv, frame / entry.frames)
    else:
        fn(cv)
    col, a = cv.down()
    if entry.name in NO_GLOW:
        return finish(col, a, border=0 if entry.name == "dot" else 1)
    g, strength = GLOW.get(entry.name, ("#ff4060", 0.3))
    return finish(col, a, rgb(g), glow_sigma=1.0 * scale, glow_strength=strength)


def build_atlas():
    tw, th = ATLAS_SIZE
    img = Image.new("RGBA", (tw, th), (0, 0, 0, 0))
    for e in atlas_entries():
        if e.frames == 1:
            img.paste(render(e), (e.x, e.y))
        else:
            for i, (x, y, w, h) in enumerate(frames_of(e, tw)):
                img.paste(render(e, i), (x, y))
    return img

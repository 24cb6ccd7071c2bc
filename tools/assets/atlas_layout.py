"""Every texture rectangle the game cuts from data/*.png, in one place.

The C++ side hard-codes the same numbers; this table mirrors them so the
pictures are drawn exactly where the game looks for them.
"""

# Texture sizes. The atlas needs 262 rows (the chikenrocket strip wraps to
# y=248); 512 keeps it a power of two.
ATLAS_SIZE = (256, 512)
KABOOM_SIZE = (512, 256)  # 8 big frames a row, so the small strip at y=192 is free
LOGO_SIZE = (640, 400)


class Entry:
    """One picture: rectangle of its first frame, hot spot, frame count."""

    def __init__(self, name, x, y, w, h, hx, hy, frames=1, fps=1.0):
        self.name, self.x, self.y, self.w, self.h = name, x, y, w, h
        self.hx, self.hy, self.frames, self.fps = hx, hy, frames, fps

    def rect(self):
        return (self.x, self.y, self.w, self.h)


def centre(w, h):
    return (w / 2, h / 2)


def _e(name, x, y, w, h, hot=None, frames=1, fps=1.0):
    hx, hy = centre(w, h) if hot is None else hot
    return Entry(name, x, y, w, h, hx, hy, frames, fps)


# Sprites on the atlas. The star has no hot spot: it is drawn by its corner.
SPRITES = [
    _e("star", 117, 13, 8, 8, hot=(0, 0)),
    _e("ship0", 0, 0, 34, 26, hot=(13, 13)),
    _e("ship1", 0, 56, 30, 26, hot=(13, 13)),
    _e("enemy_bullet", 51, 0, 22, 8, hot=(18, 4)),
    _e("player_bullet", 78, 0, 20, 10, hot=(17, 5)),
    _e("dot", 108, 4, 2, 2),
]

# Picture of each enemy kind, indexed by kind number.
IMAGES = [
    _e("meteor_large", 70, 63, 52, 58),
    _e("meteor_medium", 71, 31, 32, 32),
    _e("meteor_small", 36, 10, 22, 22),
    _e("gravy_large", 122, 63, 56, 58),
    _e("gravy_medium", 103, 31, 34, 32),
    _e("gravy_small", 126, 0, 24, 24),
    _e("bull", 0, 26, 30, 30),
    _e("eagle", 0, 112, 34, 30, hot=(15, 15)),
    _e("runner", 0, 82, 34, 30, hot=(15, 15)),
    _e("redgun", 0, 142, 62, 58, hot=(29, 29)),
    _e("klin", 30, 32, 35, 30, hot=(15, 15)),
    _e("spike", 30, 62, 32, 18, hot=(17, 9)),
    _e("smallgun", 34, 80, 32, 26, hot=(13, 13)),
    _e("hull", 34, 106, 30, 34, hot=(15, 17)),
    _e("bluegun", 62, 142, 62, 58, hot=(29, 29)),
    _e("ananasgun", 124, 142, 58, 58, hot=(29, 29)),
    _e("arrow", 65, 11, 34, 18, hot=(17, 9)),
    _e("disk", 150, 0, 34, 30, hot=(19, 15)),
    _e("firestation", 137, 38, 26, 20, hot=(10, 10)),
    _e("firerocket", 137, 30, 30, 8, hot=(20, 4)),
    _e("chiken", 184, 0, 54, 30, hot=(27, 15)),
    _e("chikenrocket", 0, 234, 34, 14, hot=(21, 7), frames=8, fps=30.0),
    _e("dragonfly", 0, 200, 32, 34, hot=(16, 17), frames=8, fps=60.0),
    _e("mozg", 178, 30, 66, 66, hot=(31, 33)),
]

# Explosions on data/kaboom.png; played once forward.
KABOOMS = [
    _e("kaboom", 0, 0, 64, 64, hot=(32, 32), frames=20, fps=10.0),
    _e("boom", 0, 192, 32, 32, hot=(16, 16), frames=8, fps=10.0),
]


def frame_rect(entry, n, strip_width):
    """Rectangle of frame n, by the engine's rule: frames run left to right
    from the first rectangle and wrap at the texture width, every further
    row starting at x = 0."""
    w, h = entry.w, entry.h
    columns = strip_width // int(round(w))
    n %= entry.frames
    x = n * w + entry.x
    y = entry.y
    if strip_width - w < x:
        first_row = int(round(strip_width - entry.x)) // int(round(w))
        k = n - first_row
        x = (k % columns) * w
        y = (k // columns + 1) * h + entry.y
    return (x, y, w, h)


def frames_of(entry, strip_width):
    return [frame_rect(entry, n, strip_width) for n in range(entry.frames)]


def atlas_entries():
    return SPRITES + IMAGES


def all_rects(entries, strip_width):
    """(label, rect) for every frame of every entry."""
    out = []
    for e in entries:
        if e.frames == 1:
            out.append((e.name, e.rect()))
        else:
            for i, r in enumerate(frames_of(e, strip_width)):
                out.append(("%s#%d" % (e.name, i), r))
    return out


def overlaps(a, b):
    return (min(a[0] + a[2], b[0] + b[2]) > max(a[0], b[0]) and
            min(a[1] + a[3], b[1] + b[3]) > max(a[1], b[1]))


def layout_problems(entries, size):
    """Rectangles outside the texture or overlapping one another."""
    tw, th = size
    rects = all_rects(entries, tw)
    problems = []
    for name, (x, y, w, h) in rects:
        if x < 0 or y < 0 or x + w > tw or y + h > th or w <= 0 or h <= 0:
            problems.append("%s %r lies outside the %dx%d texture" % (name, (x, y, w, h), tw, th))
    for i in range(len(rects)):
        for j in range(i + 1, len(rects)):
            if overlaps(rects[i][1], rects[j][1]):
                problems.append("%s %r overlaps %s %r" % (rects[i][0], rects[i][1], rects[j][0], rects[j][1]))
    return problems

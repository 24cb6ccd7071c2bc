#!/usr/bin/python3
"""Makes the headless runner's screenshots small enough to commit.

    /usr/bin/python3 tools/shrink_screenshots.py FROM_DIR TO_DIR

Each PNG of FROM_DIR named in SHOTS is reduced to a 256-colour palette
(the game's screens are mostly black with few colours, so this keeps them
sharp) and written to TO_DIR; a shot still above LIMIT bytes is scaled down
until it fits. Fails when a shot is missing.
"""

import os
import sys

from PIL import Image

SHOTS = ["title.png", "teamwork.png", "shop.png"]
LIMIT = 100 * 1024


def shrink(src, dst):
    img = Image.open(src).convert("RGB")
    width = img.width
    while True:
        shot = img if width == img.width else img.resize((width, round(img.height * width / img.width)),
                                                         Image.LANCZOS)
        shot.quantize(256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).save(
            dst, "PNG", optimize=True)
        if os.path.getsize(dst) <= LIMIT or width <= 320:
            return shot.size, os.path.getsize(dst)
        width = int(width * 0.85)


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    src_dir, dst_dir = sys.argv[1:]
    os.makedirs(dst_dir, exist_ok=True)
    for name in SHOTS:
        src = os.path.join(src_dir, name)
        if not os.path.exists(src):
            sys.stderr.write("shrink_screenshots: %s is missing\n" % src)
            return 1
        (w, h), size = shrink(src, os.path.join(dst_dir, name))
        print("%s: %dx%d, %d bytes" % (name, w, h, size))
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Generates every file of data/ from code, or checks the committed ones.

    /usr/bin/python3 tools/make_assets.py            # write data/
    /usr/bin/python3 tools/make_assets.py --check    # verify data/
    /usr/bin/python3 tools/make_assets.py --only fonts,ini
    /usr/bin/python3 tools/make_assets.py --only icons   # dist/icons

Needs Debian's python3-pil, python3-numpy, python3-scipy, lame and
fonts-dejavu-core. Every random choice has a fixed seed, so a rerun gives
the same PNGs byte for byte.
"""

import argparse
import os
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
DATA = os.path.join(os.path.dirname(HERE), "data")
DIST = os.path.join(os.path.dirname(HERE), "dist")

PARTS = ["atlas", "kaboom", "logo", "fonts", "sounds", "ini", "credits", "icons"]


def save_png(img, path):
    img.save(path, "PNG", optimize=False, compress_level=9)


def make_icons(dist):
    from assets.icon import SIZES, build_icon, build_icon_svg
    for size in SIZES:
        folder = os.path.join(dist, "icons", "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        save_png(build_icon(size), os.path.join(folder, "korvane.png"))
    os.makedirs(os.path.join(dist, "icons", "scalable"), exist_ok=True)
    with open(os.path.join(dist, "icons", "scalable", "korvane.svg"), "w") as f:
        f.write(build_icon_svg())


def make(parts, out, dist):
    os.makedirs(out, exist_ok=True)
    if "atlas" in parts:
        from assets.atlas import build_atlas
        save_png(build_atlas(), os.path.join(out, "tex.png"))
    if "kaboom" in parts:
        from assets.explosions import build_kaboom
        save_png(build_kaboom(), os.path.join(out, "kaboom.png"))
    if "logo" in parts:
        from assets.logo import build_logo
        save_png(build_logo(), os.path.join(out, "logo.png"))
    if "fonts" in parts:
        from assets.fonts import FONT1, FONT2, fnt_text, render_font
        for style in (FONT1, FONT2):
            sheet, glyphs, _ = render_font(style)
            save_png(sheet, os.path.join(out, style.name + ".png"))
            with open(os.path.join(out, style.name + ".fnt"), "w", newline="") as f:
                f.write(fnt_text(style.name + ".png", glyphs))
    if "sounds" in parts:
        from assets import sounds
        with tempfile.TemporaryDirectory() as tmp:
            for name, _, _ in sounds.EFFECTS:
                sounds.encode(sounds.synth(name), os.path.join(out, name), tmp)
    if "ini" in parts:
        from assets.settings_table import ini_text
        with open(os.path.join(out, "Settings.ini"), "w", newline="") as f:
            f.write(ini_text())
    if "credits" in parts:
        from assets.credits import credits_text
        with open(os.path.join(out, "CREDITS"), "w") as f:
            f.write(credits_text())
    if "icons" in parts:
        make_icons(dist)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--check", action="store_true", help="verify the files in the data directory")
    ap.add_argument("--only", default=",".join(PARTS), help="comma-separated parts: " + ",".join(PARTS))
    ap.add_argument("--out", default=DATA, help="data directory (default: the repository's data/)")
    ap.add_argument("--dist", default=DIST, help="where the icons go (default: the repository's dist/)")
    args = ap.parse_args()
    if args.check:
        from assets.check import run_checks
        problems = run_checks(args.out)
        from assets.icon import check_icons
        check_icons(args.dist, problems)
        for p in problems:
            print("FAIL:", p)
        print("%d problem(s)" % len(problems))
        return 1 if problems else 0
    parts = [p for p in args.only.split(",") if p]
    bad = [p for p in parts if p not in PARTS]
    if bad:
        ap.error("unknown part(s): " + ", ".join(bad))
    make(parts, args.out, args.dist)
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Draws the program's artwork as SVG and renders it to the bitmaps and the icon the build embeds.

    res/art/render.py [--keep DIR]

Writes res/bitmaps/<id>.bmp (res/bitmaps/<id>-<language>.bmp for a bitmap with language versions)
as 24-bit bottom-up BMP with a 40-byte header, res/icons/128.ico (16, 32, 48 and 256 px) and
the scalable desktop icon res/icons/example.tolkara.german.svg (the 256 px drawing).
Sizes and numbers come from res/bitmaptable.h, control positions from res/dialogs.h, so every
button bitmap is drawn over the part of the skin that lies beneath its control.

Only needed to change the artwork (the build uses the committed files). Tools: rsvg-convert
(librsvg2-bin), ImageMagick's convert (imagemagick), fonts Liberation Sans and DejaVu
(fonts-liberation, fonts-dejavu-core). --keep DIR leaves the SVG and PNG intermediates in DIR.
"""
import argparse
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
sys.dont_write_bytecode = True  # keep the source folder clean
sys.path.insert(0, str(HERE))

import artwork  # noqa: E402  (the drawings)

LANG = {"shell::LangNeutral": 0, "shell::LangGerman": 1031, "shell::LangEnglish": 1033}


def read_bitmap_table():
    text = (ROOT / "res/bitmaptable.h").read_text()
    rows = re.findall(r'\{(\d+), (shell::Lang\w+), (\d+), (\d+), "([^"]*)"\}', text)
    return [dict(id=int(i), lang=LANG[l], w=int(w), h=int(h), role=r) for i, l, w, h, r in rows]


def read_control_ids():
    """The control names of both templates (res/controlids.h) → their numbers."""
    text = (ROOT / "res/controlids.h").read_text()
    return {name: int(n) for name, n in re.findall(r"int (\w+) = (\d+);", text)}


def control_number(token, ids):
    """A control as the headers write it: a number, or ids::Name."""
    return int(token) if token.isdigit() else ids[token.removeprefix("ids::")]


def read_button_skins():
    text = (ROOT / "res/bitmaptable.h").read_text()
    main = text[text.index("MainButtonSkins[]"):text.index("AboutCancelSkin")]
    ids = read_control_ids()
    skins = {}
    for control, normal, down, over in re.findall(
            r"\{((?:ids::)?\w+), (\d+), (\d+), (\d+)\}", main):
        for state, bitmap in (("normal", normal), ("down", down), ("over", over)):
            skins[int(bitmap)] = (control_number(control, ids), state)
    # A disabled look belongs to the button whose other looks carry the same name.
    rows = read_bitmap_table()
    names = {row["role"].split(", ")[0]: skins[row["id"]][0] for row in rows if row["id"] in skins}
    for row in rows:
        name, _, state = row["role"].partition(", ")
        if state == "disabled" and name in names:
            skins[row["id"]] = (names[name], "disabled")
    return skins


def read_dialog_items(name):
    """Pixel rectangles (left, top, right, bottom) of a template's controls, by id."""
    text = (ROOT / "res/dialogs.h").read_text()
    body = text[text.index(name + "[] = {"):]
    body = body[:body.index("\n};")]
    ids = read_control_ids()
    items = {}
    for entry in re.findall(r"\{((?:ids::)?\w+),\s*\w+Class,(.*?)\}", body, re.S):
        numbers = re.findall(r"(-?\d+)", entry[1].split('"')[-1])
        x, y, cx, cy = (int(n) for n in numbers[-4:])
        items[control_number(entry[0], ids)] = (px_x(x), px_y(y), px_x(x + cx), px_y(y + cy))
    return items


def muldiv(value, num, den):
    return (value * num + den // 2) // den


def px_x(x):
    return muldiv(x, 6, 4)


def px_y(y):
    return muldiv(y, 13, 8)


def run(*args):
    subprocess.run(args, check=True)


def render_svg(svg_text, svg_path, png_path):
    svg_path.write_text(svg_text)
    run("rsvg-convert", "-o", str(png_path), str(svg_path))


def to_bmp(png_path, bmp_path, crop_under=None):
    """PNG (optionally drawn over a crop of another PNG) to a 24-bit bottom-up BMP."""
    args = ["convert"]
    if crop_under:
        under, (left, top, w, h) = crop_under
        args += [str(under), "-crop", f"{w}x{h}+{left}+{top}", "+repage", str(png_path),
                 "-composite"]
    else:
        args += [str(png_path)]
    args += ["-background", "#0f2438", "-alpha", "remove", "-alpha", "off", "-type", "TrueColor",
             f"BMP3:{bmp_path}"]
    run(*args)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--keep", type=pathlib.Path, help="keep the SVG and PNG files here")
    options = parser.parse_args()

    work = options.keep or pathlib.Path(tempfile.mkdtemp(prefix="phrasebook-art-"))
    work.mkdir(parents=True, exist_ok=True)
    bitmaps_dir = ROOT / "res/bitmaps"
    icons_dir = ROOT / "res/icons"
    bitmaps_dir.mkdir(exist_ok=True)
    icons_dir.mkdir(exist_ok=True)

    table = read_bitmap_table()
    skins = read_button_skins()
    main_items = read_dialog_items("MainDialogItems")
    about_items = read_dialog_items("AboutDialogItems")

    # The two skins first: every button is drawn over the skin beneath its control.
    skin_png = work / "140.png"
    about_png = work / "307.png"
    render_svg(artwork.main_skin(main_items), work / "140.svg", skin_png)
    render_svg(artwork.about_skin(about_items), work / "307.svg", about_png)
    to_bmp(skin_png, bitmaps_dir / "140.bmp")
    to_bmp(about_png, bitmaps_dir / "307.bmp")

    def one(row):
        name = f"{row['id']}" + (f"-{row['lang']}" if row["lang"] else "")
        if row["id"] in (140, 307):
            return
        svg_path, png_path = work / f"{name}.svg", work / f"{name}.png"
        bmp_path = bitmaps_dir / f"{name}.bmp"
        if row["id"] == 287:
            render_svg(artwork.pattern(row["w"], row["h"]), svg_path, png_path)
            to_bmp(png_path, bmp_path)
            return
        if row["id"] in (286, 284, 285):
            control, state = 2, {286: "normal", 284: "down", 285: "over"}[row["id"]]
            under, rect = about_png, about_items[2]
        else:
            control, state = skins[row["id"]]
            under, rect = skin_png, main_items[control]
        render_svg(artwork.button(control, state, row["w"], row["h"], rect), svg_path, png_path)
        to_bmp(png_path, bmp_path, (under, (rect[0], rect[1], row["w"], row["h"])))

    with ThreadPoolExecutor(max_workers=2) as pool:
        list(pool.map(one, table))

    icon_pngs = []
    for size in (16, 32, 48, 256):
        png = work / f"icon{size}.png"
        render_svg(artwork.icon(size), work / f"icon{size}.svg", png)
        icon_pngs.append(str(png))
    run("convert", *icon_pngs, str(icons_dir / "128.ico"))
    (icons_dir / "example.tolkara.german.svg").write_text(artwork.icon(256) + "\n")

    if not options.keep:
        shutil.rmtree(work)
    print(f"wrote {len(table)} bitmaps to {bitmaps_dir} and the icon to {icons_dir}")


if __name__ == "__main__":
    main()

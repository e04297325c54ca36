"""The drawings of the program's artwork, as SVG text: one travel-phrasebook look for the main
window skin, the about box, every button state, the background pattern and the icon.

Palette: deep navy for the frame, warm paper for the working areas, one colour per category
(like the chapter tabs of a guide book), gold for hover, teal for actions. No drawing uses pure
black: black is the colour that lies outside the windows.
"""
from xml.sax.saxutils import escape

FONT = "Liberation Sans"
SERIF = "DejaVu Serif"

NAVY_EDGE = "#0d2136"
NAVY_DARK = "#112b45"
NAVY = "#18395a"
NAVY_LIGHT = "#22507a"
PAPER = "#f8f2e3"
PAPER_DARK = "#efe4c9"
PAPER_EDGE = "#cdbb91"
INK = "#1e2b38"
MUTED = "#c9d6e3"
CREAM = "#f3e9d2"
GOLD = "#f2b134"
GOLD_LIGHT = "#ffd97a"
TEAL = "#2a9d8f"
TEAL_DARK = "#1d7268"
CORAL = "#e4572e"
LIST_GREEN = "#377d58"

# Category control → (caption, chapter colour, icon name).
CATEGORIES = {
    1003: ("Basic", "#2a9d8f", "bubble"),
    1004: ("Travel", "#3a7dc8", "plane"),
    1007: ("Lodging", "#8e5ea2", "bed"),
    1005: ("Food", "#e07a2e", "cutlery"),
    1010: ("Social", "#d1495b", "people"),
    1008: ("Business", "#4a6fa5", "briefcase"),
    1009: ("Sight", "#5d9b47", "camera"),
    1011: ("Shopping", "#c48a1c", "bag"),
    1012: ("Emergency", "#c0392b", "cross"),
    1013: ("Question", "#5c6bc0", "question"),
}


# Advance widths of Liberation Sans Bold (metric-compatible with Arial Bold), per 1000 units.
BOLD_WIDTHS = dict(zip(
    " ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.",
    [278, 722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833, 722, 778, 667, 778,
     722, 667, 611, 722, 667, 944, 667, 667, 611, 556, 611, 556, 611, 556, 333, 611, 611, 278,
     278, 556, 278, 889, 611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500]
    + [556] * 10 + [278]))


def text_width(s, size, spacing=0):
    """Width of a bold caption in pixels."""
    return sum(BOLD_WIDTHS.get(c, 600) for c in s) * size / 1000 + spacing * len(s)


class Doc:
    """An SVG document with its own gradient ids."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.defs = []
        self.body = []
        self.count = 0

    def gradient(self, *stops, x2=0, y2=1, x1=0, y1=0):
        self.count += 1
        gid = f"g{self.count}"
        parts = "".join(
            f'<stop offset="{o}" stop-color="{c}"' + (f' stop-opacity="{a}"' if a != 1 else "")
            + "/>" for o, c, a in (s if len(s) == 3 else (*s, 1) for s in stops))
        self.defs.append(f'<linearGradient id="{gid}" x1="{x1}" y1="{y1}" x2="{x2}" y2="{y2}">'
                         f"{parts}</linearGradient>")
        return f"url(#{gid})"

    def clip(self, inner):
        self.count += 1
        cid = f"c{self.count}"
        self.defs.append(f'<clipPath id="{cid}">{inner}</clipPath>')
        return f"url(#{cid})"

    def add(self, text):
        self.body.append(text)

    def svg(self):
        return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{self.w}" height="{self.h}" '
                f'viewBox="0 0 {self.w} {self.h}"><defs>{"".join(self.defs)}</defs>'
                f'{"".join(self.body)}</svg>')


def attrs(**kw):
    return "".join(f' {k.rstrip("_").replace("_", "-")}="{v}"' for k, v in kw.items()
                   if v is not None)


def rect(x, y, w, h, r=0, **kw):
    return f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{r}"{attrs(**kw)}/>'


def circle(cx, cy, r, **kw):
    return f'<circle cx="{cx}" cy="{cy}" r="{r}"{attrs(**kw)}/>'


def path(d, **kw):
    return f'<path d="{d}"{attrs(**kw)}/>'


def text(x, y, s, size, fill, weight="bold", anchor="start", family=FONT, spacing=None,
         style=None, opacity=None):
    return (f'<text x="{x}" y="{y}" font-family="{family}" font-size="{size}" '
            f'font-weight="{weight}" fill="{fill}" text-anchor="{anchor}"'
            + (f' letter-spacing="{spacing}"' if spacing is not None else "")
            + (f' font-style="{style}"' if style else "")
            + (f' opacity="{opacity}"' if opacity is not None else "")
            + f">{escape(s)}</text>")


def group(inner, transform=None, **kw):
    return f"<g{attrs(transform=transform, **kw)}>{inner}</g>"


# ----------------------------------------------------------------------------------------------
# Icons, drawn in a 24 × 24 box around (0, 0)…(24, 24), in one colour.

def icon_shape(name, colour):
    s = dict(fill="none", stroke=colour, stroke_width=2.2, stroke_linecap="round",
             stroke_linejoin="round")
    f = dict(fill=colour)
    if name == "bubble":
        return path("M4 5 H20 A2 2 0 0 1 22 7 V15 A2 2 0 0 1 20 17 H11 L6 21 V17 H4 "
                    "A2 2 0 0 1 2 15 V7 A2 2 0 0 1 4 5 Z", **f)
    if name == "plane":
        return path("M21.5 12 C21.5 10.8 20.5 10.3 19.5 10.3 H14.8 L9.6 2.5 H7.4 L10 10.3 H5.2 "
                    "L3.4 7.8 H1.8 L2.9 12 L1.8 16.2 H3.4 L5.2 13.7 H10 L7.4 21.5 H9.6 L14.8 13.7 "
                    "H19.5 C20.5 13.7 21.5 13.2 21.5 12 Z", **f)
    if name == "bed":
        return (rect(2, 6, 2.4, 14, 1, **f) + rect(2, 14, 20, 3.6, 1, **f)
                + rect(19.6, 11, 2.4, 9, 1, **f) + rect(5.5, 10, 5, 3.2, 1.5, **f)
                + rect(11.5, 10.2, 8.5, 3.2, 1.5, **f))
    if name == "cutlery":
        return (path("M6 3 V9 A2.5 2.5 0 0 0 11 9 V3 M8.5 3 V21", **s)
                + path("M17 21 V3 C14.8 4.5 14.2 8 14.6 12 H17", **s))
    if name == "people":
        return (circle(8.5, 7.5, 3.3, **f) + circle(16.5, 8.5, 2.8, **f)
                + path("M2.5 20 C2.5 14.5 5 12.5 8.5 12.5 C12 12.5 14.5 14.5 14.5 20 Z", **f)
                + path("M15.5 20 C15.5 16.5 14.8 14.8 13.8 13.6 C14.6 13.2 15.5 13 16.5 13 "
                       "C19.5 13 21.5 14.8 21.5 20 Z", **f))
    if name == "briefcase":
        return (rect(2.5, 7.5, 19, 12.5, 2.2, **f)
                + path("M9 7.5 V5.5 A1.5 1.5 0 0 1 10.5 4 H13.5 A1.5 1.5 0 0 1 15 5.5 V7.5",
                       **s) + rect(2.5, 12.2, 19, 1.4, 0, fill="#ffffff", opacity=0.45))
    if name == "camera":
        return (path("M4 7 H7.5 L9.2 4.5 H14.8 L16.5 7 H20 A2 2 0 0 1 22 9 V18 A2 2 0 0 1 20 20 "
                     "H4 A2 2 0 0 1 2 18 V9 A2 2 0 0 1 4 7 Z", **f)
                + circle(12, 13.2, 4.3, fill="#ffffff", opacity=0.55)
                + circle(12, 13.2, 2.6, **f))
    if name == "bag":
        return (path("M4.5 8 H19.5 L20.8 21 H3.2 Z", **f)
                + path("M8.5 10.5 V6.5 A3.5 3.5 0 0 1 15.5 6.5 V10.5", **s))
    if name == "cross":
        return path("M9.5 3 H14.5 V9.5 H21 V14.5 H14.5 V21 H9.5 V14.5 H3 V9.5 H9.5 Z", **f)
    if name == "question":
        return (path("M8.2 8.6 A3.9 3.9 0 1 1 13.5 12.2 C12.6 12.7 12 13.4 12 14.6 V15.4", **s)
                + circle(12, 19.6, 1.6, **f))
    if name == "search":
        return circle(10, 10, 6, **s) + path("M14.5 14.5 L21 21", **{**s, "stroke_width": 3})
    if name == "cards":
        return (rect(3, 6.5, 13, 15, 2, **s) + path("M8 6.5 V4.5 A2 2 0 0 1 10 2.5 H19 A2 2 0 0 1 "
                                                    "21 4.5 V15.5 A2 2 0 0 1 19 17.5 H16", **s))
    if name == "star":
        return path("M12 2.5 L14.6 8.6 L21.2 9.2 L16.2 13.5 L17.7 20 L12 16.6 L6.3 20 "
                    "L7.8 13.5 L2.8 9.2 L9.4 8.6 Z", **f)
    if name == "link":
        return (path("M10 14 A4 4 0 0 0 15.7 14 L19 10.7 A4 4 0 0 0 13.3 5 L11.8 6.5", **s)
                + path("M14 10 A4 4 0 0 0 8.3 10 L5 13.3 A4 4 0 0 0 10.7 19 L12.2 17.5", **s))
    if name == "speaker":
        return (path("M3 9.5 H7 L12.5 5 V19 L7 14.5 H3 Z", **f)
                + path("M15.5 9 A4.2 4.2 0 0 1 15.5 15", **s)
                + path("M18 6.2 A8 8 0 0 1 18 17.8", **s))
    if name == "snail":
        return (path("M1.8 20.6 H18.6 C20.8 20.6 21.8 19.2 21.8 17.4 V12.4", **s)
                + path("M20.6 12.6 L19.2 8.2 M22.2 12.6 L23 8.4", **{**s, "stroke_width": 1.7})
                + circle(10.6, 12.4, 7.6, **f))
    if name == "export":
        return (path("M4 13.5 V19.5 H20 V13.5", **s) + path("M12 15 V3.5 M7.5 8 L12 3.5 L16.5 8", **s))
    if name == "microphone":
        return (rect(9, 2.5, 6, 11.5, 3, **f)
                + path("M6 11 A6 6 0 0 0 18 11 M12 17 V21 M8.5 21.2 H15.5", **s))
    if name == "info":
        return (circle(12, 12, 9.5, **s) + path("M12 11 V17", **s) + circle(12, 7.4, 1.4, **f))
    if name == "arrow":
        return path("M7 17 L17 7 M9 7 H17 V15", **s)
    if name == "help":
        return icon_shape("question", colour)
    raise KeyError(name)


def icon_at(name, colour, x, y, size):
    k = size / 24
    return group(icon_shape(name, colour), transform=f"translate({x} {y}) scale({k})")


# ----------------------------------------------------------------------------------------------
# The main window skin (725 × 553). The body lies within the dialog's 684 × 559 pixels.

BODY = (2, 2, 680, 548)  # x, y, w, h of the window's outline
CARD = (126, 108, 408, 400)  # the paper card: mode area, list, pronunciation strip
COLUMN = (541, 108, 136, 400)  # the category column
STUB = (14, 108, 102, 400)  # the boarding-pass panel
LIST_FRAME = (185, 198, 298, 258)
STRIP = (186, 455, 342, 49)


def main_skin(items):
    d = Doc(725, 553)
    d.add(rect(0, 0, 725, 553, fill="#000000"))
    bx, by, bw, bh = BODY
    d.add(rect(bx, by, bw, bh, 22, fill=NAVY_EDGE, shape_rendering="crispEdges"))
    d.add(rect(bx + 2, by + 2, bw - 4, bh - 4, 20,
               fill=d.gradient((0, "#1f4a74"), (0.22, NAVY), (1, NAVY_DARK))))
    # Faint latitude lines and a dotted flight path across the header.
    for i, ry in enumerate((160, 210, 260, 310)):
        d.add(path(f"M 10 {96 - i * 4} Q 342 {96 - ry * 0.55} 674 {96 - i * 4}",
                   fill="none", stroke="#ffffff", stroke_opacity=0.04 + 0.01 * i,
                   stroke_width=1))
    d.add(path("M 482 91 C 560 94, 604 78, 613 50", fill="none", stroke=GOLD,
               stroke_opacity=0.55, stroke_width=1.4, stroke_dasharray="2 5",
               stroke_linecap="round"))
    d.add(group(icon_shape("plane", GOLD), transform="translate(603 47) rotate(-72) scale(0.6)",
                opacity=0.85))

    # Logo and title.
    d.add(logo(d, 140, 18, 48))
    d.add(text(198, 44, "Tolkara", 27, CREAM))
    d.add(text(303, 44, "German", 27, GOLD_LIGHT))
    d.add(text(404, 67, "English \u2192 Deutsch phrasebook", 12, MUTED, weight="normal",
               style="italic", opacity=0.9))
    # Tabs row: a soft underline for Favourite and Relate, a divider between them.
    d.add(rect(204, 72, 182, 1.5, 0.75, fill=GOLD, opacity=0.35))
    d.add(rect(297.5, 58, 1.2, 11, 0.6, fill=MUTED, opacity=0.35))
    # Version tag beneath the label.
    d.add(rect(428, 82, 48, 18, 9, fill="#ffffff", opacity=0.08))
    d.add(text(423, 95, "VERSION", 8, MUTED, spacing=0.8, anchor="end", opacity=0.85))
    d.add(text(610, 99, "CATEGORIES", 10, GOLD_LIGHT, anchor="middle", spacing=1.6))
    # A quiet bed for the top-left buttons.
    d.add(rect(26, 64, 94, 44, 14, fill="#ffffff", opacity=0.04))

    stub(d)
    card(d)
    column(d)
    footer(d, items)
    return d.svg()


def logo(d, x, y, size):
    k = size / 48
    bubble = ("M6 4 H42 A5 5 0 0 1 47 9 V31 A5 5 0 0 1 42 36 H22 L12 45 V36 H6 "
              "A5 5 0 0 1 1 31 V9 A5 5 0 0 1 6 4 Z")
    inner = (path(bubble, fill=d.gradient((0, "#3bb3a4"), (1, TEAL_DARK)), stroke="#0b3a35",
                  stroke_width=1.2, stroke_opacity=0.5)
             + rect(9, 27, 10, 3, 1, fill="#2b2b2b") + rect(19, 27, 10, 3, 0, fill="#dd2a1b")
             + rect(29, 27, 10, 3, 1, fill="#ffce00")
             + text(24, 23, "DE", 17, "#ffffff", anchor="middle"))
    return group(inner, transform=f"translate({x} {y}) scale({k})")


def stub(d):
    x, y, w, h = STUB
    cx = x + w / 2
    d.add(rect(x + 1, y + 2, w, h, 10, fill="#061626", opacity=0.35))
    d.add(rect(x, y, w, h, 10, fill=d.gradient((0, "#faf5e8"), (1, PAPER_DARK)),
               stroke=PAPER_EDGE, stroke_width=1))
    top = d.clip(rect(x, y, w, 34, 10) + rect(x, y + 12, w, 22))
    d.add(rect(x, y, w, 34, 0, fill=d.gradient((0, "#35ad9f"), (1, TEAL_DARK)), clip_path=top))
    d.add(text(cx, y + 22, "BOARDING", 11, "#ffffff", anchor="middle", spacing=1.4))
    d.add(text(cx, y + 56, "FROM", 8, "#7d8a96", anchor="middle", spacing=1.2))
    d.add(text(cx, y + 88, "EN", 32, INK, anchor="middle"))
    d.add(text(cx, y + 103, "English", 10, "#5b6b7a", weight="normal", anchor="middle"))
    d.add(path(f"M {cx} {y + 112} V {y + 150}", stroke="#9aa7b3", stroke_width=1.2,
               stroke_dasharray="2 3", fill="none"))
    d.add(group(icon_shape("plane", TEAL), transform=f"translate({cx + 11} {y + 119}) rotate(90) "
                                                      "scale(0.92)"))
    d.add(text(cx, y + 168, "TO", 8, "#7d8a96", anchor="middle", spacing=1.2))
    d.add(text(cx, y + 200, "DE", 32, INK, anchor="middle"))
    d.add(text(cx, y + 215, "Deutsch", 10, "#5b6b7a", weight="normal", anchor="middle"))
    for i, colour in enumerate(("#2b2b2b", "#dd2a1b", "#ffce00")):
        d.add(rect(cx - 24, y + 228 + i * 6, 48, 6, 0, fill=colour))
    # Perforation with two notches.
    py = y + 262
    d.add(path(f"M {x + 9} {py} H {x + w - 9}", stroke="#a89a78", stroke_width=1.2,
               stroke_dasharray="3 3", fill="none"))
    d.add(circle(x, py, 7, fill=NAVY_DARK))
    d.add(circle(x + w, py, 7, fill=NAVY_DARK))
    for i, (label, value) in enumerate((("GATE", "A1"), ("SEAT", "12F"))):
        gx = x + 26 + i * 50
        d.add(text(gx, y + 282, label, 7.5, "#7d8a96", anchor="middle", spacing=1))
        d.add(text(gx, y + 300, value, 15, INK, anchor="middle"))
    bars = [2, 1, 1, 3, 1, 2, 1, 1, 2, 3, 1, 1, 2, 1, 3, 1, 2, 1, 1, 2, 1, 3, 1, 1, 2, 1, 2, 1]
    bxp = x + 14
    for i, bw in enumerate(bars):
        if i % 2 == 0:
            d.add(rect(bxp, y + 320, bw * 1.35, 54, 0, fill="#2a3947"))
        bxp += bw * 1.35 + 1.05
    d.add(text(cx, y + 388, "GUTE REISE", 8, "#7d8a96", anchor="middle", spacing=1.6))


def card(d):
    x, y, w, h = CARD
    d.add(rect(x + 1, y + 3, w, h, 16, fill="#061626", opacity=0.4))
    d.add(rect(x, y, w, h, 16, fill=d.gradient((0, "#fcf8ee"), (1, PAPER_DARK)),
               stroke=PAPER_EDGE, stroke_width=1))
    d.add(rect(x + 8, y + 1.2, w - 16, 1.2, 0.6, fill="#ffffff", opacity=0.8))
    # Mode area: a faint rule under the labels' row and a quiet bed for the controls.
    d.add(rect(180, 128, 308, 67, 8, fill="#ffffff", opacity=0.45, stroke="#e3d6b6",
               stroke_width=1))
    # Phrase list frame (the list paints its own green inside).
    lx, ly, lw, lh = LIST_FRAME
    d.add(rect(lx - 1, ly + 1, lw + 2, lh + 2, 6, fill="#5a4a2a", opacity=0.18))
    d.add(rect(lx, ly, lw, lh, 5, fill=LIST_GREEN, stroke="#28573e", stroke_width=1.5))
    # Pronunciation strip with its speech tail towards the Sound button.
    sx, sy, sw, sh = STRIP
    d.add(rect(sx, sy + 1.5, sw, sh, 11, fill="#8a6d2b", opacity=0.2))
    d.add(rect(sx, sy, sw, sh, 11, fill=d.gradient((0, "#fffaf0"), (1, "#fbe9bd")),
               stroke="#dfb352", stroke_width=1.5))
    d.add(path(f"M {sx + 0.8} {sy + 9} L {sx - 7} {sy + 4} L {sx + 0.8} {sy + 19} Z",
               fill="#fffaf0", stroke="#dfb352", stroke_width=1.5, stroke_linejoin="round"))
    d.add(rect(sx + 1.6, sy + 8, 2.5, 12, 0, fill="#fff9ec"))
    d.add(text(sx + sw - 10, sy + sh - 5, "SAY IT", 7, "#b08a3a", anchor="end", spacing=1.2))


def column(d):
    x, y, w, h = COLUMN
    d.add(rect(x + 1, y + 3, w, h, 14, fill="#061626", opacity=0.45))
    d.add(rect(x, y, w, h, 14, fill=d.gradient((0, "#25547f"), (1, "#1b3f62")),
               stroke="#2f5f8c", stroke_width=1))


def footer(d, items):
    # Dots between the three links, and a quiet signature on the right.
    for control_left, control_right in ((1042, 1044), (1044, 1043)):
        gap = (items[control_left][2] + items[control_right][0]) / 2
        d.add(circle(gap, 519, 1.6, fill=GOLD, opacity=0.7))
    d.add(rect(30, 536, 624, 1, 0.5, fill="#ffffff", opacity=0.06))
    d.add(text(612, 523, "\u00a9 Tolkara", 10, MUTED, weight="normal", anchor="middle",
               opacity=0.7))


# ----------------------------------------------------------------------------------------------
# Buttons. Each is drawn within the part of its bitmap that its control shows (vw × vh); the
# renderer lays it over the skin beneath the control.

def button(control, state, w, h, rect_px):
    vw = min(w, rect_px[2] - rect_px[0])
    vh = min(h, rect_px[3] - rect_px[1])
    d = Doc(w, h)
    if control in CATEGORIES:
        category_button(d, control, state, vw, vh)
    elif control == 1015:
        pill_button(d, state, vw, vh, "Search", "search")
    elif control == 1019:
        tab_button(d, state, vw, vh, "Help", "help", left=2, size=10.5)
    elif control == 1050:
        tab_button(d, state, vw, vh, "Practice", "cards")
    elif control in (1016, 1017):
        tab_button(d, state, vw, vh, "Favourite" if control == 1016 else "Relate",
                   "star" if control == 1016 else "link")
    elif control in (1041, 1042, 1043, 1044):
        caption = {1041: "ABOUT", 1042: "UPDATE VERSION", 1043: "REPORT BUG OR COMMENTS",
                   1044: "TECHNICAL SUPPORT"}[control]
        link_button(d, state, vw, vh, caption, "info" if control == 1041 else "arrow")
    elif control in (1037, 1038):
        action_button(d, state, vw, vh, "Search" if control == 1037 else "Add",
                      "search" if control == 1037 else "star", control == 1038)
    elif control == 1070:
        action_button(d, state, vw, vh, "Export", "export", False)
    elif control == 1039:
        sound_button(d, state, vw, vh)
    elif control == 1040:
        slow_button(d, state, vw, vh)
    elif control == 1060:
        microphone_button(d, state, vw, vh)
    elif control in (1000, 2) and h > 20:
        cancel_button(d, state, vw, vh)
    elif control in (1000, 2):
        window_button(d, state, w, h, "min" if control == 1000 else "close")
    else:
        raise KeyError(control)
    return d.svg()


def shade(colour, amount):
    """Mixes a colour towards white (amount > 0) or towards navy (amount < 0)."""
    r, g, b = (int(colour[i:i + 2], 16) for i in (1, 3, 5))
    if amount >= 0:
        t = (255, 255, 255)
    else:
        t, amount = (14, 30, 48), -amount
    mix = [round(c + (tc - c) * amount) for c, tc in zip((r, g, b), t)]
    return "#" + "".join(f"{max(1, c):02x}" for c in mix)


def category_button(d, control, state, vw, vh):
    caption, colour, icon = CATEGORIES[control]
    x, y, w, h = 1.5, 1.5, vw - 3, vh - 3.5
    off = 1 if state == "down" else 0
    d.add(rect(x + 0.5, y + 2, w, h, 9, fill="#06121f", opacity=0.45 if state != "down" else 0.2))
    if state == "normal":
        fill = d.gradient((0, "#fffcf4"), (1, "#eadfc3"))
        stroke, text_fill, disc, glyph = "#b9a57a", INK, colour, "#ffffff"
    elif state == "over":
        fill = d.gradient((0, "#fff6d8"), (1, GOLD_LIGHT))
        stroke, text_fill, disc, glyph = colour, INK, colour, "#ffffff"
    else:
        fill = d.gradient((0, shade(colour, -0.25)), (1, colour))
        stroke, text_fill, disc, glyph = shade(colour, -0.45), "#ffffff", "#ffffff", colour
    d.add(rect(x + off, y + off, w, h, 9, fill=fill, stroke=stroke, stroke_width=1.2))
    if state != "down":
        d.add(rect(x + 6, y + 1.3, w - 12, 1, 0.5, fill="#ffffff", opacity=0.9))
    else:
        d.add(rect(x + 1 + off, y + 1 + off, w - 2, 3, 1.5, fill="#06121f", opacity=0.18))
    cy = y + h / 2 + off
    d.add(rect(x + off, y + off + 6, 3.5, h - 12, 1.75, fill=colour if state != "down" else
               "#ffffff", opacity=0.9))
    d.add(circle(x + 18 + off, cy, 11, fill=disc))
    d.add(icon_at(icon, glyph, x + 18 + off - 7.5, cy - 7.5, 15))
    d.add(text(x + 36 + off, cy + 4.6, caption, 13, text_fill))
    if state != "normal":
        d.add(path(f"M {x + w - 9.5 + off} {cy - 4} L {x + w - 5.5 + off} {cy} "
                   f"L {x + w - 9.5 + off} {cy + 4}", fill="none",
                   stroke=colour if state == "over" else "#ffffff", stroke_width=2,
                   stroke_linecap="round", stroke_linejoin="round"))


def pill_button(d, state, vw, vh, caption, icon):
    off = 1 if state == "down" else 0
    x, y, w, h = 1.5, 1.5, vw - 3, vh - 3.5
    d.add(rect(x + 0.5, y + 2, w, h, h / 2, fill="#06121f", opacity=0.4))
    fills = {"normal": ("#3bb3a4", TEAL_DARK), "over": ("#4fc7b8", "#23897d"),
             "down": ("#1a655c", "#22806f")}[state]
    stroke = GOLD_LIGHT if state == "over" else "#12524a"
    d.add(rect(x + off, y + off, w, h, h / 2, fill=d.gradient((0, fills[0]), (1, fills[1])),
               stroke=stroke, stroke_width=1.2))
    if state != "down":
        d.add(rect(x + h / 2, y + 1.5, w - h, 1, 0.5, fill="#ffffff", opacity=0.5))
    size = 13
    d.add(icon_at(icon, "#ffffff", x + 9 + off, y + (h - size) / 2 + off, size))
    d.add(text(x + 26 + off, y + h / 2 + 4.6 + off, caption, 13, "#ffffff"))


def tab_button(d, state, vw, vh, caption, icon, left=5, size=11):
    colour = {"normal": CREAM, "over": GOLD_LIGHT, "down": NAVY}[state]
    width = text_width(caption, size)
    if state == "down":
        d.add(rect(0.5, 0.5, min(vw - 1, left + width + 17), vh - 1, (vh - 1) / 2,
                   fill=GOLD_LIGHT))
    d.add(icon_at(icon, colour if state != "normal" else GOLD, left, 1.5, 10))
    d.add(text(left + 13, 10.5, caption, size, colour))
    if state == "over":
        d.add(rect(left + 13, 11.6, width, 1, 0.5, fill=GOLD_LIGHT))


def link_button(d, state, vw, vh, caption, icon):
    colour = {"normal": MUTED, "over": GOLD_LIGHT, "down": NAVY}[state]
    if state == "down":
        size, spacing = (9.5, 0.9) if text_width(caption, 9.5, 0.9) <= vw - 20 else (9, 0.2)
        d.add(rect(0.5, 0.5, min(vw - 1, 22 + text_width(caption, size, spacing)), vh - 1,
                   (vh - 1) / 2, fill=GOLD_LIGHT))
    d.add(icon_at(icon, colour if state != "normal" else GOLD, 4, 1.5, 10))
    size, spacing = 9.5, 0.9
    if text_width(caption, size, spacing) > vw - 20:
        size, spacing = 9, 0.2
    width = text_width(caption, size, spacing)
    d.add(text(17, 10.2, caption, size, colour, spacing=spacing))
    if state == "over":
        d.add(rect(17, 11.4, min(width, vw - 19), 1, 0.5, fill=GOLD_LIGHT, opacity=0.8))


def action_button(d, state, vw, vh, caption, icon, warm):
    off = 1 if state == "down" else 0
    x, y, w, h = 1.5, 1.5, vw - 3, vh - 3.5
    base = CORAL if warm else TEAL
    top, bottom = {"normal": (shade(base, 0.15), shade(base, -0.15)),
                   "over": (shade(GOLD_LIGHT, 0.2), GOLD),
                   "down": (shade(base, -0.35), shade(base, -0.15))}[state]
    glyph = INK if state == "over" else "#ffffff"
    d.add(rect(x + 0.5, y + 2, w, h, 8, fill="#3a2a10", opacity=0.3))
    d.add(rect(x + off, y + off, w, h, 8, fill=d.gradient((0, top), (1, bottom)),
               stroke=shade(base, -0.45) if state != "over" else "#c98d1a", stroke_width=1.2))
    if state != "down":
        d.add(rect(x + 5, y + 1.4, w - 10, 1, 0.5, fill="#ffffff", opacity=0.55))
    d.add(icon_at(icon, glyph, x + w / 2 - 7 + off, y + 3 + off, 14))
    d.add(text(x + w / 2 + off, y + h - 4.5 + off, caption, 9, glyph, anchor="middle"))


def sound_button(d, state, vw, vh):
    off = 1 if state == "down" else 0
    cx, cy, r = vw / 2, vh / 2, min(vw, vh) / 2 - 1.5
    top, bottom = {"normal": ("#ffe6a3", GOLD), "over": ("#6fd3c6", TEAL),
                   "down": ("#d69a22", "#f2b134")}[state]
    glyph = INK if state != "over" else "#ffffff"
    d.add(circle(cx + 0.5, cy + 1.5, r, fill="#3a2a10", opacity=0.3))
    d.add(circle(cx + off, cy + off, r, fill=d.gradient((0, top), (1, bottom)),
                 stroke="#b07d16" if state != "over" else TEAL_DARK, stroke_width=1.2))
    d.add(icon_at("speaker", glyph, cx - 8 + off, cy - 8 + off, 16))


def slow_button(d, state, vw, vh):
    """The Sound button's companion below it: a snail on cream; its down look is also the look
    while slower speech is on."""
    off = 1 if state == "down" else 0
    cx, cy, r = vw / 2, vh / 2, min(vw, vh) / 2 - 1.5
    top, bottom = {"normal": ("#fffcf4", "#eadfc3"), "over": ("#6fd3c6", TEAL),
                   "down": ("#d69a22", "#f2b134")}[state]
    glyph = "#ffffff" if state == "over" else INK
    stroke = {"normal": "#b9a57a", "over": TEAL_DARK, "down": "#b07d16"}[state]
    d.add(circle(cx + 0.5, cy + 1.5, r, fill="#3a2a10", opacity=0.3 if state != "down" else 0.15))
    d.add(circle(cx + off, cy + off, r, fill=d.gradient((0, top), (1, bottom)), stroke=stroke,
                 stroke_width=1.2))
    x, y = cx - 9 + off, cy - 9.8 + off
    d.add(icon_at("snail", glyph, x, y, 18))
    # The shell's whorl, cut out of the shell in the face's colour.
    d.add(group(path("M10.6 12.4 A1.5 1.5 0 0 0 13.6 12.4 A3 3 0 0 0 7.6 12.4 A4.4 4.4 0 0 0 "
                     "15.6 14.4", fill="none", stroke=top, stroke_width=1.9,
                     stroke_linecap="round"),
                transform=f"translate({x} {y}) scale({18 / 24})"))


def microphone_button(d, state, vw, vh):
    """Above the Sound button: a microphone on cream; red while it records, grey and struck
    through on a machine without one."""
    off = 1 if state == "down" else 0
    cx, cy, r = vw / 2, vh / 2, min(vw, vh) / 2 - 1.5
    top, bottom = {"normal": ("#fffcf4", "#eadfc3"), "over": ("#6fd3c6", TEAL),
                   "down": ("#e0533f", "#b8321f"), "disabled": ("#e4e4e0", "#c9c9c4")}[state]
    glyph = {"normal": INK, "over": "#ffffff", "down": "#ffffff", "disabled": "#9a9a94"}[state]
    stroke = {"normal": "#b9a57a", "over": TEAL_DARK, "down": "#8e2416",
              "disabled": "#a5a59f"}[state]
    d.add(circle(cx + 0.5, cy + 1.5, r, fill="#3a2a10", opacity=0.3 if state != "down" else 0.15))
    d.add(circle(cx + off, cy + off, r, fill=d.gradient((0, top), (1, bottom)), stroke=stroke,
                 stroke_width=1.2))
    d.add(icon_at("microphone", glyph, cx - 8 + off, cy - 8.5 + off, 16))
    if state == "disabled":
        d.add(path(f"M{cx - 6} {cy + 6} L{cx + 6} {cy - 6}", fill="none", stroke="#7a7a74",
                   stroke_width=1.6, stroke_linecap="round"))


def cancel_button(d, state, vw, vh):
    off = 1 if state == "down" else 0
    x, y, w, h = 1.5, 1.5, vw - 3, vh - 3.5
    fills = {"normal": ("#3bb3a4", TEAL_DARK), "over": ("#fff0c2", GOLD),
             "down": ("#1a655c", "#22806f")}[state]
    colour = INK if state == "over" else "#ffffff"
    d.add(rect(x + 0.5, y + 2, w, h, h / 2, fill="#3a2a10", opacity=0.3))
    d.add(rect(x + off, y + off, w, h, h / 2, fill=d.gradient((0, fills[0]), (1, fills[1])),
               stroke="#12524a" if state != "over" else "#c98d1a", stroke_width=1.2))
    if state != "down":
        d.add(rect(x + h / 2, y + 1.5, w - h, 1, 0.5, fill="#ffffff", opacity=0.5))
    d.add(text(x + w / 2 + off, y + h / 2 + 5 + off, "Cancel", 14, colour, anchor="middle"))


def window_button(d, state, w, h, kind):
    off = 1 if state == "down" else 0
    size = min(w, h)
    cx = cy = size / 2 - 0.5
    r = size / 2 - 1.5
    if state == "normal":
        fill, stroke, glyph = "#2c5a86", "#6f93b8", CREAM
    elif state == "over":
        fill = CORAL if kind == "close" else GOLD
        stroke, glyph = "#ffffff", "#ffffff" if kind == "close" else INK
    else:
        fill = shade(CORAL if kind == "close" else GOLD, -0.3)
        stroke, glyph = "#ffffff", "#ffffff"
    d.add(circle(cx + off, cy + off, r, fill=fill, stroke=stroke, stroke_width=1))
    a = r * 0.45
    if kind == "min":
        d.add(path(f"M {cx - a + off} {cy + off} H {cx + a + off}", stroke=glyph,
                   stroke_width=1.8, stroke_linecap="round"))
    else:
        d.add(path(f"M {cx - a + off} {cy - a + off} L {cx + a + off} {cy + a + off} "
                   f"M {cx + a + off} {cy - a + off} L {cx - a + off} {cy + a + off}",
                   stroke=glyph, stroke_width=1.8, stroke_linecap="round"))


# ----------------------------------------------------------------------------------------------
# The about box (496 × 412): an air-mail envelope.

def about_skin(items):
    d = Doc(496, 412)
    d.add(rect(0, 0, 496, 412, fill="#000000"))
    outline = rect(3, 3, 490, 406, 18, shape_rendering="crispEdges")
    d.add(rect(3, 3, 490, 406, 18, fill="#f7f1e1", shape_rendering="crispEdges"))
    # Air-mail stripes along the edge.
    stripes = []
    for i in range(-30, 60):
        x0 = i * 24
        colour = "#c8283a" if i % 2 == 0 else "#23508a"
        stripes.append(path(f"M {x0} 0 L {x0 + 12} 0 L {x0 + 12 - 420} 420 L {x0 - 420} 420 Z",
                            fill=colour))
    d.add(group("".join(stripes), clip_path=d.clip(outline)))
    d.add(rect(15, 15, 466, 382, 10, fill=d.gradient((0, "#fdfaf2"), (1, "#f1e7cf")),
               stroke="#d8c9a3", stroke_width=1))
    # Header line: par avion.
    d.add(group(icon_shape("plane", "#23508a"), transform="translate(36 30) scale(0.8)"))
    d.add(text(62, 45, "PAR AVION \u00b7 BY AIR MAIL", 11, "#23508a", spacing=1.5))
    d.add(rect(36, 56, 300, 1.2, 0.6, fill="#23508a", opacity=0.35))
    # Stamp in the top-right corner with a postmark over its edge.
    stamp(d, 384, 28)
    for i in range(4):
        d.add(path(f"M 300 {74 + i * 7} q 10 -5 20 0 t 20 0 t 20 0 t 20 0 t 20 0 t 20 0",
                   fill="none", stroke="#6b7a8a", stroke_width=1.2, opacity=0.45))
    d.add(circle(360, 84, 22, fill="none", stroke="#6b7a8a", stroke_width=1.4, opacity=0.55))
    d.add(circle(360, 84, 17, fill="none", stroke="#6b7a8a", stroke_width=0.8, opacity=0.45))
    d.add(text(360, 88, "2026", 9, "#6b7a8a", anchor="middle", opacity=0.7))
    # Logo beside the product name.
    d.add(logo(d, 38, 112, 52))
    # Address lines beneath the three text lines.
    for control in (1045, 1046, 1047):
        left, top, right, bottom = items[control]
        d.add(path(f"M {left} {top + 21} H {min(right, 448)}", stroke="#b9ab88",
                   stroke_width=1, stroke_dasharray="1 3", stroke_linecap="round"))
    # Sign-off beside the Cancel button.
    left, top, right, bottom = items[2]
    d.add(text(40, top + 22, "Gute Reise!", 20, "#23508a", weight="normal", style="italic",
               family=SERIF))
    d.add(text(40, top + 38, "Have a good trip.", 11, "#6b7a8a", weight="normal",
               style="italic", family=SERIF))
    return d.svg()


def stamp(d, x, y):
    w, h = 78, 92
    holes = "".join(circle(x + i * 7 + 3.5, y, 2.6, fill="#f6efdd") +
                    circle(x + i * 7 + 3.5, y + h, 2.6, fill="#f6efdd") for i in range(12))
    holes += "".join(circle(x, y + j * 7 + 4, 2.6, fill="#f6efdd") +
                     circle(x + w, y + j * 7 + 4, 2.6, fill="#f6efdd") for j in range(13))
    d.add(rect(x + 1, y + 2, w, h, 0, fill="#5a4a2a", opacity=0.25))
    d.add(rect(x, y, w, h, 0, fill="#fffdf6"))
    d.add(holes)
    ix, iy, iw, ih = x + 7, y + 7, w - 14, h - 26
    d.add(rect(ix, iy, iw, ih, 0, fill=d.gradient((0, "#8fd0e8"), (1, "#e9f5f2"))))
    d.add(circle(ix + iw - 16, iy + 16, 8, fill=GOLD))
    d.add(path(f"M {ix} {iy + ih} L {ix + 18} {iy + 30} L {ix + 30} {iy + 44} L {ix + 44} "
               f"{iy + 24} L {ix + iw} {iy + 50} L {ix + iw} {iy + ih} Z",
               fill="#2f6f5e"))
    d.add(path(f"M {ix + 14} {iy + 34} L {ix + 18} {iy + 30} L {ix + 22} {iy + 35} Z "
               f"M {ix + 40} {iy + 28} L {ix + 44} {iy + 24} L {ix + 48} {iy + 29} Z",
               fill="#ffffff", opacity=0.9))
    d.add(text(x + w / 2, y + h - 7, "DEUTSCHLAND", 7, "#23508a", anchor="middle", spacing=0.3))


# ----------------------------------------------------------------------------------------------

def pattern(w, h):
    """A tileable paper tile: faint dots and small crosses that wrap across the edges."""
    d = Doc(w, h)
    d.add(rect(0, 0, w, h, fill="#f6efdc"))
    marks = []
    for (mx, my, kind) in ((10, 12, "dot"), (42, 30, "cross"), (20, 52, "dot"), (55, 68, "dot"),
                           (31, 4, "dot"), (4, 40, "cross"), (48, 52, "dot"), (62, 20, "dot")):
        for ox in (-w, 0, w):
            for oy in (-h, 0, h):
                x, y = mx + ox, my + oy
                if kind == "dot":
                    marks.append(circle(x, y, 1.3, fill="#d9c9a2", opacity=0.8))
                else:
                    marks.append(path(f"M {x - 3} {y} H {x + 3} M {x} {y - 3} V {y + 3}",
                                      stroke="#d3c197", stroke_width=1, opacity=0.8))
    d.add("".join(marks))
    return d.svg()


def icon(size):
    d = Doc(size, size)
    k = size / 256
    inner = rect(8, 8, 240, 240, 52, fill=d.gradient((0, "#24507c"), (1, NAVY_DARK)))
    inner += rect(8, 8, 240, 240, 52, fill="none", stroke="#0b1d2e", stroke_width=4)
    if size > 16:
        inner += group(logo(d, 0, 0, 48), transform="translate(28 40) scale(4.2)")
    else:
        # Too small for letters: the speech bubble with the flag's three bands.
        inner += path("M48 44 H208 A20 20 0 0 1 228 64 V164 A20 20 0 0 1 208 184 H116 L72 226 "
                      "V184 H48 A20 20 0 0 1 28 164 V64 A20 20 0 0 1 48 44 Z", fill="#3bb3a4")
        for i, colour in enumerate(("#2b2b2b", "#dd2a1b", "#ffce00")):
            inner += rect(60, 70 + i * 30, 136, 30, 0, fill=colour)
    if size >= 48:
        inner += group(icon_shape("plane", GOLD_LIGHT), transform="translate(172 14) scale(2.6)")
    d.add(group(inner, transform=f"scale({k})"))
    return d.svg()

#!/usr/bin/env python3
"""Draws the console's icons as SVG and renders them to the PNG files the program
loads (Qt here has no SVG support). Run from this folder after changing a drawing:
    python3 make_icons.py        (needs rsvg-convert)
"""
import os
import subprocess

BLUE, BLUE_DARK, BLUE_LIGHT = "#2f74d0", "#1c4c8c", "#8fc0f4"
ORANGE, ORANGE_DARK = "#f2a531", "#a8640a"
RED, RED_DARK = "#dc3f3f", "#9c2020"
GREEN, GREEN_DARK = "#3aa55a", "#22723a"
GREY, GREY_DARK, GREY_LIGHT = "#c9d2dd", "#4d5d70", "#eef2f7"
GOLD, GOLD_DARK = "#f5c242", "#a77b0c"
INK = "#26323f"


def svg(size, body, view=48):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n%s\n</svg>\n'
            % (size, size, view, view, body))


# ---------------------------------------------------------------- pieces

def globe(cx, cy, r):
    return f'''<circle cx="{cx}" cy="{cy}" r="{r}" fill="{BLUE}" stroke="{BLUE_DARK}" stroke-width="1.5"/>
<g fill="none" stroke="#ffffff" stroke-opacity="0.85" stroke-width="1.3">
<ellipse cx="{cx}" cy="{cy}" rx="{r*0.45:.2f}" ry="{r}"/>
<line x1="{cx}" y1="{cy-r}" x2="{cx}" y2="{cy+r}"/>
<line x1="{cx-r}" y1="{cy}" x2="{cx+r}" y2="{cy}"/>
<path d="M{cx-r*0.87:.2f},{cy-r*0.5:.2f} H{cx+r*0.87:.2f} M{cx-r*0.87:.2f},{cy+r*0.5:.2f} H{cx+r*0.87:.2f}"/>
</g>'''


def halo(cx, cy, r):
    return f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="#ffffff"/>'


def funnel(x, y, s):
    return f'''<path d="M{x-1.5},{y-1.5} H{x+s+1.5} L{x+s*0.62+1},{y+s*0.5} V{y+s+1.5} L{x+s*0.38-1},{y+s*0.8+1} V{y+s*0.5} Z" fill="#ffffff"/>
<path d="M{x},{y} H{x+s} L{x+s*0.62},{y+s*0.5} V{y+s} L{x+s*0.38},{y+s*0.8} V{y+s*0.5} Z" fill="{ORANGE}" stroke="{ORANGE_DARK}" stroke-width="1.3" stroke-linejoin="round"/>'''


def clock(cx, cy, r):
    return f'''{halo(cx, cy, r + 2)}
<circle cx="{cx}" cy="{cy}" r="{r}" fill="#ffffff" stroke="{INK}" stroke-width="1.8"/>
<path d="M{cx},{cy - r*0.62:.2f} V{cy} L{cx + r*0.5:.2f},{cy + r*0.3:.2f}" fill="none" stroke="{RED_DARK}" stroke-width="1.8" stroke-linecap="round" stroke-linejoin="round"/>
<circle cx="{cx}" cy="{cy}" r="1.2" fill="{INK}"/>'''


def gear(cx, cy, r, fill=GREY_DARK, with_halo=True):
    import math
    teeth, c = 8, 2 * math.pi * r
    dash = c / teeth / 2
    body = f'''<circle cx="{cx}" cy="{cy}" r="{r}" fill="none" stroke="{fill}" stroke-width="{r*0.55:.2f}" stroke-dasharray="{dash:.3f} {dash:.3f}"/>
<circle cx="{cx}" cy="{cy}" r="{r*0.78:.2f}" fill="{fill}"/>
<circle cx="{cx}" cy="{cy}" r="{r*0.32:.2f}" fill="#ffffff"/>'''
    return (halo(cx, cy, r * 1.35) + "\n" if with_halo else "") + body


def window(x, y, w, h, title=BLUE):
    return f'''<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="2.5" fill="{GREY_LIGHT}" stroke="{GREY_DARK}" stroke-width="1.5"/>
<path d="M{x},{y+7} V{y+2.5} A2.5,2.5 0 0 1 {x+2.5},{y} H{x+w-2.5} A2.5,2.5 0 0 1 {x+w},{y+2.5} V{y+7} Z" fill="{title}" stroke="{GREY_DARK}" stroke-width="1.5" stroke-linejoin="round"/>
<circle cx="{x+w-4}" cy="{y+3.6}" r="1.3" fill="#ffffff"/>
<g stroke="{GREY}" stroke-width="2" stroke-linecap="round"><line x1="{x+4}" y1="{y+12}" x2="{x+w-8}" y2="{y+12}"/><line x1="{x+4}" y1="{y+17}" x2="{x+w-12}" y2="{y+17}"/></g>'''


def no_sign(cx, cy, r):
    return f'''{halo(cx, cy, r + 2)}
<circle cx="{cx}" cy="{cy}" r="{r}" fill="#ffffff" stroke="{RED}" stroke-width="3"/>
<line x1="{cx - r*0.68:.2f}" y1="{cy + r*0.68:.2f}" x2="{cx + r*0.68:.2f}" y2="{cy - r*0.68:.2f}" stroke="{RED}" stroke-width="3"/>'''


def padlock(x, y, s, body=GOLD, dark=GOLD_DARK):
    # x, y: top-left of the shackle box; s: width of the body.
    return f'''<path d="M{x+s*0.22:.2f},{y+s*0.55:.2f} V{y+s*0.35:.2f} A{s*0.28:.2f},{s*0.28:.2f} 0 0 1 {x+s*0.78:.2f},{y+s*0.35:.2f} V{y+s*0.55:.2f}" fill="none" stroke="#ffffff" stroke-width="{s*0.26:.2f}"/>
<rect x="{x-1.5}" y="{y+s*0.5-1.5:.2f}" width="{s+3}" height="{s*0.75+3:.2f}" rx="2.5" fill="#ffffff"/>
<path d="M{x+s*0.22:.2f},{y+s*0.55:.2f} V{y+s*0.35:.2f} A{s*0.28:.2f},{s*0.28:.2f} 0 0 1 {x+s*0.78:.2f},{y+s*0.35:.2f} V{y+s*0.55:.2f}" fill="none" stroke="{GREY_DARK}" stroke-width="{s*0.13:.2f}"/>
<rect x="{x}" y="{y+s*0.5:.2f}" width="{s}" height="{s*0.75:.2f}" rx="2" fill="{body}" stroke="{dark}" stroke-width="1.3"/>
<circle cx="{x+s/2:.2f}" cy="{y+s*0.82:.2f}" r="{s*0.09:.2f}" fill="{dark}"/>'''


def person(cx, top, s, fill=BLUE, dark=BLUE_DARK):
    # A head and shoulders, s = height.
    hr = s * 0.22
    return f'''<circle cx="{cx}" cy="{top + hr:.2f}" r="{hr:.2f}" fill="{fill}" stroke="{dark}" stroke-width="1.3"/>
<path d="M{cx - s*0.42:.2f},{top + s:.2f} V{top + s*0.82:.2f} A{s*0.42:.2f},{s*0.34:.2f} 0 0 1 {cx + s*0.42:.2f},{top + s*0.82:.2f} V{top + s:.2f} Z" fill="{fill}" stroke="{dark}" stroke-width="1.3" stroke-linejoin="round"/>'''


def page(x, y, w, h, fold=8, fill="#ffffff"):
    return f'''<path d="M{x},{y} H{x+w-fold} L{x+w},{y+fold} V{y+h} H{x} Z" fill="{fill}" stroke="{GREY_DARK}" stroke-width="1.5" stroke-linejoin="round"/>
<path d="M{x+w-fold},{y} V{y+fold} H{x+w}" fill="{GREY}" stroke="{GREY_DARK}" stroke-width="1.5" stroke-linejoin="round"/>'''


def lines(x, y, w, n, gap=5, color=GREY):
    return "".join(f'<line x1="{x}" y1="{y+i*gap}" x2="{x+w - (6 if i % 2 else 0)}" y2="{y+i*gap}" stroke="{color}" stroke-width="2" stroke-linecap="round"/>' for i in range(n))


def envelope(x, y, w, h):
    return f'''<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="2" fill="#ffffff" stroke="{GREY_DARK}" stroke-width="1.5"/>
<path d="M{x+1},{y+1.5} L{x+w/2},{y+h*0.58:.2f} L{x+w-1},{y+1.5}" fill="{BLUE_LIGHT}" stroke="{GREY_DARK}" stroke-width="1.5" stroke-linejoin="round"/>
<path d="M{x+1},{y+h-1} L{x+w*0.38:.2f},{y+h*0.45:.2f} M{x+w-1},{y+h-1} L{x+w*0.62:.2f},{y+h*0.45:.2f}" stroke="{GREY_DARK}" stroke-width="1.2" fill="none"/>'''


# ---------------------------------------------------------------- icons (48 x 48)

ICONS = {}

ICONS["WebsiteFilter"] = globe(21, 21, 16) + funnel(28, 27, 16)
ICONS["WebsiteFilterSelected"] = (f'<rect x="1" y="1" width="46" height="46" rx="7" fill="{BLUE_LIGHT}" fill-opacity="0.45" stroke="{BLUE}" stroke-width="1.5"/>'
                                  + globe(21, 21, 15) + funnel(28, 27, 15))
ICONS["FileFilter"] = page(7, 4, 26, 34) + lines(12, 16, 15, 4) + funnel(28, 27, 16)
ICONS["EmailFilter"] = envelope(3, 8, 34, 24) + funnel(28, 27, 16)
ICONS["PortFilter"] = (f'''<rect x="4" y="6" width="32" height="30" rx="3" fill="{GREY_LIGHT}" stroke="{GREY_DARK}" stroke-width="1.5"/>
<path d="M10,30 V14 H15 V11 H25 V14 H30 V30 Z" fill="{INK}"/>
<g stroke="{ORANGE}" stroke-width="1.4"><line x1="13" y1="15" x2="13" y2="19"/><line x1="16.5" y1="15" x2="16.5" y2="19"/><line x1="20" y1="15" x2="20" y2="19"/><line x1="23.5" y1="15" x2="23.5" y2="19"/><line x1="27" y1="15" x2="27" y2="19"/></g>'''
                       + funnel(28, 27, 16))
ICONS["InternetScheduler"] = globe(21, 21, 16) + clock(35, 35, 10)
ICONS["InternetSettings"] = globe(21, 21, 16) + gear(35, 35, 8)
ICONS["AppBlocker"] = window(3, 5, 36, 30) + no_sign(35, 35, 9)
ICONS["WindowBlocker"] = (window(3, 5, 36, 30, title=GREY_DARK)
                          + f'<g stroke="{RED}" stroke-width="3.2" stroke-linecap="round"><line x1="28" y1="28" x2="42" y2="42"/><line x1="42" y1="28" x2="28" y2="42"/></g>')
ICONS["AppScheduler"] = window(3, 5, 36, 30) + clock(35, 35, 10)
ICONS["AppSettings"] = window(3, 5, 36, 30) + gear(35, 35, 8)
ICONS["DeviceLock"] = (f'''<path d="M10,5 H24 V13 H10 Z" fill="{GREY}" stroke="{GREY_DARK}" stroke-width="1.5"/>
<rect x="13" y="7.5" width="2.5" height="2.5" fill="{GREY_DARK}"/><rect x="18.5" y="7.5" width="2.5" height="2.5" fill="{GREY_DARK}"/>
<rect x="6" y="13" width="22" height="28" rx="3" fill="{BLUE}" stroke="{BLUE_DARK}" stroke-width="1.5"/>
<rect x="11" y="18" width="12" height="4" rx="1" fill="{BLUE_LIGHT}"/>'''
                       + padlock(27, 21, 16))
ICONS["Report"] = (page(7, 3, 30, 40)
                   + f'''<rect x="12" y="28" width="5" height="9" fill="{BLUE}"/><rect x="19" y="20" width="5" height="17" fill="{GREEN}"/><rect x="26" y="24" width="5" height="13" fill="{ORANGE}"/>
<line x1="11" y1="38" x2="33" y2="38" stroke="{GREY_DARK}" stroke-width="1.5"/>''' + lines(12, 12, 14, 2, gap=4))
ICONS["GenOptions"] = gear(21, 21, 12, fill=GREY_DARK, with_halo=False) + gear(36, 36, 7.5, fill=BLUE)
ICONS["User"] = person(24, 5, 38)
ICONS["SingleUserMode"] = (f'<rect x="4" y="5" width="40" height="28" rx="3" fill="{GREY_LIGHT}" stroke="{GREY_DARK}" stroke-width="1.5"/>'
                           f'<path d="M18,33 L16,41 H32 L30,33" fill="{GREY}" stroke="{GREY_DARK}" stroke-width="1.5" stroke-linejoin="round"/>'
                           + person(24, 9, 22))
ICONS["AllUserMode"] = (person(12, 10, 24, fill=BLUE_LIGHT, dark=BLUE) + person(36, 10, 24, fill=BLUE_LIGHT, dark=BLUE)
                        + '<rect x="10" y="20" width="28" height="26" fill="#ffffff" opacity="0"/>'
                        + person(24, 6, 36))
ICONS["ManageUsers"] = (person(15, 8, 28, fill=BLUE_LIGHT, dark=BLUE) + person(28, 6, 32) + gear(37, 37, 7))
ICONS["CopySettings"] = (page(4, 4, 22, 28, fold=6, fill=GREY_LIGHT) + lines(8, 14, 11, 3, gap=4)
                         + page(20, 16, 22, 28, fold=6) + lines(24, 26, 11, 3, gap=4)
                         + f'<path d="M10,36 Q10,42 17,42" fill="none" stroke="{GREEN}" stroke-width="2.5" stroke-linecap="round"/>'
                         + f'<path d="M15,38.5 L18.5,42 L15,45.5" fill="none" stroke="{GREEN}" stroke-width="2.5" stroke-linecap="round" stroke-linejoin="round"/>')

# The pointer of clickable labels and pictures (32 x 32, fingertip at 13, 1).
HAND = f'''<path d="M11,3 A2,2 0 0 1 15,3 V11 A2,2 0 0 1 19,11 V12 A2,2 0 0 1 23,12 V13.5 A2,2 0 0 1 27,13.5 V21
C27,26 24.5,30 20.5,30 H15.5 C13.5,30 12.3,29 11.2,27.4 L5.2,19.6 A2,2 0 0 1 8.6,17.4 L11,20 Z"
fill="#ffffff" stroke="#000000" stroke-width="1.3" stroke-linejoin="round"/>
<path d="M15,11 V17 M19,12 V17 M23,13.5 V17" stroke="#000000" stroke-width="1" fill="none"/>'''

# The login picture: a padlock with a key (64 x 64 from a 48 drawing).
LOGIN = (padlock(6, 4, 26)
         + f'''<circle cx="33" cy="32" r="7" fill="{ORANGE}" stroke="{ORANGE_DARK}" stroke-width="1.5"/>
<circle cx="33" cy="32" r="2.5" fill="#ffffff" stroke="{ORANGE_DARK}" stroke-width="1.2"/>
<path d="M38,36 L45,43 M41.5,39.5 L39,42 M44,42 L42,44" stroke="{ORANGE_DARK}" stroke-width="2.6" stroke-linecap="round" fill="none"/>''')

# The product logo: a shield with a globe (64 x 64 from a 48 drawing).
LOGO = (f'''<path d="M24,3 L42,9 V22 C42,33 34,41 24,45 C14,41 6,33 6,22 V9 Z" fill="{BLUE_DARK}" stroke="{BLUE_DARK}" stroke-width="1.5" stroke-linejoin="round"/>
<path d="M24,6.5 L39,11.5 V22 C39,31 32.5,38 24,41.5 C15.5,38 9,31 9,22 V11.5 Z" fill="{BLUE}"/>'''
        + globe(24, 23, 10).replace(BLUE, BLUE_LIGHT).replace(f'stroke="{BLUE_DARK}"', 'stroke="#ffffff"')
        + f'<path d="M17,33 L24,37 L31,33" fill="none" stroke="{GOLD}" stroke-width="2.4" stroke-linecap="round" stroke-linejoin="round"/>')


def render(name, body, size, view=48):
    svg_path = os.path.join("svg", name + ".svg")
    png_path = os.path.join("icons", name + ".png")
    with open(svg_path, "w") as f:
        f.write(svg(size, body, view))
    subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o", png_path, svg_path], check=True)


def main():
    os.chdir(os.path.dirname(os.path.abspath(__file__)))
    os.makedirs("svg", exist_ok=True)
    os.makedirs("icons", exist_ok=True)
    for name, body in ICONS.items():
        render(name, body, 48)
    render("Hand", HAND, 32, view=32)
    render("Login", LOGIN, 64)
    render("Logo", LOGO, 64)


if __name__ == "__main__":
    main()

#!/usr/bin/python3
"""artgen.py: draws every picture the client carries (tiles, buttons, dice,
faces, captions, compass, video tools, panel skins and the windows' design
pictures), writes them as GIF (the panel skins and table backgrounds as JPEG)
and writes the resource script that puts them into mjclient.exe.

Deterministic: no clock, fixed seeds, fonts from Debian packages only
(fonts-noto-cjk, fonts-wqy-zenhei). Usage:

    artgen.py OUT_DIR [--sheet contact_sheet.png]
"""
import argparse
import math
import os
import random
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SERIF_BOLD = "/usr/share/fonts/opentype/noto/NotoSerifCJK-Bold.ttc"
SANS_BOLD = "/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc"
ZENHEI = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"
# Face indices inside the collections: 2 = simplified, 3 = traditional shapes.
SERIF_TC = 3
SANS_SC = 2

_font_cache = {}


def font(path, size, index=0):
    key = (path, size, index)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(path, size, index=index)
    return _font_cache[key]


def serif(size):
    return font(SERIF_BOLD, size, SERIF_TC)


def sans(size):
    return font(SANS_BOLD, size, SANS_SC)


# ---------------------------------------------------------------- helpers

IVORY = (248, 243, 226, 255)
IVORY_SHADE = (222, 212, 186, 255)
EDGE = (120, 110, 90, 255)
BACK_GREEN = (34, 128, 84, 255)
BACK_GREEN_DARK = (20, 88, 58, 255)
BACK_GREEN_LIGHT = (70, 170, 118, 255)
INK = (22, 30, 60, 255)
RED = (200, 30, 30, 255)
GREEN = (20, 130, 60, 255)
BLUE = (30, 70, 170, 255)
GOLD = (236, 190, 60, 255)


def rgba(w, h, fill=(0, 0, 0, 0)):
    return Image.new("RGBA", (w, h), fill)


def text_centered(draw, box, text, fnt, fill, stroke=0, stroke_fill=None):
    x0, y0, x1, y1 = box
    l, t, r, b = draw.textbbox((0, 0), text, font=fnt, stroke_width=stroke)
    x = (x0 + x1 - (r - l)) / 2 - l
    y = (y0 + y1 - (b - t)) / 2 - t
    draw.text((x, y), text, font=fnt, fill=fill, stroke_width=stroke, stroke_fill=stroke_fill)


def fit_font(draw, text, maker, max_w, max_h, start):
    size = start
    while size > 6:
        f = maker(size)
        l, t, r, b = draw.textbbox((0, 0), text, font=f)
        if r - l <= max_w and b - t <= max_h:
            return f
        size -= 1
    return maker(6)


def downsample(img, w, h):
    return img.resize((w, h), Image.LANCZOS)


def vgradient(w, h, top, bottom):
    img = rgba(w, h)
    px = img.load()
    for y in range(h):
        k = y / max(1, h - 1)
        c = tuple(int(top[i] + (bottom[i] - top[i]) * k) for i in range(3)) + (255,)
        for x in range(w):
            px[x, y] = c
    return img


def rounded_mask(w, h, r):
    m = Image.new("L", (w, h), 0)
    ImageDraw.Draw(m).rounded_rectangle((0, 0, w - 1, h - 1), r, fill=255)
    return m


# ---------------------------------------------------------------- tile faces

FACE_W, FACE_H = 300, 400  # portrait master of a tile face, drawn large then reduced
NUMERALS = "一二三四五六七八九"
HONOURS = "東南西北中發白"


def face_blank():
    img = rgba(FACE_W, FACE_H)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, FACE_W - 1, FACE_H - 1), 34, fill=IVORY, outline=EDGE, width=8)
    d.rounded_rectangle((14, 14, FACE_W - 15, FACE_H - 15), 26, outline=IVORY_SHADE, width=4)
    return img, d


def draw_wan(rank):
    img, d = face_blank()
    text_centered(d, (20, 22, FACE_W - 20, 190), NUMERALS[rank - 1], serif(150), INK)
    text_centered(d, (20, 180, FACE_W - 20, FACE_H - 20), "萬", serif(176), RED)
    return img


def bamboo_stick(d, cx, cy, w, h, colour):
    x0, y0, x1, y1 = cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2
    d.rounded_rectangle((x0, y0, x1, y1), w * 0.45, fill=colour, outline=(10, 60, 30, 255), width=4)
    # three nodes and a highlight make a stick read as bamboo, not a bar
    for k in (0.25, 0.5, 0.75):
        y = y0 + (y1 - y0) * k
        d.line((x0 + 3, y, x1 - 3, y), fill=(10, 60, 30, 255), width=5)
    d.line((cx - w * 0.18, y0 + 10, cx - w * 0.18, y1 - 10), fill=(170, 230, 180, 255), width=4)


def draw_tiao(rank):
    img, d = face_blank()
    g, r, b = (40, 150, 70, 255), (200, 40, 40, 255), (40, 80, 170, 255)
    W, H = FACE_W, FACE_H
    if rank == 1:
        # the single stick is a large ornamented bamboo with a red heart
        bamboo_stick(d, W / 2, H / 2, 90, 300, g)
        d.ellipse((W / 2 - 34, H / 2 - 34, W / 2 + 34, H / 2 + 34), fill=r, outline=(90, 10, 10, 255), width=4)
        return img
    sw, sh = 44, 120
    cols3 = [W / 2 - 78, W / 2, W / 2 + 78]
    cols2 = [W / 2 - 50, W / 2 + 50]
    rows2 = [H / 2 - 80, H / 2 + 80]
    rows3 = [H / 2 - 120, H / 2, H / 2 + 120]
    sticks = []
    if rank == 2:
        sticks = [(W / 2, rows2[0], g), (W / 2, rows2[1], g)]
    elif rank == 3:
        sticks = [(W / 2, rows2[0], g), (cols2[0], rows2[1], g), (cols2[1], rows2[1], g)]
    elif rank == 4:
        sticks = [(x, y, g) for y in rows2 for x in cols2]
    elif rank == 5:
        sticks = [(x, y, g) for y in rows2 for x in (W / 2 - 90, W / 2 + 90)] + [(W / 2, H / 2, r)]
    elif rank == 6:
        sticks = [(x, y, g) for y in rows2 for x in cols3]
    elif rank == 7:
        sticks = [(W / 2, rows3[0], r)] + [(x, y, g) for y in rows3[1:] for x in cols3]
    elif rank == 8:
        cols4 = [W / 2 - 96, W / 2 - 32, W / 2 + 32, W / 2 + 96]
        sticks = [(x, y, g if i % 2 == 0 else b) for y in rows2 for i, x in enumerate(cols4)]
    elif rank == 9:
        sticks = [(x, y, r if i == 1 else g) for y in rows3 for i, x in enumerate(cols3)]
    h = sh if rank < 7 else 100
    w = sw if rank != 8 else 38
    for x, y, c in sticks:
        bamboo_stick(d, x, y, w, h, c)
    return img


def circle_pip(d, cx, cy, rad, colour):
    d.ellipse((cx - rad, cy - rad, cx + rad, cy + rad), fill=(250, 250, 250, 255), outline=colour, width=max(4, int(rad * 0.28)))
    ir = rad * 0.45
    d.ellipse((cx - ir, cy - ir, cx + ir, cy + ir), fill=colour)
    d.ellipse((cx - ir * 0.4, cy - ir * 0.4, cx + ir * 0.4, cy + ir * 0.4), fill=(250, 250, 250, 255))


def draw_tong(rank):
    img, d = face_blank()
    W, H = FACE_W, FACE_H
    r, g, b = RED, GREEN, BLUE
    if rank == 1:
        cx, cy = W / 2, H / 2
        for rad, col in ((120, g), (96, b), (70, r), (40, g), (18, r)):
            d.ellipse((cx - rad, cy - rad, cx + rad, cy + rad), fill=(250, 250, 250, 255), outline=col, width=14)
        return img
    pips = []
    rad = 46
    if rank == 2:
        pips = [(W / 2, H / 2 - 85, g), (W / 2, H / 2 + 85, b)]
        rad = 62
    elif rank == 3:
        pips = [(W / 2 - 80, H / 2 - 110, b), (W / 2, H / 2, r), (W / 2 + 80, H / 2 + 110, g)]
        rad = 52
    elif rank == 4:
        pips = [(x, y, c) for (y, c) in ((H / 2 - 80, b), (H / 2 + 80, g)) for x in (W / 2 - 70, W / 2 + 70)]
        rad = 54
    elif rank == 5:
        pips = [(x, y, c) for (y, c) in ((H / 2 - 110, b), (H / 2 + 110, g)) for x in (W / 2 - 80, W / 2 + 80)]
        pips.append((W / 2, H / 2, r))
        rad = 48
    elif rank == 6:
        pips = [(x, H / 2 - 120, g) for x in (W / 2 - 70, W / 2 + 70)]
        pips += [(x, y, r) for y in (H / 2 + 10, H / 2 + 120) for x in (W / 2 - 70, W / 2 + 70)]
        rad = 46
    elif rank == 7:
        pips = [(W / 2 - 85 + 85 * i, H / 2 - 135 + 40 * i, g) for i in range(3)]
        pips += [(x, y, r) for y in (H / 2 + 40, H / 2 + 135) for x in (W / 2 - 60, W / 2 + 60)]
        rad = 38
    elif rank == 8:
        pips = [(x, y, b) for y in (H / 2 - 135, H / 2 - 45, H / 2 + 45, H / 2 + 135) for x in (W / 2 - 62, W / 2 + 62)]
        rad = 40
    elif rank == 9:
        pips = [(x, y, c) for (y, c) in ((H / 2 - 115, b), (H / 2, r), (H / 2 + 115, g)) for x in (W / 2 - 85, W / 2, W / 2 + 85)]
        rad = 40
    for x, y, c in pips:
        circle_pip(d, x, y, rad, c)
    return img


def draw_honour(rank):
    img, d = face_blank()
    if rank == 7:  # 白: an empty frame, as the white dragon is drawn
        d.rectangle((60, 80, FACE_W - 60, FACE_H - 80), outline=BLUE, width=14)
        d.rectangle((86, 106, FACE_W - 86, FACE_H - 106), outline=BLUE, width=6)
        return img
    colour = {5: RED, 6: GREEN}.get(rank, INK)
    text_centered(d, (10, 20, FACE_W - 10, FACE_H - 20), HONOURS[rank - 1], serif(236), colour)
    return img


def face_master(suit, rank):
    """suit index 0 honours, 1 条, 2 萬, 3 筒."""
    return [draw_honour, draw_tiao, draw_wan, draw_tong][suit](rank)


# The own hand's upright faces also serve as the claim-choice pictures, whose
# rows overlap: each row hides the top fifth of the row below. Everything that
# tells one upright face from another stays below that band (with room for
# the reduction filter's reach), so a covered tile still reads right.
UPRIGHT_CLEAR_TOP = 118


def upright_master(suit, rank):
    if suit == 2:
        img, d = face_blank()
        text_centered(d, (20, UPRIGHT_CLEAR_TOP, FACE_W - 20, 236), NUMERALS[rank - 1], serif(126), INK)
        text_centered(d, (20, 240, FACE_W - 20, FACE_H - 24), "萬", serif(136), RED)
        return img
    full = face_master(suit, rank)
    inner = full.crop((18, 18, FACE_W - 18, FACE_H - 18))
    room = FACE_H - 22 - UPRIGHT_CLEAR_TOP
    k = room / inner.height
    inner = inner.resize((round(inner.width * k), room), Image.LANCZOS)
    img, _ = face_blank()
    img.alpha_composite(inner, ((FACE_W - inner.width) // 2, UPRIGHT_CLEAR_TOP))
    return img


# ---------------------------------------------------------------- tile sets

# Picture sizes per set (width, height). Sets 0-3 are tiles lying on the table
# as seen for each view; set 4 is the own standing hand. Each picture is
# stretched by its control, so these sizes only fix the proportions and detail.
LYING_FACE = {0: (40, 48), 1: (48, 30), 2: (32, 32), 3: (48, 30)}
THICK = 6  # near side of a lying tile, seen at its bottom edge
STAND_FACE = (48, 66)
STAND_BAND = 12
STANDING_BACK = {0: (36, 50), 1: (35, 66), 2: (36, 50), 3: (35, 66), 4: (48, 78)}
ROTATION = {0: 0, 1: -90, 2: 180, 3: 90}


def thickness_band(w, h, top_colour, bottom_colour):
    band = rgba(w, h)
    d = ImageDraw.Draw(band)
    d.rounded_rectangle((0, -8, w - 1, h - 1), 5, fill=bottom_colour, outline=EDGE, width=1)
    d.rectangle((1, 0, w - 2, max(0, h // 2 - 1)), fill=top_colour)
    return band


def lying_tile(face, view):
    fw, fh = LYING_FACE[view]
    face = face.rotate(ROTATION[view], expand=True) if ROTATION[view] else face
    small = downsample(face, fw, fh)
    out = rgba(fw, fh + THICK)
    out.alpha_composite(thickness_band(fw, THICK + 4, IVORY_SHADE, BACK_GREEN), (0, fh - 4))
    out.alpha_composite(small, (0, 0))
    return out


def standing_tile(face):
    w, fh = STAND_FACE
    out = rgba(w, fh + STAND_BAND)
    d = ImageDraw.Draw(out)
    d.rounded_rectangle((0, fh - 10, w - 1, fh + STAND_BAND - 1), 6, fill=BACK_GREEN, outline=BACK_GREEN_DARK, width=1)
    d.rectangle((1, fh - 10, w - 2, fh + 1), fill=IVORY_SHADE)
    out.alpha_composite(downsample(face, w, fh), (0, 0))
    return out


def green_surface(w, h, radius):
    img = vgradient(w, h, BACK_GREEN_LIGHT, BACK_GREEN_DARK)
    img.putalpha(rounded_mask(w, h, radius))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w - 1, h - 1), radius, outline=(12, 60, 38, 255), width=1)
    return img


def lying_back(view):
    """A face-down tile on the table: green top surface, ivory near side."""
    # the own set keeps the standing size so the set stays one shape
    fw, fh = LYING_FACE.get(view, (STAND_FACE[0], STAND_FACE[1] + STAND_BAND - THICK))
    out = rgba(fw, fh + THICK)
    out.alpha_composite(thickness_band(fw, THICK + 4, BACK_GREEN_DARK, IVORY_SHADE), (0, fh - 4))
    top = green_surface(fw, fh, 4)
    d = ImageDraw.Draw(top)
    # a faint diamond tells a back from a blank face at a glance
    cx, cy = fw / 2, fh / 2
    r = min(fw, fh) * 0.22
    d.polygon([(cx, cy - r), (cx + r, cy), (cx, cy + r), (cx - r, cy)], outline=(120, 200, 150, 255))
    out.alpha_composite(top, (0, 0))
    return out


def standing_back(view):
    w, h = STANDING_BACK[view]
    out = rgba(w, h)
    d = ImageDraw.Draw(out)
    if view in (1, 3):
        # A standing tile seen from the side: its ivory face layer toward its
        # owner, the green back toward the table's middle, the top on top.
        ivory_left = view == 1
        split = w * 2 // 5
        d.rounded_rectangle((0, 0, w - 1, h - 1), 5, fill=BACK_GREEN, outline=BACK_GREEN_DARK)
        if ivory_left:
            d.rounded_rectangle((0, 0, split, h - 1), 5, fill=IVORY)
        else:
            d.rounded_rectangle((w - 1 - split, 0, w - 1, h - 1), 5, fill=IVORY)
        d.rectangle((1, 1, w - 2, 8), fill=IVORY_SHADE)
        d.line((0, 9, w - 1, 9), fill=EDGE)
        d.rounded_rectangle((0, 0, w - 1, h - 1), 5, outline=EDGE)
        return out
    # Seen from the front: the green back with the ivory top edge above it.
    body = green_surface(w, h, 5)
    out.alpha_composite(body, (0, 0))
    d = ImageDraw.Draw(out)
    band = max(6, h // 7)
    d.rounded_rectangle((0, 0, w - 1, band), 4, fill=IVORY, outline=EDGE)
    d.line((3, band + 3, w - 4, band + 3), fill=BACK_GREEN_LIGHT)
    return out


def tile_pictures():
    """Returns {id: image} for 201..380."""
    masters, upright = {}, {}
    for suit in range(4):
        for rank in range(1, 10 if suit else 8):
            masters[(suit, rank)] = face_master(suit, rank)
            upright[(suit, rank)] = upright_master(suit, rank)
    pics = {}
    for s in range(5):
        for suit in range(4):
            for rank in range(1, 10):
                picture = s * 36 + suit * 9 + rank - 1
                rid = 201 + picture
                if suit == 0 and rank == 8:
                    pics[rid] = standing_back(s)
                elif suit == 0 and rank == 9:
                    pics[rid] = lying_back(s)
                elif s == 4:
                    pics[rid] = standing_tile(upright[(suit, rank)])
                else:
                    pics[rid] = lying_tile(masters[(suit, rank)], s)
    return pics


# ---------------------------------------------------------------- buttons

def button(w, h, text, lit, palette="wood", font_max=None):
    top, bottom, fg, edge = {
        "wood": ((150, 70, 30), (90, 35, 10), (255, 230, 160, 255), (60, 20, 5, 255)),
        "wood_lit": ((210, 110, 40), (150, 60, 15), (255, 255, 220, 255), (90, 30, 5, 255)),
        "blue": ((70, 120, 200), (30, 60, 130), (255, 255, 255, 255), (15, 30, 80, 255)),
        "blue_lit": ((110, 170, 240), (50, 100, 190), (255, 255, 210, 255), (15, 30, 80, 255)),
        "grey": ((150, 150, 150), (100, 100, 100), (220, 220, 220, 255), (60, 60, 60, 255)),
        "green": ((60, 160, 90), (25, 100, 50), (255, 255, 255, 255), (10, 50, 20, 255)),
        "red": ((220, 70, 60), (150, 25, 20), (255, 240, 200, 255), (80, 10, 5, 255)),
    }[palette + ("_lit" if lit and palette in ("wood", "blue") else "")]
    S = 4
    img = vgradient(w * S, h * S, top, bottom)
    img.putalpha(rounded_mask(w * S, h * S, 6 * S))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 6 * S, outline=edge, width=S + 1)
    d.line((8 * S, 3 * S, w * S - 8 * S, 3 * S), fill=(255, 255, 255, 90), width=S)
    f = fit_font(d, text, sans, (w - 8) * S, (h - 8) * S, font_max * S if font_max else h * S)
    text_centered(d, (0, 0, w * S, h * S), text, f, fg, stroke=S if lit else 0, stroke_fill=(120, 40, 0, 255))
    return downsample(img, w, h)


TOOLBAR = ["发送", "聊天", "开始", "继续", "设置", "隐藏", "战绩", "历史", "规则", "退出"]


def toolbar_pictures():
    pics = {}
    for k in range(20):
        text = TOOLBAR[k // 2]
        lit = k % 2 == 1
        w = 50 if k < 2 else 60
        pics[101 + k] = button(w, 30, text, lit)
        if k >= 2:
            pics[379 + k] = button(47, 23, text, lit)  # the small-screen set
    return pics


def dialog_pictures():
    return {
        130: button(70, 29, "确定", False, "blue"),
        131: button(70, 29, "确定", True, "blue"),
        132: button(70, 29, "取消", False, "blue"),
        133: button(70, 29, "取消", True, "blue"),
        134: button(64, 26, "关闭", False, "red"),
        135: button(64, 26, "开启", False, "green"),
        136: button(64, 26, "普通话", False, "blue"),
        137: button(64, 26, "方言", False, "wood"),
    }


CLAIMS = ["吃", "碰", "杠", "胡", "过", ""]


def claim_button(text, state):
    """state 0 idle (not offered), 1 offered, 2 under the pointer."""
    w, h, S = 50, 71, 4
    colours = [((140, 140, 140), (90, 90, 90)), ((230, 150, 40), (170, 70, 10)), ((255, 210, 80), (230, 120, 20))]
    img = vgradient(w * S, h * S, *colours[state])
    img.putalpha(rounded_mask(w * S, h * S, 10 * S))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 10 * S, outline=(60, 30, 0, 255), width=2 * S)
    d.rounded_rectangle((4 * S, 4 * S, (w - 4) * S, (h - 4) * S), 7 * S, outline=(255, 255, 255, 110), width=S)
    if text:
        fg = (230, 230, 230, 255) if state == 0 else (255, 255, 255, 255)
        text_centered(d, (0, 0, w * S, h * S), text, serif(38 * S), fg, stroke=2 * S, stroke_fill=(90, 30, 0, 255))
    else:
        d.line((14 * S, h * S / 2, (w - 14) * S, h * S / 2), fill=(255, 255, 255, 200), width=3 * S)
    return downsample(img, w, h)


def claim_pictures():
    return {141 + 3 * b + s: claim_button(CLAIMS[b], s) for b in range(6) for s in range(3)}


CAPTIONS = ["吃", "碰", "杠", "暗杠", "红中杠", "宝杠", "开杠", "胡", "痞子杠"]


# The caption sits inside a claim bubble a fifth of the bubble's width from its
# left; the right seat's bubble starts so near the window's right edge that
# only about 50 pixels of the caption stay on screen at the small scale. The
# caption picture is therefore narrow, a long caption in two lines.
CAPTION_W, CAPTION_H = 48, 52


def caption(text):
    w, h, S = CAPTION_W, CAPTION_H, 4
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    lines = [text] if len(text) <= 2 else [text[:2], text[2:]]
    row = h // len(lines)
    for i, line in enumerate(lines):
        f = fit_font(d, "中" * len(line) if len(lines) > 1 else line, serif, (w - 4) * S, (row - 2) * S, 44 * S)
        box = (0, i * row * S, w * S, (i + 1) * row * S)
        text_centered(d, box, line, f, (255, 214, 40, 255), stroke=3 * S, stroke_fill=(150, 10, 10, 255))
    return downsample(img, w, h)


def caption_pictures():
    return {182 + i: caption(t) for i, t in enumerate(CAPTIONS)}


# ---------------------------------------------------------------- dice

PIPS = {
    1: [(0.5, 0.5)],
    2: [(0.28, 0.28), (0.72, 0.72)],
    3: [(0.25, 0.25), (0.5, 0.5), (0.75, 0.75)],
    4: [(0.28, 0.28), (0.72, 0.28), (0.28, 0.72), (0.72, 0.72)],
    5: [(0.25, 0.25), (0.75, 0.25), (0.5, 0.5), (0.25, 0.75), (0.75, 0.75)],
    6: [(0.3, 0.22), (0.7, 0.22), (0.3, 0.5), (0.7, 0.5), (0.3, 0.78), (0.7, 0.78)],
}


def die_face(n, size):
    S = 8
    W = size * S
    img = rgba(W, W)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((S, S, W - S - 1, W - S - 1), W // 6, fill=(252, 252, 248, 255), outline=(90, 90, 90, 255), width=S)
    # one and four are red, as on Chinese dice
    colour = RED if n in (1, 4) else (20, 20, 20, 255)
    r = W * (0.13 if n == 1 else 0.085)
    for fx, fy in PIPS[n]:
        cx, cy = fx * W, fy * W
        d.ellipse((cx - r, cy - r, cx + r, cy + r), fill=colour)
    return downsample(img, size, size)


def tumbling_die(k, size):
    """A die caught mid-roll: turned, slightly blurred, showing a random face."""
    rnd = random.Random(1000 + k)
    face = rgba(size * 2, size * 2)
    inner = int(size * 1.4)  # room for the corners once turned
    face.alpha_composite(die_face(rnd.randint(1, 6), inner), ((size * 2 - inner) // 2,) * 2)
    face = face.rotate(rnd.uniform(15, 75), resample=Image.BICUBIC, expand=False)
    face = face.filter(ImageFilter.GaussianBlur(1.2))
    return downsample(face, size, size)


def dice_pictures():
    pics = {161 + i: die_face(i + 1, 40) for i in range(6)}
    pics.update({167 + k: tumbling_die(k, 40) for k in range(10)})
    pics.update({600 + i: die_face(i + 1, 24) for i in range(6)})
    return pics


# ---------------------------------------------------------------- compass

WINDS = "東南西北"


def compass(seat_index):
    S, W, H = 4, 79, 81
    img = rgba(W * S, H * S)
    d = ImageDraw.Draw(img)
    cx, cy, R = W * S / 2, H * S / 2, 37 * S
    d.ellipse((cx - R, cy - R, cx + R, cy + R), fill=(40, 60, 50, 230), outline=GOLD, width=3 * S)
    d.ellipse((cx - 12 * S, cy - 12 * S, cx + 12 * S, cy + 12 * S), outline=GOLD, width=2 * S)
    for a in range(0, 360, 45):
        x = cx + math.cos(math.radians(a)) * 12 * S
        y = cy + math.sin(math.radians(a)) * 12 * S
        d.line((cx, cy, x, y), fill=GOLD, width=S)

    def wind_of(seat):
        return WINDS[3 - seat % 4]  # seat index 3 sits 東, 2 南, 1 西, 0 北

    # bottom = own seat, right = next higher seat index, top = opposite, left = next lower
    places = {(0, 1): seat_index, (1, 0): seat_index + 1, (0, -1): seat_index + 2, (-1, 0): seat_index + 3}
    f = serif(20 * S)
    for (dx, dy), seat in places.items():
        x, y = cx + dx * 24 * S, cy + dy * 24 * S
        colour = (255, 90, 70, 255) if (dx, dy) == (0, 1) else (255, 240, 200, 255)
        text_centered(d, (x - 12 * S, y - 12 * S, x + 12 * S, y + 12 * S), wind_of(seat), f, colour)
    return downsample(img, W, H)


# ---------------------------------------------------------------- faces

SKIN = [(250, 220, 190), (238, 200, 160), (225, 185, 150), (245, 210, 175)]
HAIR = [(30, 25, 20), (70, 45, 25), (110, 70, 30), (20, 20, 40), (150, 90, 40)]
BACKS = [(90, 150, 210), (220, 160, 80), (130, 190, 120), (200, 120, 150), (150, 130, 210),
         (100, 190, 190), (230, 120, 90), (170, 170, 90), (120, 120, 160), (200, 170, 140)]


def avatar(index, woman):
    rnd = random.Random(index * 7 + (100 if woman else 0))
    S, W, H = 4, 85, 90
    img = rgba(W * S, H * S)
    d = ImageDraw.Draw(img)
    bg = BACKS[index % 10]
    d.rounded_rectangle((0, 0, W * S - 1, H * S - 1), 10 * S, fill=bg + (255,), outline=(60, 60, 60, 255), width=2 * S)
    skin = SKIN[index % 4] + (255,)
    hair = HAIR[(index + (2 if woman else 0)) % 5] + (255,)
    cx, cy = W * S / 2, 44 * S
    shirt = ((index * 53) % 200 + 30, (index * 97) % 200 + 30, (index * 31) % 200 + 30, 255)
    d.ellipse((cx - 36 * S, 72 * S, cx + 36 * S, 130 * S), fill=shirt)
    if woman:  # long hair falls behind the face
        d.rounded_rectangle((cx - 30 * S, 18 * S, cx + 30 * S, 82 * S), 18 * S, fill=hair)
    d.ellipse((cx - 24 * S, cy - 26 * S, cx + 24 * S, cy + 26 * S), fill=skin, outline=(120, 80, 60, 255), width=S)
    style = index % 3
    if woman:
        d.chord((cx - 27 * S, cy - 32 * S, cx + 27 * S, cy + 10 * S), 180, 360, fill=hair)
        if style == 1:
            d.ellipse((cx + 14 * S, cy - 34 * S, cx + 30 * S, cy - 18 * S), fill=(230, 60, 100, 255))
    else:
        if style == 0:
            d.chord((cx - 26 * S, cy - 30 * S, cx + 26 * S, cy + 4 * S), 180, 360, fill=hair)
        elif style == 1:
            d.pieslice((cx - 28 * S, cy - 34 * S, cx + 28 * S, cy + 8 * S), 190, 350, fill=hair)
        else:
            d.rectangle((cx - 22 * S, cy - 30 * S, cx + 22 * S, cy - 16 * S), fill=hair)
    ey = cy - 2 * S
    for sx in (-1, 1):
        ex = cx + sx * 9 * S
        d.ellipse((ex - 3 * S, ey - 3 * S, ex + 3 * S, ey + 3 * S), fill=(30, 30, 30, 255))
    if index % 4 == 3 and not woman:
        for sx in (-1, 1):
            ex = cx + sx * 9 * S
            d.ellipse((ex - 7 * S, ey - 6 * S, ex + 7 * S, ey + 6 * S), outline=(40, 40, 40, 255), width=S)
        d.line((cx - 2 * S, ey, cx + 2 * S, ey), fill=(40, 40, 40, 255), width=S)
    mouth = (200, 60, 70, 255) if woman else (150, 70, 60, 255)
    d.arc((cx - 9 * S, cy + 4 * S, cx + 9 * S, cy + 16 * S), 20, 160, fill=mouth, width=2 * S)
    if woman:
        for sx in (-1, 1):
            d.ellipse((cx + sx * 15 * S - 4 * S, cy + 6 * S, cx + sx * 15 * S + 4 * S, cy + 12 * S), fill=(250, 160, 160, 180))
    # the face number in a corner lets players tell similar faces apart
    text_centered(d, (W * S - 22 * S, H * S - 20 * S, W * S - 4 * S, H * S - 4 * S), str(index + 1), sans(12 * S), (255, 255, 255, 220))
    _ = rnd
    return downsample(img, W, H)


def face_pictures():
    pics = {191 + i: avatar(i, False) for i in range(10)}
    pics.update({401 + i: avatar(i, True) for i in range(10)})
    return pics


# ---------------------------------------------------------------- 420 animation

# The animation's beats, one per frame: how long it stays (ms), how far the
# disc has grown, how far the rays have turned (degrees) and whether it is a
# flash. Long holds let the word be read; the 100 ms frames are the bursts.
# 7.3 s in all; the picture has no loop-count block, so the table plays it once.
LIANLAI_BEATS = [
    (1000, 0.70, 0, False),
    (500, 0.85, 8, False),
    (100, 0.95, 16, True),
    (500, 1.00, 24, False),
    (100, 1.00, 32, True),
    (100, 1.00, 40, False),
    (1000, 1.00, 48, False),
    (100, 1.00, 56, True),
    (200, 1.05, 64, False),
    (1500, 1.05, 72, False),
    (100, 1.05, 80, True),
    (100, 1.00, 88, False),
    (2000, 1.00, 96, False),
]
LIANLAI_SIZE = (150, 143)


def lianlai_frames():
    """The consecutive-wild animation: golden rays turn while 连赖 grows and flashes."""
    W, H = LIANLAI_SIZE
    S = 2
    frames = []
    for k, (_, grow, turn, flash) in enumerate(LIANLAI_BEATS):
        img = rgba(W * S, H * S)
        d = ImageDraw.Draw(img)
        cx, cy = W * S / 2, H * S / 2
        R = 72 * S
        for i in range(12):
            a0 = math.radians(i * 30 + turn)
            a1 = a0 + math.radians(15)
            ray = (255, 255, 210, 230) if flash else (255, 200 - 60 * (i % 2), 40, 200)
            d.polygon([(cx, cy), (cx + R * math.cos(a0), cy + R * math.sin(a0)), (cx + R * math.cos(a1), cy + R * math.sin(a1))],
                      fill=ray)
        r2 = 40 * S * grow
        disc = (255, 90, 60, 255) if flash else (200, 20, 20, 255)
        d.ellipse((cx - r2, cy - r2, cx + r2, cy + r2), fill=disc, outline=(255, 230, 120, 255), width=2 * S)
        f = serif(max(8, int(30 * S * grow)))
        word = (255, 255, 255, 255) if flash else (255, 240, 120, 255)
        text_centered(d, (0, 0, W * S, H * S), "连赖", f, word, stroke=S, stroke_fill=(120, 0, 0, 255))
        # A count of sparks on the rim marks the frame, so no two frames are alike
        # and the writer keeps every one of them.
        for j in range(k + 1):
            a = math.radians(j * 360 / len(LIANLAI_BEATS) - 90)
            px, py = cx + (r2 + 5 * S) * math.cos(a), cy + (r2 + 5 * S) * math.sin(a)
            d.ellipse((px - 2 * S, py - 2 * S, px + 2 * S, py + 2 * S), fill=(255, 250, 200, 255))
        frames.append(downsample(img, W, H))
    return frames


# ---------------------------------------------------------------- video tools and skins

def tool_icon(kind, hover):
    S, W, H = 8, 16, 14
    img = rgba(W * S, H * S)
    d = ImageDraw.Draw(img)
    bg = (255, 190, 60, 255) if hover else (70, 90, 120, 255)
    fg = (40, 20, 0, 255) if hover else (240, 240, 240, 255)
    d.rounded_rectangle((0, 0, W * S - 1, H * S - 1), 3 * S, fill=bg)
    if kind == "video_off":
        d.rectangle((3 * S, 4 * S, 10 * S, 10 * S), fill=fg)
        d.polygon([(10 * S, 7 * S), (13 * S, 4 * S), (13 * S, 10 * S)], fill=fg)
        d.line((2 * S, 12 * S, 14 * S, 2 * S), fill=(220, 40, 40, 255), width=2 * S)
    elif kind == "zoom":
        d.rectangle((3 * S, 3 * S, 13 * S, 11 * S), outline=fg, width=S + S // 2)
        d.rectangle((6 * S, 5 * S, 10 * S, 9 * S), fill=fg)
    elif kind == "photo":
        d.rounded_rectangle((2 * S, 4 * S, 14 * S, 12 * S), S, fill=fg)
        d.rectangle((5 * S, 2 * S, 9 * S, 4 * S), fill=fg)
        d.ellipse((6 * S, 5 * S, 10 * S, 9 * S + S // 2), fill=bg)
    elif kind == "own_video":
        d.rectangle((3 * S, 4 * S, 10 * S, 10 * S), fill=fg)
        d.polygon([(10 * S, 7 * S), (13 * S, 4 * S), (13 * S, 10 * S)], fill=fg)
    elif kind == "album":
        d.rectangle((3 * S, 2 * S, 13 * S, 12 * S), outline=fg, width=S)
        d.line((8 * S, 2 * S, 8 * S, 12 * S), fill=fg, width=S)
    else:  # a button without an action: a quiet dot
        d.ellipse((6 * S, 5 * S, 10 * S, 9 * S), fill=fg)
    return downsample(img, W, H)


def tool_pictures():
    kinds = ["video_off", "zoom", "photo", "own_video"]
    pics = {}
    for i, k in enumerate(kinds):
        pics[850 + i] = tool_icon(k, False)
        pics[854 + i] = tool_icon(k, True)
    pics[858] = tool_icon("none", False)
    pics[859] = tool_icon("none", True)
    for i in range(860, 863):  # no stated use; kept so the numbering has no holes
        pics[i] = tool_icon("none", False)
    pics[863] = tool_icon("album", False)
    pics[864] = tool_icon("album", True)
    return pics


def panel_skin(w, h):
    img = vgradient(w, h, (60, 70, 95), (25, 30, 45)).convert("RGB")
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w - 1, h - 1), outline=(200, 170, 90), width=2)
    title = max(12, h // 12)
    d.rectangle((2, 2, w - 3, title), fill=(120, 60, 30))
    d.rectangle((w * 0.06, title + h * 0.04, w * 0.94, h * 0.94), fill=(10, 10, 14), outline=(150, 130, 80))
    text_centered(d, (6, 2, w // 2, title), "视频", sans(max(8, title - 6)), (255, 230, 170))
    return img


def panel_pictures():
    sizes = [(175, 138), (276, 215), (434, 341), (137, 108), (216, 168), (339, 266)]
    return {870 + i: panel_skin(w, h) for i, (w, h) in enumerate(sizes)}


def bank_pictures():
    return {450: button(54, 31, "商城", False, "red"), 451: button(54, 31, "商城", True, "wood")}


# ---------------------------------------------------------------- design pictures

def chat_history_button(img, box):
    """The words under the chat-history click area: 聊天 stacked in a small
    framed button, as large as the area allows."""
    x0, y0, x1, y1 = box
    S = 4
    w, h = round(x1 - x0), round(y1 - y0)
    big = rgba(w * S, h * S)
    d = ImageDraw.Draw(big)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 3 * S, fill=(150, 70, 25, 255), outline=GOLD, width=S)
    f = fit_font(d, "聊", sans, (w - 4) * S, (h // 2 - 1) * S, h * S)
    half = h * S // 2
    text_centered(d, (0, S, w * S, half + S // 2), "聊", f, (255, 240, 200, 255))
    text_centered(d, (0, half - S // 2, w * S, h * S - S), "天", f, (255, 240, 200, 255))
    small = downsample(big, w, h)
    img.paste(small.convert("RGB"), (round(x0), round(y0)), small)


def felt(w, h, base, seed):
    rnd = random.Random(seed)
    img = Image.new("RGB", (w, h), base)
    noise = Image.effect_noise((w, h), 18).convert("L")
    tint = Image.merge("RGB", (noise.point(lambda v: v * 0.25), noise.point(lambda v: v * 0.35), noise.point(lambda v: v * 0.25)))
    img = Image.blend(img, tint, 0.12)
    d = ImageDraw.Draw(img)
    # a darker rim and the table's play field, so the middle reads as the table
    d.rectangle((0, 0, w - 1, h - 1), outline=tuple(max(0, c - 50) for c in base), width=10)
    d.rounded_rectangle((w * 0.16, h * 0.2, w * 0.84, h * 0.78), 24, outline=tuple(min(255, c + 30) for c in base), width=3)
    # The chat-history click area has no words of its own: they are painted
    # here, where the area lies at this size (594, 694; 25 x 33 at full size).
    k = w / 1024
    chat_history_button(img, (594 * k, 694 * k, 594 * k + 25 * k, 694 * k + 33 * k))
    _ = rnd
    return img


def close_mark(d, box, S):
    """A red square with a white cross: where a click closes the window."""
    x0, y0, x1, y1 = (v * S for v in box)
    d.rounded_rectangle((x0, y0, x1, y1), 3 * S, fill=(190, 40, 30, 255), outline=(255, 220, 150, 255), width=S)
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    r = min(x1 - x0, y1 - y0) * 0.25
    d.line((cx - r, cy - r, cx + r, cy + r), fill=(255, 255, 255, 255), width=2 * S)
    d.line((cx + r, cy - r, cx - r, cy + r), fill=(255, 255, 255, 255), width=2 * S)


def board_back(w, h, title, close_box):
    """A result board's background: a dark frame, its title at the top left
    and the close mark over the board's close areas."""
    S = 2
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w * S - 1, h * S - 1), fill=(70, 40, 22, 255), outline=GOLD, width=2 * S)
    d.rectangle((4 * S, 4 * S, (w - 5) * S, (h - 5) * S), outline=(150, 90, 40, 255), width=S)
    d.text((12 * S, 7 * S), title, font=sans(15 * S), fill=(255, 220, 120, 255))
    close_mark(d, close_box, S)
    return downsample(img, w, h)


def chat_history_back():
    """320 x 180: the history list's window with its title strip; a click on
    the strip closes the window, so the strip carries the close mark."""
    w, h, S = 320, 180, 4
    img = vgradient(w * S, h * S, (250, 240, 210), (225, 205, 160))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w * S - 1, h * S - 1), outline=(120, 80, 30, 255), width=2 * S)
    d.rectangle((8 * S, 0, 312 * S, 17 * S), fill=(150, 80, 30, 255))
    d.text((14 * S, 8.5 * S), "聊天记录", font=sans(13 * S), fill=(255, 240, 200, 255), anchor="lm")
    close_mark(d, (296, 1, 311, 16), S)
    return downsample(img, w, h)


def phrase_button(text):
    """The words under a quick-phrase click area (57 x 13): as tall as the
    area, so they stay readable on the small table."""
    w, h, S = 57, 13, 8
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 3 * S, fill=(150, 80, 30, 255), outline=GOLD, width=S // 2)
    f = fit_font(d, text, sans, (w - 4) * S, h * S, h * S)
    text_centered(d, (0, 0, w * S, h * S), text, f, (255, 240, 200, 255))
    return downsample(img, w, h)


def framed(w, h, text=None, fill=(60, 40, 20, 255), edge=GOLD, fg=(255, 230, 170, 255), text_max=None):
    S = 4
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 6 * S, fill=fill, outline=edge, width=2 * S)
    if text:
        f = fit_font(d, text, sans, (w - 8) * S, (h - 6) * S, (text_max or h) * S)
        text_centered(d, (0, 0, w * S, h * S), text, f, fg)
    return downsample(img, w, h)


def quvei_frame(title="宝牌 · 痞子", fill=(50, 30, 15, 235)):
    w, h, S = 124, 107, 4
    img = framed(w, h, None, fill=fill)
    d = ImageDraw.Draw(img)
    text_centered(d, (0, 8, w, 40), title, sans(15), (255, 220, 120, 255))
    for x in (12, 50, 83):  # the three tile places the table lays over this frame
        d.rectangle((x - 1, 45, x + 34, 96), outline=(170, 140, 80, 255))
    return img


def clock():
    img = framed(81, 38, None, fill=(30, 30, 50, 230))
    d = ImageDraw.Draw(img)
    d.ellipse((6, 5, 34, 33), fill=(250, 250, 240, 255), outline=GOLD, width=2)
    d.line((20, 19, 20, 9), fill=(20, 20, 20, 255), width=2)
    d.line((20, 19, 28, 22), fill=(200, 20, 20, 255), width=2)
    return img


def ready_mark():
    S, w, h = 4, 41, 49
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.ellipse((2 * S, 2 * S, 39 * S, 39 * S), fill=(40, 160, 70, 255), outline=(255, 255, 255, 255), width=2 * S)
    d.line([(10 * S, 21 * S), (18 * S, 29 * S), (31 * S, 12 * S)], fill=(255, 255, 255, 255), width=5 * S)
    text_centered(d, (0, 38 * S, w * S, h * S), "准备", sans(10 * S), (255, 255, 120, 255), stroke=S, stroke_fill=(0, 0, 0, 255))
    return downsample(img, w, h)


def video_frame(w, h):
    img = rgba(w, h)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w - 1, h - 1), 6, fill=(20, 20, 28, 255), outline=GOLD, width=3)
    d.rectangle((5, 5, w - 6, h - 6), outline=(120, 100, 60, 255))
    return img


def strip(w, h):
    return vgradient(w, h, (90, 110, 140), (50, 60, 80))


def speech_bubble():
    S, w, h = 4, 160, 70
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, 54 * S), 14 * S, fill=(255, 255, 235, 255), outline=(120, 100, 60, 255), width=2 * S)
    d.polygon([(30 * S, 52 * S), (50 * S, 52 * S), (24 * S, 69 * S)], fill=(255, 255, 235, 255), outline=(120, 100, 60, 255))
    return downsample(img, w, h)


def phrase_box():
    w, h, S = 320, 180, 4
    img = vgradient(w * S, h * S, (250, 240, 210), (225, 205, 160))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w * S - 1, h * S - 1), outline=(120, 80, 30, 255), width=2 * S)
    d.rectangle((8 * S, 0, 312 * S, 17 * S), fill=(150, 80, 30, 255))
    d.text((14 * S, 8.5 * S), "快捷短语", font=sans(13 * S), fill=(255, 240, 200, 255), anchor="lm")
    close_mark(d, (296, 1, 311, 16), S)
    return downsample(img, w, h)


def skin():
    # 46 x 220 px: 8 x 20 top corners and band, 8 px sides and bottom; orange
    # and dark red border with a dark red band on top. The middle is never used.
    w, h = 46, 220
    img = rgba(w, h, (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w - 1, h - 1), fill=(150, 30, 20, 255))
    for y in range(20):  # the title band darkens toward its bottom
        c = (120 - y * 2, 20, 15, 255)
        d.line((0, y, w - 1, y), fill=c)
    d.rectangle((0, 0, w - 1, h - 1), outline=(240, 140, 40, 255), width=2)
    d.rectangle((6, 18, w - 7, h - 7), outline=(240, 140, 40, 255), width=1)
    d.rectangle((8, 20, w - 9, h - 9), fill=(0, 0, 0, 0))
    return img


def dialog_back():
    # 320 x 180: red border with an ornament at the top centre
    w, h, S = 320, 180, 4
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, w * S - 1, h * S - 1), fill=(60, 20, 15, 255), outline=RED, width=4 * S)
    d.rectangle((7 * S, 7 * S, (w - 8) * S, (h - 8) * S), outline=(150, 40, 30, 255), width=S)
    cx = w * S // 2
    d.polygon([(cx - 26 * S, 0), (cx + 26 * S, 0), (cx + 12 * S, 14 * S), (cx - 12 * S, 14 * S)], fill=RED)
    d.ellipse((cx - 7 * S, 2 * S, cx + 7 * S, 12 * S), fill=GOLD)
    return downsample(img, w, h)


def panel_back(w, h, title):
    S = 4
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 8 * S, fill=(55, 25, 18, 255), outline=RED, width=3 * S)
    d.rectangle((6 * S, 4 * S, (w - 7) * S, 26 * S), fill=(120, 30, 22, 255))
    text_centered(d, (0, 4 * S, w * S, 26 * S), title, sans(15 * S), (255, 235, 190, 255))
    return downsample(img, w, h)


def caption_face(kind, state):
    S, w, h = 8, 16, 16
    fills = [(140, 40, 25, 255), (210, 90, 40, 255), (90, 20, 10, 255)]
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 3 * S, fill=fills[state], outline=(240, 140, 40, 255), width=S)
    fg = (255, 240, 210, 255)
    off = S if state == 2 else 0
    if kind == "close":
        d.line((4 * S + off, 4 * S + off, 11 * S + off, 11 * S + off), fill=fg, width=2 * S)
        d.line((11 * S + off, 4 * S + off, 4 * S + off, 11 * S + off), fill=fg, width=2 * S)
    else:
        d.rectangle((4 * S + off, 10 * S + off, 11 * S + off, 12 * S + off), fill=fg)
    return downsample(img, w, h)


def caption_button(kind):
    S, w, h = 8, 17, 16
    img = rgba(w * S, h * S)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * S - 1, h * S - 1), 3 * S, fill=(90, 50, 20, 255), outline=GOLD, width=S)
    fg = (255, 235, 190, 255)
    if kind == "close":
        d.line((5 * S, 4 * S, 12 * S, 11 * S), fill=fg, width=2 * S)
        d.line((12 * S, 4 * S, 5 * S, 11 * S), fill=fg, width=2 * S)
    elif kind == "enlarge":
        d.rectangle((4 * S, 4 * S, 12 * S, 11 * S), outline=fg, width=2 * S)
    else:
        d.rectangle((4 * S, 10 * S, 12 * S, 12 * S), fill=fg)
    return downsample(img, w, h)


# Numbers of the design pictures; the same list is in src/link/picture_resources.h.
DESIGN = {
    1001: ("table", lambda: felt(1024, 768, (26, 96, 60), 1)),
    # Pic2's picture: the table drawn for the small screen, where it replaces Pic1's.
    1002: ("small-screen table", lambda: felt(800, 600, (26, 96, 60), 2)),
    1003: ("wild-tile frame", quvei_frame),
    1004: ("animation backdrop", lambda: framed(150, 150, None, fill=(40, 10, 10, 200))),
    1005: ("ready mark", ready_mark),
    1006: ("countdown clock", clock),
    1007: ("video frame", lambda: video_frame(126, 105)),
    1008: ("own tool strip", lambda: strip(87, 17)),
    1009: ("seat tool strip", lambda: strip(145, 17)),
    1010: ("video-on icon", lambda: tool_icon("own_video", True)),
    1011: ("banner", lambda: framed(82, 80, "欢迎", fill=(120, 30, 30, 255))),
    1012: ("room strip", lambda: framed(394, 39, None, fill=(60, 40, 20, 220))),
    1013: ("phrase list 1", lambda: phrase_button("常用语一")),
    1014: ("phrase list 2", lambda: phrase_button("常用语二")),
    1015: ("dice multiple", lambda: framed(80, 29, "骰子倍数", fill=(130, 20, 20, 255), text_max=16)),
    1016: ("wealth multiple", lambda: framed(80, 29, "财富倍数", fill=(20, 80, 130, 255), text_max=16)),
    # A plain golden bar: the seat-change caption is a label drawn over it.
    1017: ("seat change", lambda: framed(200, 60, None, fill=(226, 182, 72, 255), edge=(150, 100, 20, 255))),
    1018: ("tile design", lambda: standing_back(0).resize((41, 57), Image.LANCZOS)),
    1019: ("banker mark", lambda: framed(24, 24, "庄", fill=(200, 30, 30, 255))),
    1020: ("host mark", lambda: framed(24, 24, "主", fill=(30, 90, 200, 255))),
    1021: ("wild-tile frame, consecutive wilds", lambda: quvei_frame("连赖 · 宝牌", (120, 20, 20, 235))),
    1022: ("wild-tile frame, plain", quvei_frame),
    1023: ("speech bubble", speech_bubble),
    1024: ("phrase window", phrase_box),
    1025: ("window skin", skin),
    1026: ("panel close", lambda: caption_button("close")),
    1027: ("panel enlarge", lambda: caption_button("enlarge")),
    1028: ("panel shrink", lambda: caption_button("shrink")),
    1029: ("compass holder", lambda: framed(79, 81, None, fill=(30, 50, 40, 160))),
    1030: ("rolling die", lambda: die_face(1, 40)),
    1031: ("exit dialogs", dialog_back),
    1032: ("settings dialog", lambda: panel_back(220, 365, "音效设置")),
    1033: ("player card", lambda: panel_back(220, 330, "玩家信息")),
    1034: ("close, normal", lambda: caption_face("close", 0)),
    1035: ("close, hover", lambda: caption_face("close", 1)),
    1036: ("close, pressed", lambda: caption_face("close", 2)),
    1037: ("minimise, normal", lambda: caption_face("min", 0)),
    1038: ("minimise, hover", lambda: caption_face("min", 1)),
    1039: ("minimise, pressed", lambda: caption_face("min", 2)),
    1040: ("back to the hall", lambda: button(70, 29, "返回大厅", False, "blue")),
    1041: ("look at the table", lambda: button(70, 29, "查看牌局", False, "wood")),
    1042: ("settings: music", lambda: framed(91, 35, "背景音乐", fill=(90, 30, 20, 255), text_max=16)),
    1043: ("settings: system sounds", lambda: framed(91, 35, "系统声音", fill=(90, 30, 20, 255), text_max=16)),
    1044: ("settings: all sound", lambda: framed(91, 35, "功能声音", fill=(90, 30, 20, 255), text_max=16)),
    1045: ("settings: dialect", lambda: framed(91, 35, "方言选择", fill=(90, 30, 20, 255), text_max=16)),
    1046: ("settings: video", lambda: framed(91, 35, "视频功能", fill=(90, 30, 20, 255), text_max=16)),
    # The result boards' backgrounds; the close mark covers each board's close areas.
    1047: ("settlement board", lambda: board_back(640, 480, "战绩板", (599, 7, 638, 30))),
    1048: ("all-hands board", lambda: board_back(655, 454, "英雄榜", (609, 6, 648, 26))),
    1049: ("chat history window", chat_history_back),
}
JPEG_IDS = set(range(870, 876)) | {1001, 1002}


# ---------------------------------------------------------------- output

def to_gif_frame(img):
    """Quantises an RGBA picture to a palette with index 255 transparent."""
    img = img.convert("RGBA")
    alpha = img.getchannel("A")
    rgb = Image.new("RGB", img.size, (0, 0, 0))
    rgb.paste(img.convert("RGB"), mask=alpha)
    pal = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    mask = alpha.point(lambda a: 255 if a < 128 else 0)
    pal.paste(255, mask=mask)
    palette = pal.getpalette()[: 255 * 3] + [255, 0, 255]
    pal.putpalette(palette)
    has_transparency = mask.getbbox() is not None
    return pal, has_transparency


def save_gif(img, path):
    pal, transparent = to_gif_frame(img)
    if transparent:
        pal.save(path, format="GIF", transparency=255, optimize=False)
    else:
        pal.save(path, format="GIF", optimize=False)


def save_animation(frames, path):
    pals = [to_gif_frame(f)[0] for f in frames]
    # No loop extension: the animation plays once, as the table uses it.
    pals[0].save(path, format="GIF", save_all=True, append_images=pals[1:],
                 duration=[beat[0] for beat in LIANLAI_BEATS], transparency=255, disposal=2, optimize=False)


def all_pictures():
    pics = {}
    pics.update(toolbar_pictures())
    pics.update({126 + i: compass(i) for i in range(4)})
    pics.update(dialog_pictures())
    pics.update(claim_pictures())
    pics.update(dice_pictures())
    pics.update(caption_pictures())
    pics.update(face_pictures())
    pics.update(tile_pictures())
    pics.update(bank_pictures())
    pics.update(tool_pictures())
    pics.update(panel_pictures())
    for rid, (_, make) in DESIGN.items():
        pics[rid] = make()
    return pics


def contact_sheet(pics, anim, path):
    order = sorted(pics)
    cells = []
    for rid in order:
        img = pics[rid]
        scale = 1
        if img.width <= 60 and img.height <= 90:
            scale = 2  # small pictures doubled so tiles and icons can be judged
        if img.width > 300:
            scale = 0.25 if img.width > 600 else 0.5
        shown = img.resize((max(1, int(img.width * scale)), max(1, int(img.height * scale))), Image.NEAREST if scale >= 1 else Image.LANCZOS)
        cells.append((rid, shown))
    for i, f in enumerate(anim[::3]):
        cells.append((f"420.{i * 3}", f))
    sheet_w = 1800
    x = y = 8
    row_h = 0
    placed = []
    for rid, img in cells:
        w, h = img.width, img.height + 14
        if x + w + 8 > sheet_w:
            x = 8
            y += row_h + 8
            row_h = 0
        placed.append((rid, img, x, y))
        x += max(w, 30) + 8
        row_h = max(row_h, h)
    sheet = Image.new("RGB", (sheet_w, y + row_h + 8), (200, 200, 200))
    d = ImageDraw.Draw(sheet)
    checker = Image.new("RGB", (16, 16), (180, 180, 180))
    ImageDraw.Draw(checker).rectangle((0, 0, 7, 7), fill=(215, 215, 215))
    ImageDraw.Draw(checker).rectangle((8, 8, 15, 15), fill=(215, 215, 215))
    for rid, img, px, py in placed:
        for cx in range(px, px + img.width, 16):
            for cy in range(py, py + img.height, 16):
                sheet.paste(checker.crop((0, 0, min(16, px + img.width - cx), min(16, py + img.height - cy))), (cx, cy))
        sheet.paste(img.convert("RGB"), (px, py), img.convert("RGBA").getchannel("A"))
        d.text((px, py + img.height + 1), str(rid), fill=(0, 0, 0), font=sans(10))
    sheet.save(path)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--sheet")
    args = ap.parse_args()
    os.makedirs(args.out, exist_ok=True)
    random.seed(20240401)
    pics = all_pictures()
    anim = lianlai_frames()
    lines = ["// Generated by tools/artgen/artgen.py; do not edit.\n"]
    for rid in sorted(pics):
        if rid in JPEG_IDS:
            name = f"{rid}.jpg"
            pics[rid].convert("RGB").save(os.path.join(args.out, name), format="JPEG", quality=88)
        else:
            name = f"{rid}.gif"
            save_gif(pics[rid], os.path.join(args.out, name))
        lines.append(f'{rid} GIF "{os.path.abspath(os.path.join(args.out, name))}"\n')
    save_animation(anim, os.path.join(args.out, "420.gif"))
    lines.append(f'420 GIF "{os.path.abspath(os.path.join(args.out, "420.gif"))}"\n')
    lines.sort(key=lambda l: (not l.startswith("//"), int(l.split()[0]) if not l.startswith("//") else 0))
    tmp = os.path.join(args.out, "resources.rc.tmp")
    with open(tmp, "w", encoding="utf-8") as f:
        f.writelines(lines)
    os.replace(tmp, os.path.join(args.out, "resources.rc"))
    if args.sheet:
        contact_sheet(pics, anim, args.sheet)
    return 0


if __name__ == "__main__":
    sys.exit(main())

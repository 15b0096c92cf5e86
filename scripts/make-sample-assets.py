#!/usr/bin/env python3
"""Make Pelorin's sample assets, drawn procedurally (Python 3 standard library only).

Writes, relative to the repository root, always byte for byte the same:
  res/chips.png    256x256 RGBA chip sheet: 8x8 chips of 32x32 pixels (grass, water, shores,
                   sand, bridges, walls, floors, dirt and cobble paths, trees and other decorations)
  res/sample.map   a 40x30 sample landscape in the editor's binary map format ("MAPB")
and, with --preview PATH, the sample map rendered from the sheet (1280x960) to look at.
Usage: python3 scripts/make-sample-assets.py [--preview PATH]
"""
import math
import os
import sys
import random
import struct
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
S = 32  # chip size in pixels
P = {  # one coherent palette; every chip draws from it
    'g0': (30, 62, 44), 'g1': (48, 96, 52), 'g2': (72, 132, 60), 'g3': (102, 162, 68), 'g4': (148, 196, 88),
    'w0': (30, 60, 118), 'w1': (40, 88, 158), 'w2': (58, 118, 190), 'w3': (120, 176, 224), 'w4': (214, 236, 248),
    's0': (164, 132, 86), 's1': (206, 178, 120), 's2': (226, 204, 150), 's3': (242, 228, 188),
    'd0': (84, 56, 36), 'd1': (118, 82, 50), 'd2': (146, 106, 66), 'd3': (176, 136, 88),
    'k0': (38, 38, 50), 'k1': (70, 70, 86), 'k2': (104, 104, 120), 'k3': (140, 140, 154), 'k4': (186, 186, 196),
    'r0': (88, 34, 30), 'r1': (136, 58, 44), 'r2': (172, 84, 58), 'r3': (204, 122, 88),
    'n0': (164, 150, 132), 'm0': (66, 100, 42), 'm1': (104, 140, 56),
    'b0': (58, 36, 24), 'b1': (90, 58, 36), 'b2': (124, 84, 50), 'b3': (162, 116, 68),
    'yl': (246, 214, 80), 'wh': (244, 244, 232), 'rd': (214, 68, 60), 'pk': (234, 142, 178),
    'bl': (104, 142, 234), 'pu': (156, 108, 210), 'or': (236, 138, 60),
}
PLUS = ((0, -1), (-1, 0), (1, 0), (0, 1))
WOOD, STONE = ('b0', 'b1', 'b2', 'b3'), ('k1', 'k2', 'k3', 'k4')

# ---------------------------------------------------------------- noise and canvas helpers
def h(x, y, s=0):
    """Hash of integer coordinates to [0, 1)."""
    n = (x * 374761393 + y * 668265263 + s * 2246822519 + 12345) & 0xffffffff
    n = ((n ^ (n >> 13)) * 1274126177) & 0xffffffff
    return ((n ^ (n >> 16)) & 0xffff) / 65536.0

def vnoise(x, y, s, cell):
    """Smooth value noise in [0, 1); 0.5 all along the chip border, so chips join without seams."""
    n, gx, gy = S // cell, x / cell, y / cell
    ix, iy = int(gx), int(gy)
    fx, fy = gx - ix, gy - iy
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    v = lambda i, j: h(i % n, j % n, s) if i % n and j % n else 0.5
    a = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * fx
    b = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * fx
    return a + (b - a) * fy

def new():
    return [[(0, 0, 0)] * S for _ in range(S)]

def pixels():
    return ((x, y) for y in range(S) for x in range(S))

def put(c, x, y, col):
    c[int(y) % S][int(x) % S] = P[col] if isinstance(col, str) else col

def dots(c, x, y, offsets, col):
    for dx, dy in offsets:
        put(c, x + dx, y + dy, col)

def paint(c, fn):
    """Set every pixel for which fn(x, y) gives a colour (None leaves it)."""
    for x, y in pixels():
        col = fn(x, y)
        if col:
            put(c, x, y, col)
    return c

def shade(t, ramp):
    """Pick a colour of ramp (dark to light) for t in [0, 1]."""
    return P[ramp[max(0, min(len(ramp) - 1, int(t * len(ramp))))]]

def blob(c, circles, ramp, seed, outline, rough=0.25):
    """Filled union of circles, lit from the upper left, with a dark outline; returns its pixels."""
    cx, cy = sum(k[0] for k in circles) / len(circles), sum(k[1] for k in circles) / len(circles)
    rad = max(k[2] for k in circles) + 2
    mask = {(x, y) for x, y in pixels()
            if any((x + .5 - a) ** 2 + (y + .5 - b) ** 2 < r * r for a, b, r in circles)}
    for x, y in mask:
        t = 0.5 + ((x - cx) * -0.6 + (y - cy) * -0.8) / rad * 0.6
        put(c, x, y, shade(t + (vnoise(x, y, seed, 4) - 0.5) * rough * 2 + (h(x, y, seed) - 0.5) * 0.15, ramp))
    paint(c, lambda x, y: outline if (x, y) not in mask and any((x + a, y + b) in mask for a, b in PLUS) else None)
    return mask

def shadow(c, cx, cy, rx, ry):
    inside = lambda x, y: ((x + .5 - cx) / rx) ** 2 + ((y + .5 - cy) / ry) ** 2 < 1
    return paint(c, lambda x, y: tuple(int(v * 0.62) for v in c[y][x]) if inside(x, y) else None)

# ---------------------------------------------------------------- ground textures
def grass(seed, tufts=10, big=0):
    c, rng = new(), random.Random(seed)
    paint(c, lambda x, y: 'g1' if h(x, y, seed) < 0.07 else 'g3' if h(x, y, seed) > 0.88 else 'g2')
    for _ in range(12):  # darker clumps with a lit upper rim
        cx, cy, r = rng.uniform(3, 29), rng.uniform(3, 29), rng.uniform(1.6, 3.2)
        for x, y in pixels():
            d = math.hypot(x + .5 - cx, (y + .5 - cy) * 1.4) + h(x, y, seed + 1)
            if d < r or d < r + 1 and y + .5 < cy:
                put(c, x, y, 'g1' if d < r else 'g3')
    for _ in range(tufts):
        x, y = rng.randrange(1, 31), rng.randrange(2, 31)
        dots(c, x, y, ((-1, 0), (0, 0), (1, 0)), 'g1'); dots(c, x, y, ((-1, -1), (1, -1)), 'g3')
        put(c, x, y - 2, 'g4')
    for _ in range(big):  # taller tufts of five blades
        x, y = rng.randrange(3, 29), rng.randrange(5, 31)
        for k, n in ((-2, 2), (-1, 3), (0, 4), (1, 3), (2, 2)):
            put(c, x + k, y, 'g0')
            for i in range(1, n + 1):
                put(c, x + k + (k * i) // 3, y - i, 'g4' if i == n else 'g3')
    return c

def flowers(seed, colours, count):
    c, rng = grass(seed, 5), random.Random(seed + 1)
    for i in range(count):
        x, y, col = rng.randrange(2, 30), rng.randrange(2, 30), colours[i % len(colours)]
        put(c, x + 1, y + 1, 'g1'); dots(c, x, y, PLUS, col); put(c, x, y, 'yl' if col != 'yl' else 'or')
    return c

def clover(seed):
    c, rng = grass(seed, 3), random.Random(seed)
    for i in range(10):  # three-leafed sprigs, some with a flower head
        x, y = rng.randrange(3, 28), rng.randrange(3, 28)
        for lx, ly in ((0, -2), (-2, 0), (2, 0)):
            dots(c, x + lx, y + ly, ((0, 0), (1, 0)), 'g4'); dots(c, x + lx, y + ly, ((0, 1), (1, 1)), 'g3')
        dots(c, x + 1, y, ((0, 2), (0, 3)), 'g1')
        for dx, dy in ((0, 0), (1, 0), (0, 1), (1, 1), (0, -1), (1, -1)) if i % 3 == 0 else ():
            put(c, x + dx, y - 2 + dy, 'wh' if (dx + dy) % 2 else 'pk')
    return c

def tall_grass(seed):
    c, rng = grass(seed, 0), random.Random(seed)
    for _ in range(9):  # fans of long blades
        cx, cy = rng.randrange(4, 28), rng.randrange(9, 31)
        for k in range(-3, 4):
            n = 8 - abs(k) + rng.randrange(2)
            for i in range(n):
                put(c, cx + k * i // 4, cy - i, 'g4' if i >= n - 2 else 'g3' if i > 2 else 'g1')
        dots(c, cx, cy + 1, [(k, 0) for k in range(-2, 3)], 'g0')
    return c

def fairy_ring(seed):
    c, rng = grass(seed, 6), random.Random(seed)
    for i in range(9):  # a ring of tiny mushrooms
        a = i * 2 * math.pi / 9 + rng.uniform(-.2, .2)
        x, y = round(16 + 10 * math.cos(a)), round(15 + 8 * math.sin(a))
        dots(c, x, y, ((-1, 0), (1, 0)), 'd3'); put(c, x, y, 'wh'); put(c, x, y - 1, 'd2')
        put(c, x, y + 1, 's3'); dots(c, x, y, ((0, 2), (1, 2)), 'g0')
    return c

def pebbles(c, seed, count, cols=('k1', 'k3', 'k4')):
    rng = random.Random(seed)
    for _ in range(count):
        x, y, w = rng.randrange(1, S - 4), rng.randrange(1, S - 2), rng.choice((1, 2, 2, 3))
        dots(c, x, y + 1, [(dx, 0) for dx in range(w)], cols[0])
        dots(c, x, y, [(dx, 0) for dx in range(w)], cols[1])
        put(c, x, y, cols[2])
    return c

def stones(c, seed, count, under):
    """Small round grey stones with a shadow, kept off the chip border."""
    rng = random.Random(seed)
    for _ in range(count):
        x, y, w, t = rng.randrange(2, 27), rng.randrange(2, 28), rng.randrange(3, 6), rng.random() * .3
        for dx in range(w):
            put(c, x + dx, y + 2, under)
            for dy in range(2):
                put(c, x + dx, y + dy, shade(t + .6 - dy * .35 - dx * .06, STONE))
        put(c, x - 1, y + 1, under)
        if w > 3:
            put(c, x + 1, y - 1, 'k3')
    return c

def water(seed, ripples=5, sparkles=2):
    c, rng = new(), random.Random(seed)
    paint(c, lambda x, y: 'w2' if h(x, y, seed) > 0.97 else 'w1')
    for _ in range(6):  # long slow swells: a light crest over a dark trough
        x, y, n = rng.randrange(1, 18), rng.randrange(2, 30), rng.randrange(6, 14)
        dots(c, x, y, [(i, 0) for i in range(n)], 'w2'); dots(c, x, y, [(i + 1, 1) for i in range(n)], 'w0')
    placed = []
    while len(placed) < ripples:  # short bright ripples, curling up at both ends
        x, y, n = rng.randrange(S), rng.randrange(S), rng.randrange(4, 8)
        if all(abs((x - a + 16) % S - 16) > 9 or abs((y - b + 16) % S - 16) > 4 for a, b in placed):
            placed.append((x, y))
            dots(c, x, y, [(i, 0) for i in range(n)], 'w3'); dots(c, x, y, ((-1, -1), (n, -1)), 'w2')
    for _ in range(sparkles):
        x, y = rng.randrange(S), rng.randrange(S)
        put(c, x, y, 'w4'); dots(c, x, y, PLUS, 'w3')
    return c

def sand(seed, specks=0.12):
    v = lambda x, y: vnoise(x, y, seed, 8) * 0.5 + h(x, y, seed) * 0.5
    return paint(new(), lambda x, y: 's0' if v(x, y) < specks else 's2' if v(x, y) > 0.72 else 's1')

def sand_ripples(seed):
    t = lambda x, y: (y + 2.5 * math.sin(2 * math.pi * x / 32)) % 8
    return paint(sand(seed, 0.06), lambda x, y: 's3' if t(x, y) < 1 else 's0' if t(x, y) < 2 else None)

def shells(seed):
    c = pebbles(sand(seed), seed, 4, ('s0', 'n0', 'wh'))
    for x, y, col in ((9, 10, 'pk'), (22, 21, 'wh')):  # little scallop shells
        for dx, dy in ((0, 0), (1, 0), (2, 0), (-1, 1), (0, 1), (1, 1), (2, 1), (3, 1), (0, 2), (1, 2), (2, 2)):
            put(c, x + dx, y + dy, col if (dx + dy) % 2 else 's3')
        put(c, x + 1, y + 3, 's0')
    arms = [(d, 0) for d in range(-2, 3)] + [(0, d) for d in range(-2, 3)] + [(-2, 2), (2, 2), (0, -3)]
    dots(c, 23, 8, arms, 'or'); put(c, 23, 8, 'yl')  # a starfish
    return c

def dirt(seed):
    v = lambda x, y: vnoise(x, y, seed, 8) * 0.5 + h(x, y, seed) * 0.5
    c = paint(new(), lambda x, y: 'd1' if v(x, y) < 0.2 else 'd3' if v(x, y) > 0.78 else 'd2')
    return pebbles(c, seed, 5, ('d0', 'n0', 's2'))

def puddle(seed):
    c = pebbles(dirt(seed), seed + 3, 4, ('d0', 'k3', 'k4'))
    for x, y in pixels():
        d = math.hypot((x + .5 - 15) / 9, (y + .5 - 17) / 5.5) + (h(x, y, seed) - .5) * .12
        if d < 1:
            put(c, x, y, 'w4' if d < .9 and (x + 2 * y) % 13 == 0 else 'w3' if y < 15 and d < .85 else 'w2')
        elif d < 1.15:
            put(c, x, y, 'd0' if y >= 17 else 'd1')
    return c

def cobbles(seed, cell=8):
    """Rounded stones from tileable Voronoi cells."""
    n, c = S // cell, new()
    pts = {(i, j): (i * cell + 1.5 + h(i, j, seed) * (cell - 3), j * cell + 1.5 + h(j, i, seed + 1) * (cell - 3))
           for i in range(n) for j in range(n)}
    for x, y in pixels():
        best = []
        for i in range(x // cell - 1, x // cell + 2):
            for j in range(y // cell - 1, y // cell + 2):
                px, py = pts[(i % n, j % n)]
                px, py = px + (i - i % n) * cell, py + (j - j % n) * cell
                best.append((math.hypot(x + .5 - px, y + .5 - py), px, py, (i % n, j % n)))
        best.sort()
        (d1, px, py, k), d2 = best[0], best[1][0]
        t = 0.45 + (h(*k, seed + 2) - 0.5) * 0.4 - ((x - px) + (y - py)) * 0.07
        put(c, x, y, 'k1' if d2 - d1 < 1.4 else shade(t, ('k2', 'k3', 'k4')))
    return c

# ---------------------------------------------------------------- transitions
def wave(x, y):
    return 0.8 * math.sin(2 * math.pi * x / 16) + 0.8 * math.sin(2 * math.pi * y / 16 + 1.3)

def shore(kind, fx, fy, seed, band=9):
    """Water with grass on some sides; kind 'N', 'W', 'outer' or 'inner' is drawn for the north-west
    and then flipped (fx, fy). d is the signed distance into the water."""
    wat, gr, sa, c = water(seed, 3, 1), grass(seed + 50, 6), sand(seed + 60), new()
    for x, y in pixels():
        cx, cy = (31 - x if fx else x) + .5, (31 - y if fy else y) + .5
        if kind in 'NW':
            d = (cy if kind == 'N' else cx) - band
        elif kind == 'outer':
            px, py = band + 8 - cx, band + 8 - cy
            d = 8 - math.hypot(px, py) if px > 0 and py > 0 else min(cx - band, cy - band)
        else:
            px, py = cx - (band - 5), cy - (band - 5)
            d = math.hypot(px, py) - 5 if px > 0 and py > 0 else max(px, py) - 5
        d += wave(x, y) * 0.7
        if d < -3.2 or d < 0 and d >= -2.2 or d >= 3:
            c[y][x] = (gr if d < -3.2 else sa if d < 0 else wat)[y][x]
        else:
            put(c, x, y, 'g1' if d < 0 else 'w2' if d >= 1.1 else 'w4' if h(x, y, 9) < 0.6 else 'w3')
    return c

def arm_dist(x, y, side):
    """Distance from (x, y) to the segment from the chip centre out past the given side."""
    ex, ey = {'N': (16, -6), 'S': (16, 38), 'W': (-6, 16), 'E': (38, 16)}[side]
    t = max(0.0, min(1.0, ((x - 16) * (ex - 16) + (y - 16) * (ey - 16)) / 484))
    return math.hypot(x - 16 - t * (ex - 16), y - 16 - t * (ey - 16))

def path(dirs, seed, cobble=False):
    """Dirt (or cobble) path on grass joining the chip centre to the given sides."""
    c, top = grass(seed + 70, 5), cobbles(seed, 6) if cobble else dirt(seed)
    edge, rim = ('k1', 'k0') if cobble else ('d1', 'd0')
    for x, y in pixels():
        d = min(arm_dist(x + .5, y + .5, k) for k in dirs)
        r = 8.5 + 0.5 * wave(x, y) * (0 if cobble else 1)
        if d < r - 1.3:
            c[y][x] = top[y][x]
        elif d < r + 1:
            put(c, x, y, 'g1' if d >= r else edge if h(x, y, seed) < 0.8 else rim)
    return c

# ---------------------------------------------------------------- walls, floors, water features
def bricks(seed, rows, ramp, mortar, moss=0.0):
    """rows: (height, [brick lengths], x offset) from the top; ramp runs dark to light."""
    c, rng, y0 = new(), random.Random(seed), 0
    for hgt, lengths, off in rows:
        x0 = off
        for ln in lengths:
            base = rng.choice((0.35, 0.5, 0.5, 0.65))
            for y in range(y0, y0 + hgt):
                for x in range(x0, x0 + ln):
                    t = base + (h(x % S, y, seed) - 0.5) * 0.25
                    t += 0.35 if y == y0 or x == x0 else -0.3 if y == y0 + hgt - 2 else 0
                    put(c, x, y, mortar if y == y0 + hgt - 1 or x == x0 + ln - 1 else shade(t, ramp))
            x0 += ln
        y0 += hgt
    v = lambda x, y: vnoise(x, y, seed + 5, 8) * 0.8 + h(x, y, seed) * 0.2 - y / 120
    return paint(c, lambda x, y: None if not moss or v(x, y) <= 1 - moss
                 else 'm1' if v(x, y) > 1.06 - moss else 'm0')

def grey_bricks(seed):
    return bricks(seed, [(8, [16, 16], 0), (8, [16, 16], 8)] * 2, STONE, 'k0')

def cracked(seed):
    c, x = grey_bricks(seed), 19
    for y in range(2, 22):  # a crack zig-zagging down
        put(c, x, y, 'k0'); put(c, x + 1, y, 'k1')
        x += random.Random(seed + y).choice((-1, 0, 1))
    paint(c, lambda x, y: ('k1' if y > 26 else 'k2') if (x - 5) ** 2 + (y - 27) ** 2 < 7 else None)  # chipped
    return pebbles(c, seed, 3, ('k0', 'k2', 'k3'))

def door(seed):
    c = grey_bricks(seed)
    for x, y in pixels():
        dx = x + .5 - 16
        if abs(dx) < 9 and (y >= 12 or dx * dx + (y - 12) ** 2 < 81):  # planks under an arch
            t = 0.55 + (h(x, y, seed) - .5) * .2 - (0.35 if x % 4 == 0 else 0) + (0.2 if x % 4 == 1 else 0)
            put(c, x, y, 'k1' if y in (14, 25) else shade(t, WOOD))
        elif abs(dx) < 11 and (y >= 12 or dx * dx + (y - 12) ** 2 < 121):
            put(c, x, y, 'k0' if abs(dx) > 10 or y < 12 and dx * dx + (y - 12) ** 2 > 110 else 'k3')
    put(c, 21, 20, 'yl'); put(c, 21, 21, 'or')
    return c

def slabs(seed):
    def f(x, y):
        sx, t = (x + (8 if (y // 16) % 2 else 0)) % 16, 0.5 + (vnoise(x, y, seed, 16) - .5) * .5
        return 'k1' if y % 16 == 15 or sx == 15 else 'k4' if y % 16 == 0 or sx == 0 else \
            shade(t + (h(x, y, seed) - .5) * .15, ('k2', 'k3', 'k3'))
    return paint(new(), f)

def bridge(seed, east):
    c = shore('W', east, False, seed)
    for x in range(S):
        for y in range(26, 29):
            put(c, x, y, tuple(int(v * .6) for v in c[y][x]))  # shadow on the water
        for y in range(6, 27):
            t = 0.55 + (h(x, y, seed) - .5) * .25 + (0.2 if x % 4 == 0 else 0)
            put(c, x, y, 'b0' if x % 4 == 3 else shade(t, ('b1', 'b2', 'b3')))
        for y0 in (5, 24):  # side rails with posts
            for dy, col in enumerate(('b0', 'b3', 'b1', 'b0')):
                put(c, x, y0 + dy, col)
        for y in (4, 5, 23, 24) if x % 16 == 6 else ():
            put(c, x, y, 'b0'); put(c, x + 1, y, 'b2' if y in (4, 23) else 'b1'); put(c, x + 2, y, 'b0')
    return c

def reeds(seed):
    c, rng = water(seed, 3, 1), random.Random(seed)
    for _ in range(9):
        x, y, n = rng.randrange(4, 28), rng.randrange(18, 30), rng.randrange(8, 15)
        for i in range(n):
            put(c, x, y - i, 'g1' if i < n // 2 else 'g3')
        for i in range(3 if n > 11 else 0):  # a cattail head
            put(c, x, y - n + i, 'b1'); put(c, x + 1, y - n + i, 'b2')
        put(c, x + 1, y + 1, 'w0'); dots(c, x, y + 1, ((-1, 0), (2, 0)), 'w3')
    return c

def lily(seed):
    c = water(seed, 3, 0)
    for cx, cy, r, bloom in ((10, 11, 6, True), (23, 22, 5, False), (24, 7, 3, False)):
        for x, y in pixels():
            dx, dy = x + .5 - cx, y + .5 - cy
            if dx * dx + dy * dy < r * r and not (dx > 0 and abs(dy) < dx * 0.45):  # a pad with a notch
                put(c, x, y, 'g3' if dx + dy < -r * .4 else 'g2' if dx * dx + dy * dy < (r - 1) ** 2 else 'g1')
            elif dx * dx + dy * dy < (r + 1) ** 2 and dy > 0:
                put(c, x, y, 'w0')
        if bloom:
            dots(c, cx - 1, cy - 1, ((0, -2), (-2, 0), (2, 0), (-1, -1), (1, -1), (-1, 1), (1, 1), (0, 1)), 'pk')
            put(c, cx - 1, cy - 2, 'wh'); put(c, cx - 1, cy - 1, 'yl')
    return c

# ---------------------------------------------------------------- decorations (over grass)
def tree(seed):
    c = shadow(grass(seed, 6), 18, 25, 12, 6)
    paint(c, lambda x, y: ('b0' if x == 18 or y == 27 else 'b2' if x == 14 else 'b1')
          if 14 <= x < 19 and 18 <= y < 28 else None)  # trunk
    blob(c, [(16, 9, 8), (9, 14, 7), (23, 14, 7), (16, 16, 8)], ('g0', 'g1', 'g2', 'g3', 'g4'), seed, 'g0')
    dots(c, 0, 0, ((11, 10), (20, 8), (14, 15), (22, 16)), 'rd')  # a few apples
    dots(c, 0, 0, ((11, 9), (20, 7), (14, 14), (22, 15)), 'r3')
    return c

def pine(seed):
    c = shadow(grass(seed, 6), 18, 27, 10, 4)
    paint(c, lambda x, y: ('b2' if x == 14 else 'b0' if x == 17 else 'b1')
          if 14 <= x < 18 and 25 <= y < 30 else None)  # trunk
    for top, bot, half in ((1, 12, 6), (6, 19, 9), (12, 26, 12)):  # three tiers, lit from the left
        for x, y in pixels():
            w, dx = half * (y - top + 1) / (bot - top), x + .5 - 16
            if top <= y < bot and abs(dx) < w:
                t = 0.55 - dx / 24 + (h(x, y, seed) - .5) * .25 - (0.3 if (y - top) % 4 == 3 else 0)
                put(c, x, y, 'g0' if abs(dx) > w - 1.2 or y == bot - 1 else shade(t, ('g0', 'g1', 'g2', 'g3')))
    return c

def bush(seed, bloom=False):
    c, rng = shadow(grass(seed, 6), 17, 24, 12, 5), random.Random(seed)
    circles = [(10, 18, 7), (22, 18, 7), (16, 13, 8), (16, 20, 7)]
    mask = sorted(blob(c, circles, ('g0', 'g1', 'g2', 'g3'), seed, 'g0'))
    for x, y in rng.sample(mask, 22 if bloom else 7):  # blossoms, or berries with a glint
        if bloom:
            put(c, x, y, rng.choice(('pk', 'wh', 'pk', 'pu'))); put(c, x + 1, y, 'yl')
        else:
            put(c, x, y, 'rd'); put(c, x - 1, y - 1, 'wh')
    return c

def rock(seed):
    c = shadow(grass(seed, 6), 18, 24, 13, 6)
    blob(c, [(14, 17, 9), (21, 19, 7), (10, 21, 6), (18, 22, 7)], STONE, seed, 'k0', rough=0.1)
    dots(c, 0, 0, ((15, 13), (16, 14), (16, 15), (17, 16), (17, 17)), 'k1')  # a crack
    dots(c, 0, 0, ((8, 21), (9, 20), (10, 20), (9, 21), (24, 22), (25, 22)), 'm1')  # moss
    return c

def fence(seed, vertical):
    c = grass(seed, 6)
    for a in range(S):  # rails; (a, b + db) is (x, y) for a horizontal fence and (y, x) for a vertical one
        for b in ((12, 18) if vertical else (12, 19)):
            for db, col in enumerate(('b3', 'b1', 'b0', 'g1') if vertical else ('b3', 'b2', 'b0', None, 'g1')):
                if col:
                    put(c, *((b + db, a) if vertical else (a, b + db)), col)
    for p in (6, 22):  # posts every 16 pixels, seen from above or from the front
        if vertical:
            paint(c, lambda x, y: ('b0' if x == 21 or y == p + 5 else 'b3' if y == p or x == 11 else 'b2')
                  if 11 <= x < 22 and p <= y < p + 6 else 'g1' if 12 <= x < 23 and y == p + 6 else None)
        else:
            paint(c, lambda x, y: ('b3' if y < 10 else 'b0' if x == p + 3 or y == 25 else 'b2' if x == p else 'b1')
                  if p <= x < p + 4 and 8 <= y < 26 else 'g1' if p < x < p + 6 and y == 26 else None)
    return c

def stump(seed):
    c = shadow(grass(seed, 6), 17, 23, 11, 5)
    for x, y in pixels():
        dx, dy = (x + .5 - 15) / 9, (y + .5 - 14) / 5
        r2 = dx * dx + dy * dy
        if abs(dx) < 1 and 14 <= y <= 22 and r2 >= 1:  # bark
            put(c, x, y, 'b0' if abs(dx) > .85 or y == 22 else 'b1' if x % 3 else 'b0')
        if r2 < 1:  # the cut with its rings
            put(c, x, y, 'b0' if r2 > .8 else 'd3' if int(math.sqrt(r2) * 8) % 3 else 'd2')
    for mx, my, r in ((24, 21, 3), (27, 24, 2)):  # two toadstools
        paint(c, lambda x, y: ('rd' if (x + y) % 3 else 'wh')
              if y + .5 - my <= 0.5 and (x + .5 - mx) ** 2 + (y + .5 - my) ** 2 * 2 < r * r else None)
        dots(c, mx, my, ((0, 1), (0, 2)), 'wh'); dots(c, mx, my, ((-1, 1), (-1, 2)), 's3')
    return c

# ---------------------------------------------------------------- the sheet
def make_chips():
    sh = lambda k, fx, fy: (lambda s: shore(k, fx, fy, s))
    pth = lambda d, cob=False: (lambda s: path(d, s, cob))
    return [  # each row of the sheet is one line of eight chips
        # grass: plain, tufts, fairy ring, yellow/white and red/blue flowers, clover, tall grass, stones
        lambda s: grass(s, 8), lambda s: grass(s, 4, 7), fairy_ring, lambda s: flowers(s, ('yl', 'wh'), 9),
        lambda s: flowers(s, ('rd', 'bl', 'pk', 'pu'), 9), clover, tall_grass,
        lambda s: stones(grass(s, 5), s, 7, 'g0'),
        # water in three phases, lily pads; sand: plain, stones, shells and a starfish, wind ripples
        lambda s: water(s, 5, 1), lambda s: water(s, 6, 2), lambda s: water(s, 4, 4), lily,
        lambda s: sand(s), lambda s: stones(sand(s), s, 8, 's0'), shells, sand_ripples,
        # shores: grass on the NW, N, NE, W, E, SW, S, SE of the water
        sh('outer', 0, 0), sh('N', 0, 0), sh('outer', 1, 0), sh('W', 0, 0),
        sh('W', 1, 0), sh('outer', 0, 1), sh('N', 0, 1), sh('outer', 1, 1),
        # inner shore corners (grass only in the NW, NE, SW, SE corner), dirt, reeds, bridge W and E halves
        sh('inner', 0, 0), sh('inner', 1, 0), sh('inner', 0, 1), sh('inner', 1, 1),
        dirt, reeds, lambda s: bridge(s, False), lambda s: bridge(s, True),
        # walls (grey, red, mossy, sandstone, cracked), a door, slab and cobble floors
        grey_bricks, lambda s: bricks(s, [(6, [12, 10, 10], 0), (5, [10, 12, 10], 6), (5, [11, 10, 11], 2)] * 2,
                                      ('r0', 'r1', 'r2', 'r3'), 'n0'),
        lambda s: bricks(s, [(10, [9, 13, 10], 3), (11, [12, 8, 12], 0), (11, [10, 11, 11], 6)],
                         ('k1', 'k2', 'k3'), 'k0', moss=0.45),
        lambda s: bricks(s, [(16, [16, 16], 0), (16, [16, 16], 8)], ('s0', 's1', 's2', 's3'), 'd0'),
        cracked, door, slabs, cobbles,
        # dirt paths E-W, N-S, corners N-E, N-W, S-E, S-W, crossing; a puddle
        pth('EW'), pth('NS'), pth('NE'), pth('NW'), pth('SE'), pth('SW'), pth('NESW'), puddle,
        # T junctions without N, S, E, W; path ends opening S and E; cobble paths E-W, N-S
        pth('ESW'), pth('NEW'), pth('NSW'), pth('NES'), pth('S'), pth('E'), pth('EW', True), pth('NS', True),
        # decorations: apple tree, pine, berry bush, rock, fence E-W and N-S, flowering bush, stump
        tree, pine, bush, rock, lambda s: fence(s, False), lambda s: fence(s, True),
        lambda s: bush(s, True), stump,
    ]


# chip -> attribute: 0 walkable ground, 1 water, 2 wall, 3 tree, rock or other obstacle
ATTR = {n: 1 for n in list(range(8, 12)) + list(range(16, 28)) + [29]}
ATTR.update({n: 2 for n in range(32, 37)})
ATTR.update({n: 3 for n in range(56, 64)})

# ---------------------------------------------------------------- the sample map
COLS, ROWS = 40, 30
SHORE = {(1, 0, 0, 1): 16, (1, 0, 0, 0): 17, (1, 1, 0, 0): 18, (0, 0, 0, 1): 19,  # land on (N, E, S, W)
         (0, 1, 0, 0): 20, (0, 0, 1, 1): 21, (0, 0, 1, 0): 22, (0, 1, 1, 0): 23}
INNER = {(-1, -1): 24, (1, -1): 25, (-1, 1): 26, (1, 1): 27}  # land only on this diagonal (dx, dy)
PATHS = {'EW': 40, 'NS': 41, 'EN': 42, 'NW': 43, 'ES': 44, 'SW': 45, 'ENSW': 46,
         'ESW': 48, 'ENW': 49, 'NSW': 50, 'ENS': 51, 'S': 52, 'E': 53}
# terrain letters placed by make_map -> chip (random variants are picked in make_map)
POND = {(5, 9): 11, (7, 6): 11, (8, 11): 11, (6, 5): 29, (8, 12): 29}  # lily pads and reeds in the lake
FIXED = {'D': 37, 'f': 38, 'v': 55, 'F': 60, 'H': 6, 'R': 59, 'B': 58, 'U': 63, 'Q': 62}

def make_map():
    rng = random.Random(2024)
    t = [['g'] * COLS for _ in range(ROWS)]  # terrain letters, resolved into chips below

    def fill(r0, r1, c0, c1, k):  # inclusive ranges
        for r in range(r0, r1 + 1):
            t[r][c0:c1 + 1] = [k] * (c1 + 1 - c0)
    for r, (a, b) in enumerate(((7, 11), (5, 12), (4, 13), (3, 14), (3, 14), (4, 14), (4, 13), (6, 12)), 3):
        fill(r, r, a, b, 'w')  # the lake, then the river leaving it southwards
    fill(11, 18, 10, 11, 'w'); fill(17, ROWS - 1, 12, 13, 'w')
    for r0, r1, c0, c1 in ((0, 4, 18, 18), (4, 4, 18, 20), (4, 26, 20, 20), (26, 26, 20, 39), (9, 9, 14, 19),
                           (16, 21, 30, 30), (23, 25, 8, 8), (25, 25, 5, 8), (25, 29, 5, 5), (22, 22, 0, 39)):
        fill(r0, r1, c0, c1, 'p')  # dirt roads
    fill(22, 22, 12, 13, 'b'); fill(22, 22, 31, 39, 'c')  # the bridge and the paved road east
    fill(3, 15, 24, 36, 'W'); fill(4, 14, 25, 35, 'y')  # the walled yard with its gate, hall floor, sand pit
    fill(15, 15, 30, 30, 'D'); fill(8, 14, 30, 30, 'v'); fill(4, 7, 27, 33, 'f'); fill(9, 12, 26, 28, 's')
    fill(24, 24, 22, 28, 'F'); fill(24, 24, 33, 38, 'F'); fill(25, 25, 22, 28, 'M'); fill(25, 25, 33, 38, 'M')
    for r, c in ((12, 4), (12, 5), (13, 5), (13, 6), (14, 5), (5, 16), (6, 16), (6, 17),
                 (19, 27), (19, 28), (20, 28)):  # tall grass
        t[r][c] = 'H'
    for r0, r1, c0, c1, dens in ((24, 30, 0, 10, 0.75), (0, 3, 0, 6, 0.6), (0, 21, 37, 40, 0.7),
                                 (27, 30, 21, 40, 0.55), (0, 3, 21, 24, 0.5), (11, 20, 0, 4, 0.35),
                                 (16, 22, 33, 37, 0.3), (14, 19, 14, 19, 0.3), (23, 26, 31, 33, 0.4)):  # woods
        for r in range(r0, r1):
            for c in range(c0, c1):
                if t[r][c] == 'g' and rng.random() < dens:
                    t[r][c] = 'T'
    for r, c, k in ((12, 8, 'R'), (20, 15, 'R'), (13, 17, 'B'), (18, 25, 'B'), (2, 14, 'R'), (17, 6, 'B'),
                    (23, 16, 'U'), (19, 2, 'U'), (5, 26, 'T'), (13, 34, 'T'), (5, 35, 'Q'), (11, 34, 'Q'),
                    (12, 35, 'Q'), (1, 16, 'B'), (28, 15, 'R'), (25, 31, 'Q'), (20, 38, 'R')):
        t[r][c] = k
    at = lambda r, c: t[min(max(r, 0), ROWS - 1)][min(max(c, 0), COLS - 1)]  # the map goes on past its edges
    wet = lambda r, c: at(r, c) in 'wb'
    chips = [[0] * COLS for _ in range(ROWS)]
    for r in range(ROWS):
        for c in range(COLS):
            k, roll = t[r][c], rng.random()
            if k in 'gy':  # mostly plain grass; garden bushes in the yard
                n = rng.choices(range(8), [70, 12, 2, 3, 3, 5, 3, 3])[0]
                n = 62 if k == 'y' and roll < 0.06 else n
            elif k == 'w':
                land = tuple(int(not wet(r + dr, c + dc)) for dr, dc in ((-1, 0), (0, 1), (1, 0), (0, -1)))
                diag = [d for d in INNER if not wet(r + d[1], c + d[0])]
                if any(land) and land not in SHORE or not any(land) and len(diag) > 1:
                    raise SystemExit('no shore chip fits row %d column %d' % (r, c))
                n = SHORE[land] if any(land) else INNER[diag[0]] if diag else \
                    POND.get((r, c), rng.choices([8, 9, 10], [45, 35, 20])[0])
            elif k == 'b':
                n = 30 if not wet(r, c - 1) else 31
            elif k in 'pc':
                dirs = ''.join(d for d, dr, dc in (('E', 0, 1), ('N', -1, 0), ('S', 1, 0), ('W', 0, -1))
                               if at(r + dr, c + dc) in 'pcbD')
                n = (54 if dirs == 'EW' else 55) if k == 'c' else PATHS[dirs]
            elif k in 'WsMT':
                n = {'W': rng.choices([32, 34, 36], [8, 1, 1])[0], 's': 12 + (roll < 0.3), 'M': 3 + (roll < 0.5),
                     'T': 57 if roll < 0.4 else 56}[k]
            else:
                n = FIXED[k]
            chips[r][c] = n
    return chips

# ---------------------------------------------------------------- files
def png(path, width, height, rows, alpha):
    raw = b''.join(b'\0' + b''.join(bytes(col) + (b'\xff' if alpha else b'') for col in row) for row in rows)
    chunk = lambda tag, data: struct.pack('>I', len(data)) + tag + data + struct.pack('>I', zlib.crc32(tag + data))
    head = struct.pack('>IIBBBBB', width, height, 8, 6 if alpha else 2, 0, 0, 0)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', head) + chunk(b'IDAT', zlib.compress(raw, 9))
                + chunk(b'IEND', b''))

def main():
    res = os.path.join(ROOT, 'res')
    os.makedirs(res, exist_ok=True)
    chips = [draw(1000 + 17 * n) for n, draw in enumerate(make_chips())]
    assert len(chips) == 64
    sheet = [[chips[(y // S) * 8 + x // S][y % S][x % S] for x in range(8 * S)] for y in range(8 * S)]
    png(os.path.join(res, 'chips.png'), 8 * S, 8 * S, sheet, True)
    cells = make_map()
    flat = [n for row in cells for n in row]
    with open(os.path.join(res, 'sample.map'), 'wb') as f:
        f.write(b'MAPB' + struct.pack('<I4i', 16 + 8 * ROWS * COLS, S, S, COLS, ROWS))
        f.write(struct.pack('<%di' % len(flat), *flat))
        f.write(struct.pack('<%di' % len(flat), *(ATTR.get(n, 0) for n in flat)))
    if '--preview' in sys.argv[1:-1]:
        view = [[chips[cells[y // S][x // S]][y % S][x % S] for x in range(COLS * S)]
                for y in range(ROWS * S)]
        png(sys.argv[sys.argv.index('--preview') + 1], COLS * S, ROWS * S, view, False)

if __name__ == '__main__':
    main()

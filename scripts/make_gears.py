#!/usr/bin/env python3
"""Draws the three frames of the progress window's turning gears: 40 x 40, 256-colour icons.

Three meshing cogwheels; each frame turns them a third of a tooth further, so that frame 3 would
equal frame 0 and the cycle 1, 2, 3, 1, ... reads as continuous motion. Standard library only.
Usage: python3 scripts/make_gears.py [output directory]   (default: res/ beside this script)
"""
import math
import os
import struct
import sys

SIZE = 40
SAMPLES = 4          # supersampling per axis for smooth edges
FRAMES = 3
MODULE = 1.9         # pixels of pitch diameter per tooth

# (teeth, hub radius, colour ramp dark -> light); centres are worked out so that the gears mesh.
GEARS = [
    (12, 3.2, ((40, 60, 100), (150, 185, 235))),   # large, steel blue
    (8, 2.4, ((110, 75, 10), (250, 205, 90))),     # medium, brass
    (6, 1.8, ((70, 70, 70), (215, 215, 215))),     # small, steel
]
SHADES = 80          # palette entries per gear; index 0 is the transparent background


def pitch_radius(teeth):
    return MODULE * teeth / 2.0


def layout():
    """Centres and start angles: gear 1 meshes with gear 0 up and to the right, gear 2 below it."""
    r0, r1, r2 = (pitch_radius(g[0]) for g in GEARS)
    c0 = (13.5, 25.0)
    a01 = math.radians(-33)
    c1 = (c0[0] + (r0 + r1) * math.cos(a01), c0[1] + (r0 + r1) * math.sin(a01))
    a12 = math.radians(80)
    c2 = (c1[0] + (r1 + r2) * math.cos(a12), c1[1] + (r1 + r2) * math.sin(a12))
    # Phase: at the contact direction one gear shows a tooth where its mate shows a gap.
    p0 = 0.0
    p1 = phase_for_mesh(c0, p0, GEARS[0][0], c1, GEARS[1][0])
    p2 = phase_for_mesh(c1, p1, GEARS[1][0], c2, GEARS[2][0])
    return [c0, c1, c2], [p0, p1, p2]


def phase_for_mesh(ca, pa, na, cb, nb):
    """Start angle of gear b such that a tooth of a at the contact line faces a gap of b."""
    alpha = math.atan2(cb[1] - ca[1], cb[0] - ca[0])
    teeth_a = (alpha - pa) * na / (2 * math.pi)         # tooth phase of a at the contact line
    # b's phase at the opposite direction must be a half-integer off a's, with opposite sense.
    want_b = 0.5 - teeth_a
    return alpha + math.pi - want_b * 2 * math.pi / nb


def tooth_profile(phase):
    """Radial extent of a tooth, 0 (root) to 1 (tip), for a phase in teeth (fraction used)."""
    f = phase - math.floor(phase)
    d = abs(f - 0.5) * 2        # 0 at tooth centre, 1 at gap centre
    if d < 0.38:
        return 1.0
    if d > 0.72:
        return 0.0
    return 1.0 - (d - 0.38) / (0.72 - 0.38)


def sample(gear, centre, angle, x, y):
    """Shade 0..1 of the gear at (x, y), or None outside it."""
    teeth, hub, _ = gear
    dx, dy = x - centre[0], y - centre[1]
    dist = math.hypot(dx, dy)
    rp = pitch_radius(teeth)
    root, tip = rp - 0.95 * MODULE, rp + 0.9 * MODULE
    theta = math.atan2(dy, dx)
    outer = root + (tip - root) * tooth_profile((theta - angle) * teeth / (2 * math.pi))
    if dist > outer or dist < hub:
        return None
    # Light from the top left; a darker rim and a raised ring around the hub.
    light = 0.55 - 0.35 * (dx + dy) / (tip * 1.5)
    if dist > outer - 0.9 or dist < hub + 0.8:
        light -= 0.35
    elif abs(dist - (root - 1.6)) < 0.7:
        light -= 0.2
    elif dist < hub + 2.2:
        light += 0.2
    return min(1.0, max(0.0, light))


def render(frame):
    centres, phases = layout()
    pixels = [[0] * SIZE for _ in range(SIZE)]
    mask = [[True] * SIZE for _ in range(SIZE)]
    step = 2 * math.pi / GEARS[0][0] / FRAMES          # a third of a tooth of the large gear
    angles = [phases[0] + frame * step]
    angles.append(phases[1] - frame * step * GEARS[0][0] / GEARS[1][0])
    angles.append(phases[2] + frame * step * GEARS[0][0] / GEARS[2][0])
    for y in range(SIZE):
        for x in range(SIZE):
            hits = {}
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    px = x + (sx + 0.5) / SAMPLES
                    py = y + (sy + 0.5) / SAMPLES
                    for i, gear in enumerate(GEARS):
                        s = sample(gear, centres[i], angles[i], px, py)
                        if s is not None:
                            hits.setdefault(i, []).append(s)
                            break
            covered = sum(len(v) for v in hits.values())
            if covered * 2 < SAMPLES * SAMPLES:
                continue
            gear = max(hits, key=lambda i: len(hits[i]))
            shade = sum(hits[gear]) / len(hits[gear])
            pixels[y][x] = 1 + gear * SHADES + min(SHADES - 1, int(shade * SHADES))
            mask[y][x] = False
    return pixels, mask


def palette():
    entries = [(0, 0, 0)]
    for _, _, (dark, light) in GEARS:
        for k in range(SHADES):
            t = k / (SHADES - 1)
            entries.append(tuple(round(d + (l - d) * t) for d, l in zip(dark, light)))
    entries += [(0, 0, 0)] * (256 - len(entries))
    return entries


def ico_bytes(pixels, mask):
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette())
    xor = b''.join(bytes(pixels[y]) for y in reversed(range(SIZE)))        # rows bottom-up, 40 bytes each
    and_rows = []
    for y in reversed(range(SIZE)):
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if mask[y][x] else 0)
        row = (bits << (64 - SIZE)).to_bytes(8, 'big')                   # 40 bits padded to 32-bit rows
        and_rows.append(row)
    image = header + colours + xor + b''.join(and_rows)
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res')
    for frame in range(FRAMES):
        pixels, mask = render(frame)
        with open(os.path.join(out, 'gear%d.ico' % (frame + 1)), 'wb') as f:
            f.write(ico_bytes(pixels, mask))


if __name__ == '__main__':
    main()

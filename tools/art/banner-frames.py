#!/usr/bin/env python3
"""Writes the 19 frames of the makers' banner (asset 45) to art/45-banner/.

Each frame is a full 468 x 60 picture. Everything that moves (the lighter
waves) is clipped to rows 10..49, so frames 01-18 differ from frame 00 only
inside that band; the build crops them to it. The waves advance by one
nineteenth of their period per frame, so the 19 frames loop without a jump.

Run from anywhere: python3 tools/art/banner-frames.py
"""
import math
import os

W, H = 468, 60
# The credits show the banner in a box 457 pixels wide: the frame line and
# the lettering keep inside it, so that both side borders show.
SHOWN_W = 457
FRAMES = 19
BAND_TOP, BAND_BOTTOM = 10, 50          # rows 10..49
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'art', '45-banner')


def wave_path(phase, mid, amp, half, wavelength, x0=0, x1=W):
    """A band between two sine curves, as a closed path."""
    top, bottom = [], []
    k = 2 * math.pi / wavelength
    x = x0
    while x <= x1:
        y = mid + amp * math.sin(k * x - phase)
        # the band is thicker on the crests, thinner in between
        h = half * (0.75 + 0.25 * math.cos(k * x - phase))
        top.append('%.1f %.1f' % (x, y - h))
        bottom.append('%.1f %.1f' % (x, y + h))
        x += 4
    return 'M' + ' L'.join(top) + ' L' + ' L'.join(reversed(bottom)) + 'Z'


def frame(n):
    t = n / FRAMES                                   # 0 .. 1 over the loop
    p1 = 2 * math.pi * t                             # main wave: one period per loop
    p2 = 2 * math.pi * 2 * t + 1.3                   # thin wave: two periods per loop
    s = []
    s.append('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
             'width="%d" height="%d" viewBox="0 0 %d %d">' % (W, H, W, H))
    s.append('<title>STUDIO ZAZA banner, frame %02d of %d</title>' % (n, FRAMES))
    s.append('<defs>')
    s.append(' <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">'
             '<stop offset="0" stop-color="#071c6e"/><stop offset="0.5" stop-color="#1640b8"/>'
             '<stop offset="1" stop-color="#071c6e"/></linearGradient>')
    s.append(' <clipPath id="band"><rect x="6" y="%d" width="%d" height="%d"/></clipPath>'
             % (BAND_TOP, SHOWN_W - 12, BAND_BOTTOM - BAND_TOP))
    s.append('</defs>')
    # still part: background and frame line
    s.append('<rect width="%d" height="%d" fill="url(#sky)"/>' % (W, H))
    s.append('<rect x="2.5" y="2.5" width="%d" height="%d" rx="4" fill="none" stroke="#ffd21e" stroke-width="2"/>'
             % (SHOWN_W - 5, H - 5))
    s.append('<rect x="5" y="5" width="%d" height="%d" rx="2" fill="none" stroke="#04103f" stroke-width="1"/>'
             % (SHOWN_W - 10, H - 10))
    # moving part: lighter waves, kept inside the band
    s.append('<g clip-path="url(#band)">')
    s.append(' <path d="%s" fill="#6f9cff" fill-opacity="0.7"/>' % wave_path(p1, 30, 9, 7, 234))
    s.append(' <path d="%s" fill="#c4d8ff" fill-opacity="0.6"/>' % wave_path(p2, 30, 6, 1.6, 117))
    s.append('</g>')
    # lettering, the same in every frame and inside the band
    s.append('<g font-family="DejaVu Sans" font-weight="bold">')
    # the studio mark: a yellow crescent on a black disc
    s.append(' <circle cx="34" cy="30" r="15" fill="#0c0c10" stroke="#ffd21e" stroke-width="1.5"/>')
    s.append(' <circle cx="32.5" cy="30" r="10" fill="#ffd21e"/>')
    s.append(' <circle cx="36.8" cy="27.6" r="8.8" fill="#0c0c10"/>')
    big = 'x="62" y="40" font-size="26" letter-spacing="0.5"'
    s.append(' <text %s fill="#04103f" transform="translate(2,2)" stroke="#04103f" stroke-width="4" '
             'stroke-linejoin="round">STUDIO ZAZA</text>' % big)
    s.append(' <text %s fill="#ffd814" stroke="#04103f" stroke-width="4" stroke-linejoin="round" '
             'paint-order="stroke">STUDIO ZAZA</text>' % big)
    small = 'x="%d" y="36" font-size="15" text-anchor="end"' % (SHOWN_W - 14)
    s.append(' <text %s fill="#ffe97a" stroke="#04103f" stroke-width="3" stroke-linejoin="round" '
             'paint-order="stroke">www.example.com</text>' % small)
    s.append('</g>')
    s.append('</svg>')
    return '\n'.join(s) + '\n'


def main():
    os.makedirs(OUT, exist_ok=True)
    for n in range(FRAMES):
        with open(os.path.join(OUT, 'frame-%02d.svg' % n), 'w', encoding='utf-8') as f:
            f.write(frame(n))


if __name__ == '__main__':
    main()

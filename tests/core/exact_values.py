#!/usr/bin/env python3
"""Reference values for tst_chamber and tst_sketch, computed independently of the C++ code.

The sizing follows the published steps with the program's own PI = 3.141592654 (not math.pi)
in every place, including the degree-to-radian conversion. The sketch stores every coordinate
as a 32-bit float and reads it back before the next step, as the window's line elements do.
Python floats are IEEE doubles and `**`, math.tan call the same C library as the program, so
the results are bit for bit those a correct implementation gives. Run it and paste its output
into the tests when a design is added:

    python3 tests/core/exact_values.py
"""
import math
import struct

PI = 3.141592654
GAMMA_R = (1.4 * 8314) / 29

DESIGNS = [
    # CIL, RPM, ASP, SC, CONV, DIV, TEMP1, RAPPSEZ
    (125.5, 9500, 118.5, 183.25, 7.5, 2.75, 650.5, 4.4),
    (49.9, 13250, 125, 190, 6.25, 3.5, 720, 6.8),
    (250, 6350.5, 110, 175.5, 9, 2.2, 900, 2.5),
]
FRAME_WIDTH = 11520


def chamber(cil, rpm, asp, sc, conv, div, temp1, rappsez):
    a1 = ((temp1 + 273) * GAMMA_R) ** 0.5
    a2 = (((temp1 - 280) + 273) * GAMMA_R) ** 0.5
    l1 = (((a1 / 24) * (sc - asp)) / rpm) * 1000
    d1 = ((((4 * cil) * 1e-6) * rpm) / ((PI * 40) * 60)) ** 0.5 * 1000
    d2 = d1 * rappsez ** 0.5
    l2 = (0.5 * (d2 - d1)) / math.tan(div * PI / 180)
    l3 = (((a2 / 24) * (sc + asp)) / rpm) * 1000 - (l1 + l2)
    d3 = ((((4 * cil) * 1e-6) * rpm) / ((PI * 80) * 60)) ** 0.5 * 1000
    l4 = (0.5 * (d2 - d3)) / math.tan(conv * PI / 180)
    l5 = 200.0
    ltot = (((l1 + l2) + l3) + l4) + l5
    return dict(a1=a1, a2=a2, L1=l1, L2=l2, L3=l3, L4=l4, L5=l5, D1=d1, D2=d2, D3=d3, LTOT=ltot)


def f32(v):
    return struct.unpack('f', struct.pack('f', v))[0]


def sketch(c, width):
    h = (width - 1200) / c['LTOT']
    s = 500 / c['D3']
    lengths = [c['L1'], c['L2'], c['L3'], c['L4'], c['L5']]
    up = [0, -((c['D2'] - c['D1']) / 2) * s, 0, ((c['D2'] - c['D3']) / 2) * s, 0]
    low = [0, ((c['D2'] - c['D1']) / 2) * s, 0, -((c['D2'] - c['D3']) / 2) * s, 0]
    upper, lower = [], []
    for k in range(5):
        x1 = f32(1080) if k == 0 else upper[k - 1][2]
        x2 = f32(x1 + lengths[k] * h)
        y1 = f32(1800 - (c['D1'] / 2) * s) if k == 0 else upper[k - 1][3]
        y2 = f32(y1 + up[k])
        upper.append((x1, y1, x2, y2))
    for k in range(5):
        y1 = f32(upper[0][1] + c['D1'] * s) if k == 0 else lower[k - 1][3]
        lower.append((upper[k][0], y1, upper[k][2], f32(y1 + low[k])))
    return upper, lower


def main():
    print('// chamber: CIL, RPM, ASP, SC, CONV, DIV, TEMP1, RAPPSEZ, then a1 a2 L1..L5 D1..D3 LTOT')
    for d in DESIGNS:
        c = chamber(*d)
        keys = ['a1', 'a2', 'L1', 'L2', 'L3', 'L4', 'L5', 'D1', 'D2', 'D3', 'LTOT']
        print('{%s}, {%s},' % (', '.join(repr(float(v)) for v in d),
                               ', '.join(c[k].hex() for k in keys)))
    print('// sketch at width %d: Linea1..Linea5 then Linea1b..Linea5b, (X1, Y1, X2, Y2)' % FRAME_WIDTH)
    for d in DESIGNS:
        upper, lower = sketch(chamber(*d), FRAME_WIDTH)
        print('{' + ', '.join('{%s}' % ', '.join(v.hex() for v in line) for line in upper + lower)
              + '},')


main()

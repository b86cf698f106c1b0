#!/usr/bin/env python3
"""Renders the band of meshes built by make_meshes.py to PPM images, to look at
the shapes without the program: a flat unrolled map of the outer faces and a few
shaded views from outside, back faces culled by their winding.

    python3 tools/preview_meshes.py OUT_DIR [view_degrees ...]
"""

import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_meshes  # noqa: E402

COLOURS = [(0.9, 0.9, 0.9), (0.0, 0.7, 0.05), (1.0, 0.667, 0.0), (0.2, 0.6, 1.0),
           (0.2, 0.6, 1.0), (0.9, 0.0, 0.0), (0.0, 0.0, 0.9), (0.0, 0.0, 0.9)]


class Image:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.rgb = bytearray(b"\x18\x18\x20" * (w * h))
        self.z = [math.inf] * (w * h)

    def tri(self, a, b, c, colour):
        """a, b, c: (sx, sy, depth) in pixels; smaller depth is nearer."""
        x0 = max(0, int(math.floor(min(a[0], b[0], c[0]))))
        x1 = min(self.w - 1, int(math.ceil(max(a[0], b[0], c[0]))))
        y0 = max(0, int(math.floor(min(a[1], b[1], c[1]))))
        y1 = min(self.h - 1, int(math.ceil(max(a[1], b[1], c[1]))))
        area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
        if area == 0:
            return
        px = bytes(max(0, min(255, int(v * 255))) for v in colour)
        for y in range(y0, y1 + 1):
            py = y + 0.5
            for x in range(x0, x1 + 1):
                qx = x + 0.5
                w0 = ((b[0] - qx) * (c[1] - py) - (b[1] - py) * (c[0] - qx)) / area
                w1 = ((c[0] - qx) * (a[1] - py) - (c[1] - py) * (a[0] - qx)) / area
                w2 = 1.0 - w0 - w1
                if w0 < 0 or w1 < 0 or w2 < 0:
                    continue
                d = w0 * a[2] + w1 * b[2] + w2 * c[2]
                i = y * self.w + x
                if d < self.z[i]:
                    self.z[i] = d
                    self.rgb[3 * i:3 * i + 3] = px

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (self.w, self.h))
            f.write(bytes(self.rgb))


def render_view(meshes, view_deg, path, w=900, h=700, elev_deg=12.0):
    """Orthographic view from outside at angle view_deg, slightly from above."""
    a, e = math.radians(view_deg), math.radians(elev_deg)
    fwd = (-math.cos(a) * math.cos(e), -math.sin(e), -math.sin(a) * math.cos(e))  # towards axis
    up0 = (0.0, 1.0, 0.0)
    right = (fwd[1] * up0[2] - fwd[2] * up0[1], fwd[2] * up0[0] - fwd[0] * up0[2],
             fwd[0] * up0[1] - fwd[1] * up0[0])
    ln = math.sqrt(sum(v * v for v in right))
    right = tuple(v / ln for v in right)
    up = (right[1] * fwd[2] - right[2] * fwd[1], right[2] * fwd[0] - right[0] * fwd[2],
          right[0] * fwd[1] - right[1] * fwd[0])
    light = tuple(-v for v in fwd)
    light = (light[0] + 0.3 * up[0] - 0.3 * right[0], light[1] + 0.3 * up[1] - 0.3 * right[1],
             light[2] + 0.3 * up[2] - 0.3 * right[2])
    ll = math.sqrt(sum(v * v for v in light))
    light = tuple(v / ll for v in light)
    scale = min(w, h) / 30.0
    img = Image(w, h)
    for k, mb in enumerate(meshes):
        proj = [(w / 2 + scale * sum(p[i] * right[i] for i in range(3)),
                 h / 2 - scale * sum(p[i] * up[i] for i in range(3)),
                 sum(p[i] * fwd[i] for i in range(3))) for p in mb.pos]
        for (i, j, l) in mb.tris:
            A, B, C = proj[i], proj[j], proj[l]
            # Screen y points down, so counter-clockwise on screen is negative here.
            if (B[0] - A[0]) * (C[1] - A[1]) - (B[1] - A[1]) * (C[0] - A[0]) >= 0:
                continue
            n = [mb.nrm[i][t] + mb.nrm[j][t] + mb.nrm[l][t] for t in range(3)]
            nl = math.sqrt(sum(v * v for v in n)) or 1.0
            lam = max(0.0, sum(n[t] * light[t] for t in range(3)) / nl)
            shade = 0.3 + 0.7 * lam
            img.tri(A, B, C, tuple(c * shade for c in COLOURS[k]))
    img.save(path)


def render_map(meshes, path, w=1800, h=260):
    """The outer faces unrolled: angle -180..180 left to right, y upwards."""
    img = Image(w, h)
    sx = w / 360.0
    sy = h / 26.0
    for k, mb in enumerate(meshes):
        for (i, j, l) in mb.tris:
            ps = [mb.pos[i], mb.pos[j], mb.pos[l]]
            n = mb.nrm[i]
            r = math.hypot(ps[0][0], ps[0][2])
            if abs(r - make_meshes.R_OUT) > 1e-3 or (n[0] * ps[0][0] + n[2] * ps[0][2]) < 0.9 * r:
                continue
            pts = [((math.degrees(math.atan2(p[2], p[0])) + 180.0) * sx, h / 2 - p[1] * sy, 0.0)
                   for p in ps]
            img.tri(pts[0], pts[1], pts[2], COLOURS[k])
    img.save(path)


def main(argv):
    out = argv[0] if argv else "build-preview"
    views = [float(v) for v in argv[1:]] or [50.0, -55.0, -150.0, 140.0]
    os.makedirs(out, exist_ok=True)
    meshes = [make_meshes.build_mesh(k) for k in range(8)]
    render_map(meshes, os.path.join(out, "map.ppm"))
    for v in views:
        render_view(meshes, v, os.path.join(out, "view%+04d.ppm" % int(v)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

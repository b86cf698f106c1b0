#!/usr/bin/env python3
"""Writes render/meshes/mesh0.cpp .. mesh7.cpp, the constant geometry of the band.

Run from the repository root:  python3 tools/make_meshes.py
Options:  --tune  searches each mesh's outline resolution for its triangle budget
                  and prints the SEG table instead of writing files.

Every ornament is a flat 2-D outline (with holes) in (u, y), where u is arc
length around the y axis measured at radius R_MID.  The outline is wrapped onto
the cylinder and extruded radially: an outer face at R_OUT, an inner face at
R_IN and side walls between them.  Angle = u / R_MID radians, measured from +x
towards +z, so a point is (r cos a, y, r sin a).

Pure standard library; the output depends only on this file.
"""

import math
import os
import struct
import sys

R_IN = 10.0
R_OUT = 11.35
R_MID = 0.5 * (R_IN + R_OUT)

# Cap triangles are cut along lines of constant angle STRIP_DEG[k] apart, so that
# no flat triangle spans more than that much of the curved face.
STRIP_DEG = [1.5, 1.5, 1.5, 2.0, 1.5, 1.5, 1.5, 1.5]
STRIP_OFFSET_DEG = 0.37  # keeps the cut lines off the exact box edges

# Walls turn sharply (duplicated vertices, flat normals) where the outline turns
# by more than this; gentler bends share one averaged normal.
CORNER_DEG = 28.0

TAU = 2.0 * math.pi


def deg_to_u(d):
    return math.radians(d) * R_MID


# ---------------------------------------------------------------------------
# 2-D outline helpers.  A contour is a closed list of (x, y) without repeating
# the first point.  Generators sample densely; resample() sets the final spacing.

def signed_area(c):
    a = 0.0
    n = len(c)
    for i in range(n):
        x0, y0 = c[i]
        x1, y1 = c[(i + 1) % n]
        a += x0 * y1 - x1 * y0
    return 0.5 * a


def oriented(c, ccw):
    if (signed_area(c) > 0) != ccw:
        return list(reversed(c))
    return list(c)


def circle(cx, cy, r, n=720, start=0.0):
    return [(cx + r * math.cos(start + TAU * i / n), cy + r * math.sin(start + TAU * i / n))
            for i in range(n)]


def ellipse(cx, cy, rx, ry, n=720):
    return [(cx + rx * math.cos(TAU * i / n), cy + ry * math.sin(TAU * i / n)) for i in range(n)]


def polar(fn, n=2880, sx=1.0, sy=1.0, cx=0.0, cy=0.0):
    """Closed curve r = fn(t) for t in [0, tau), optionally stretched."""
    out = []
    for i in range(n):
        t = TAU * i / n
        r = fn(t)
        out.append((cx + sx * r * math.cos(t), cy + sy * r * math.sin(t)))
    return out


def star(points, r_out, r_in, cx=0.0, cy=0.0, rot=math.pi / 2, sy=1.0):
    """Star polygon with sharp tips and sharp inner notches."""
    out = []
    for i in range(2 * points):
        r = r_out if i % 2 == 0 else r_in
        t = rot + math.pi * i / points
        out.append((cx + r * math.cos(t), cy + sy * r * math.sin(t)))
    return out


def arc(cx, cy, r, a0, a1, n):
    """Points on a circle from angle a0 to a1 inclusive (radians, either direction)."""
    return [(cx + r * math.cos(a0 + (a1 - a0) * i / n), cy + r * math.sin(a0 + (a1 - a0) * i / n))
            for i in range(n + 1)]


def crescent(c, r2, n=600):
    """Unit disc minus the disc of radius r2 centred at (c, 0); with c < 0 the
    horns point towards -x.  The two circles must cross."""
    x = (1.0 + c * c - r2 * r2) / (2.0 * c)
    y = math.sqrt(1.0 - x * x)
    ta = math.atan2(y, x)       # upper horn, on the unit circle
    tb = math.atan2(y, x - c)   # the same point, on the inner circle
    outer = arc(0.0, 0.0, 1.0, ta, -ta, n)    # round the +x side, upper to lower horn
    inner = arc(c, 0.0, r2, -tb, tb, n)       # back up along the inner circle
    return outer[:-1] + inner[:-1]


def disc_chain(centers, r, n=720):
    """Outline of the union of equal discs centred on the y axis (centres
    ascending), each overlapping only its neighbours."""
    k = len(centers)
    right = []
    for i, cy in enumerate(centers):
        lo = -math.pi / 2 if i == 0 else -math.asin(0.5 * (cy - centers[i - 1]) / r)
        hi = math.pi / 2 if i == k - 1 else math.asin(0.5 * (centers[i + 1] - cy) / r)
        seg = arc(0.0, cy, r, lo, hi, max(8, int(n * (hi - lo) / TAU)))
        right.extend(seg[:-1] if i < k - 1 else seg)
    left = [(-x, y) for (x, y) in reversed(right)]
    return dedupe(right + left[1:])


def dedupe(c, tol=1e-12):
    out = []
    for p in c:
        if not out or abs(p[0] - out[-1][0]) > tol or abs(p[1] - out[-1][1]) > tol:
            out.append(p)
    while len(out) > 1 and abs(out[0][0] - out[-1][0]) <= tol and abs(out[0][1] - out[-1][1]) <= tol:
        out.pop()
    return out


def profile(width_fn, center_fn=lambda t: 0.0, n=1200):
    """Closed outline of a vertical figure: for t in [0, 1] (bottom to top), the
    half-width width_fn(t) about the centre line x = center_fn(t).  Widths of 0
    at the ends make points."""
    right, left = [], []
    for i in range(n + 1):
        t = i / n
        w = width_fn(t)
        c = center_fn(t)
        right.append((c + w, t))
        left.append((c - w, t))
    out = right + list(reversed(left))
    return dedupe(out)


# ---------------------------------------------------------------------------
# The ornaments.  Each returns a list of pieces; a piece is [outer, hole, ...].

def ornament_crescent():
    # The moon's horns open towards lower angles and embrace the small dark
    # blue staff that stands just before it.
    return [[crescent(-0.38, 0.98)]]


def ornament_quatrefoil():
    # Four rounded petals about a round eye, each petal pierced near its tip.
    def r(t):
        return 0.62 + 0.38 * abs(math.cos(2.0 * (t - math.pi / 4))) ** 0.6
    outer = polar(r)
    holes = [circle(0.0, 0.0, 0.24, 360)]
    for k in range(4):
        a = math.pi / 4 + k * math.pi / 2
        holes.append(circle(0.7 * math.cos(a), 0.7 * math.sin(a), 0.11, 240))
    return [[outer] + holes]


def ornament_flame():
    # A tall swaying flame with a tongue-shaped opening in its heart.
    def w(t):
        return 0.5 * math.sin(math.pi * min(1.0, t ** 0.62)) * (1.0 - 0.35 * t) if t < 1.0 else 0.0

    def c(t):
        return 0.16 * math.sin(2.4 * math.pi * t) * t

    outer = profile(w, c)

    def wi(t):
        return 0.19 * math.sin(math.pi * t ** 0.75)

    def ci(t):
        return 0.05 * math.sin(2.0 * math.pi * t)

    inner = profile(wi, ci, n=800)
    inner = [(x, 0.16 + 0.42 * y) for (x, y) in inner]
    return [[outer, inner]]


def ornament_ring_and_star():
    # An oval ring with a six-pointed star floating free inside it.
    outer = ellipse(0.0, 0.0, 1.0, 1.28)
    hole = ellipse(0.0, 0.0, 0.8, 1.06)
    inner_star = star(6, 0.74, 0.36, sy=1.18)
    return [[outer, hole], [inner_star, circle(0.0, 0.0, 0.14, 240)]]


def ornament_octagram():
    # An eight-pointed star pierced by a round eye.
    return [[star(8, 1.0, 0.6, rot=math.pi / 8), circle(0.0, 0.0, 0.3, 360)]]


def ornament_canopy():
    # A horns-down crescent arching over the octagram beneath it.
    return [[[(y, -x) for (x, y) in crescent(-0.42, 0.95)]]]


def ornament_sun():
    # A twelve-rayed sun with an open ring in its middle.
    rays = star(12, 1.0, 0.74, rot=math.pi / 2)
    return [[rays, circle(0.0, 0.0, 0.46, 480)], [circle(0.0, 0.0, 0.24, 360)]]


def ornament_ring_chain():
    # Three linked rings in a column, each holding a four-pointed star.
    centers = [-1.9, 0.0, 1.9]
    outer = disc_chain(centers, 1.0)
    holes = [circle(0.0, cy, 0.66, 480) for cy in centers]
    pieces = [[outer] + holes]
    for cy in centers:
        pieces.append([star(4, 0.5, 0.17, cy=cy, rot=math.pi / 2)])
    return pieces


def ornament_spindle(beads=3):
    # A rune-like staff: a pointed column swelling into beads, each bead pierced
    # by a diamond.
    def w(t):
        s = math.sin(math.pi * t)
        beadwave = 0.55 + 0.45 * abs(math.sin(beads * math.pi * t))
        return 0.5 * s ** 0.5 * beadwave

    outer = profile(w)
    holes = []
    for k in range(beads):
        tc = (k + 0.5) / beads
        hw = 0.16 * math.sin(math.pi * tc) ** 0.5
        hh = 0.33 / beads
        holes.append([(hw, tc), (0.0, tc + hh / 2), (-hw, tc), (0.0, tc - hh / 2)])
    return [[outer] + holes]


def ornament_vesica():
    # A pointed oval pierced by a four-pointed star with a round eye above and below.
    def w(t):
        # Two circular arcs meeting in points at t = 0 and t = 1.
        rr = 0.7
        d = math.sqrt(max(0.0, rr * rr - (t - 0.5) ** 2)) - math.sqrt(rr * rr - 0.25)
        return d * 0.5 / (rr - math.sqrt(rr * rr - 0.25))

    outer = profile(w)
    holes = [star(4, 0.2, 0.07, cy=0.5, sy=1.2),
             circle(0.0, 0.2, 0.085, 240), circle(0.0, 0.8, 0.085, 240)]
    return [[outer] + holes]


# Each mesh: a list of groups (angle_from, angle_to, y_from, y_to, ornament);
# a group's pieces are scaled together to fill its box exactly.
MESHES = [
    [(18.0, 88.0, -5.12, 12.72, ornament_crescent)],
    [(-32.0, 14.0, -4.49, 4.99, ornament_quatrefoil)],
    [(-79.0, -33.0, -11.46, 10.06, ornament_flame)],
    [(-131.0, -92.0, -4.34, 4.97, ornament_ring_and_star)],
    [(-177.0, -140.0, -2.37, 4.99, ornament_octagram)],
    [(-178.0, -135.0, 5.45, 9.26, ornament_canopy),
     (-178.0, -135.0, -10.63, -2.85, ornament_sun)],
    [(126.0, 168.0, -12.72, 11.48, ornament_ring_chain)],
    [(-86.0, -80.0, -4.39, 4.86, ornament_spindle),
     (17.0, 24.0, -4.39, 4.86, ornament_spindle),
     (99.0, 119.0, -4.39, 4.86, ornament_vesica),
     (171.0, 177.0, -4.39, 4.86, ornament_spindle)],
]

# Outline spacing (model units) per mesh, chosen with --tune so that each mesh
# comes close to its triangle budget.
TARGET_TRIANGLES = [4092, 1762, 2764, 1286, 1073, 2132, 5738, 2846]
SEG = [0.0724, 0.191, 0.1165, 0.344, 0.203, 0.197, 0.137, 0.1905]


def place_group(group):
    """Pieces of one group in (u, y), scaled to fill its box."""
    a0, a1, y0, y1, fn = group
    pieces = fn()
    xs = [p[0] for piece in pieces for p in piece[0]]
    ys = [p[1] for piece in pieces for p in piece[0]]
    bx0, bx1, by0, by1 = min(xs), max(xs), min(ys), max(ys)
    u0, u1 = deg_to_u(a0), deg_to_u(a1)
    sx = (u1 - u0) / (bx1 - bx0)
    sy = (y1 - y0) / (by1 - by0)
    placed = []
    for piece in pieces:
        contours = []
        for i, c in enumerate(piece):
            m = [(u0 + (x - bx0) * sx, y0 + (y - by0) * sy) for (x, y) in c]
            # Keep the box edges exact against rounding.
            m = [(min(max(x, u0), u1), min(max(y, y0), y1)) for (x, y) in m]
            contours.append(oriented(dedupe(m), i == 0))
        placed.append(contours)
    return placed


# ---------------------------------------------------------------------------
# Resampling: corners (sharp turns) are kept exactly; the runs between them are
# re-spaced evenly at about `seg`.

def turn_deg(a, b, c):
    ax, ay = b[0] - a[0], b[1] - a[1]
    bx, by = c[0] - b[0], c[1] - b[1]
    return math.degrees(abs(math.atan2(ax * by - ay * bx, ax * bx + ay * by)))


def resample(c, seg):
    n = len(c)
    corners = [i for i in range(n) if turn_deg(c[i - 1], c[i], c[(i + 1) % n]) > CORNER_DEG]
    if not corners:
        # Start a smooth loop at its lowest-then-leftmost point for determinism.
        start = min(range(n), key=lambda i: (c[i][1], c[i][0]))
        corners = [start]
    out = []
    for k, ci in enumerate(corners):
        cj = corners[(k + 1) % len(corners)]
        run = [c[ci]]
        i = ci
        while True:
            i = (i + 1) % n
            run.append(c[i])
            if i == cj:
                break
        lengths = [0.0]
        for p, q in zip(run, run[1:]):
            lengths.append(lengths[-1] + math.hypot(q[0] - p[0], q[1] - p[1]))
        total = lengths[-1]
        m = max(1, int(round(total / seg)))
        out.append(run[0])
        j = 0
        for s in range(1, m):
            target = total * s / m
            while lengths[j + 1] < target:
                j += 1
            t = (target - lengths[j]) / (lengths[j + 1] - lengths[j])
            p, q = run[j], run[j + 1]
            out.append((p[0] + t * (q[0] - p[0]), p[1] + t * (q[1] - p[1])))
    return dedupe(out)


# ---------------------------------------------------------------------------
# Ear clipping with hole bridging.

def cross(o, a, b):
    return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])


def in_triangle(p, a, b, c):
    """Inside or on the boundary of the counter-clockwise triangle abc."""
    return cross(a, b, p) >= 0.0 and cross(b, c, p) >= 0.0 and cross(c, a, p) >= 0.0


def in_wedge(prev, v, nxt, p):
    """Whether direction v->p lies inside the polygon interior at vertex v
    (interior on the left of a counter-clockwise boundary)."""
    if cross(prev, v, nxt) >= 0.0:  # convex corner
        return cross(prev, v, p) > 0.0 and cross(v, nxt, p) > 0.0
    return not (cross(prev, v, p) <= 0.0 and cross(v, nxt, p) <= 0.0)


def bridge_holes(pts, outer, holes):
    """Returns one index loop containing the outer loop and every hole, joined
    by zero-width bridges.  pts: coordinate list; outer/holes: index loops,
    outer counter-clockwise, holes clockwise."""
    loop = list(outer)
    order = sorted(holes, key=lambda h: -max(pts[i][0] for i in h))
    for hole in order:
        mi = max(range(len(hole)), key=lambda k: (pts[hole[k]][0], -pts[hole[k]][1]))
        m = pts[hole[mi]]
        best = None  # (x, edge index)
        n = len(loop)
        for e in range(n):
            a, b = pts[loop[e]], pts[loop[(e + 1) % n]]
            if (a[1] > m[1]) == (b[1] > m[1]):
                if not (a[1] == m[1] and a[0] >= m[0]):
                    continue
            if a[1] == b[1]:
                x = min(a[0], b[0])
            else:
                x = a[0] + (m[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1])
            if x < m[0]:
                continue
            if best is None or x < best[0]:
                best = (x, e)
        if best is None:
            raise RuntimeError("hole outside its outline")
        ix, e = best
        ea, eb = loop[e], loop[(e + 1) % n]
        cand = ea if pts[ea][0] > pts[eb][0] else eb
        i_pt = (ix, m[1])
        p = pts[cand]
        # Reflex loop vertices inside triangle (m, i_pt, p) would block the view.
        tri = (m, i_pt, p) if cross(m, i_pt, p) > 0 else (m, p, i_pt)
        blockers = []
        for k in range(n):
            v = pts[loop[k]]
            if loop[k] == cand or v == p:
                continue
            if cross(pts[loop[k - 1]], v, pts[loop[(k + 1) % n]]) < 0.0 and in_triangle(v, *tri):
                blockers.append(loop[k])
        if blockers:
            def key(i):
                v = pts[i]
                dx, dy = v[0] - m[0], v[1] - m[1]
                return (abs(math.atan2(dy, dx)), dx * dx + dy * dy)
            cand = min(blockers, key=key)
        # The chosen vertex may appear more than once (earlier bridges); use the
        # occurrence whose interior wedge faces the hole.
        occ = [k for k in range(n) if loop[k] == cand]
        pos = occ[0]
        for k in occ:
            if in_wedge(pts[loop[k - 1]], pts[loop[k]], pts[loop[(k + 1) % n]], m):
                pos = k
                break
        hole_seq = hole[mi:] + hole[:mi] + [hole[mi]]
        loop = loop[:pos + 1] + hole_seq + [loop[pos]] + loop[pos + 1:]
    return loop


def ear_clip(pts, loop):
    """Triangulates a counter-clockwise index loop (possibly with bridges).
    Returns counter-clockwise index triangles."""
    n = len(loop)
    prv = [(i - 1) % n for i in range(n)]
    nxt = [(i + 1) % n for i in range(n)]
    alive = n
    P = [pts[i] for i in loop]

    def is_reflex(i):
        return cross(P[prv[i]], P[i], P[nxt[i]]) <= 0.0

    reflex = set(i for i in range(n) if is_reflex(i))
    tris = []

    def is_ear(i):
        a, b, c = P[prv[i]], P[i], P[nxt[i]]
        if cross(a, b, c) <= 1e-14:
            return False
        x0 = min(a[0], b[0], c[0]); x1 = max(a[0], b[0], c[0])
        y0 = min(a[1], b[1], c[1]); y1 = max(a[1], b[1], c[1])
        for j in reflex:
            if j == i or j == prv[i] or j == nxt[i]:
                continue
            p = P[j]
            if p[0] < x0 or p[0] > x1 or p[1] < y0 or p[1] > y1:
                continue
            if p == a or p == b or p == c:
                continue
            if in_triangle(p, a, b, c):
                return False
        return True

    i = 0
    stall = 0
    while alive > 3:
        if is_ear(i):
            tris.append((loop[prv[i]], loop[i], loop[nxt[i]]))
            a, c = prv[i], nxt[i]
            nxt[a] = c
            prv[c] = a
            reflex.discard(i)
            alive -= 1
            for k in (a, c):
                if is_reflex(k):
                    reflex.add(k)
                else:
                    reflex.discard(k)
            i = a
            stall = 0
        else:
            i = nxt[i]
            stall += 1
            if stall > alive:
                # No clean ear (numerical trouble): clip the most convex corner.
                best, bi = -1.0, i
                k = i
                for _ in range(alive):
                    cr = cross(P[prv[k]], P[k], P[nxt[k]])
                    if cr > best:
                        best, bi = cr, k
                    k = nxt[k]
                i = bi
                tris.append((loop[prv[i]], loop[i], loop[nxt[i]]))
                a, c = prv[i], nxt[i]
                nxt[a] = c
                prv[c] = a
                reflex.discard(i)
                alive -= 1
                for k in (a, c):
                    if is_reflex(k):
                        reflex.add(k)
                    else:
                        reflex.discard(k)
                i = a
                stall = 0
    a = i
    tris.append((loop[prv[a]], loop[a], loop[nxt[a]]))
    return [t for t in tris if cross(pts[t[0]], pts[t[1]], pts[t[2]]) > 1e-12]


def in_circumcircle(a, b, c, d):
    """Whether d lies strictly inside the circle through counter-clockwise a, b, c."""
    ax, ay = a[0] - d[0], a[1] - d[1]
    bx, by = b[0] - d[0], b[1] - d[1]
    cx, cy = c[0] - d[0], c[1] - d[1]
    det = ((ax * ax + ay * ay) * (bx * cy - cx * by) - (bx * bx + by * by) * (ax * cy - cx * ay)
           + (cx * cx + cy * cy) * (ax * by - bx * ay))
    scale = (ax * ax + ay * ay + bx * bx + by * by + cx * cx + cy * cy) ** 2
    return det > 1e-12 * scale


def delaunay_flip(pts, tris, fixed):
    """Lawson edge flips towards a constrained Delaunay triangulation, so that
    triangles are short and cross few cut lines.  fixed: set of outline edges
    (as sorted index pairs) that must stay."""
    tris = [list(t) for t in tris]
    edge_tris = {}
    for ti, t in enumerate(tris):
        for e in range(3):
            a, b = t[e], t[(e + 1) % 3]
            edge_tris.setdefault((min(a, b), max(a, b)), []).append(ti)
    stack = sorted(k for k, v in edge_tris.items() if len(v) == 2 and k not in fixed)
    guard = 50 * len(tris) + 1000
    while stack and guard > 0:
        guard -= 1
        key = stack.pop()
        owners = edge_tris.get(key)
        if not owners or len(owners) != 2:
            continue
        t0, t1 = owners
        a, b = key
        c = [v for v in tris[t0] if v != a and v != b]
        d = [v for v in tris[t1] if v != a and v != b]
        if len(c) != 1 or len(d) != 1:
            continue
        c, d = c[0], d[0]
        # Orient t0 as (p, q, c) counter-clockwise with edge p->q.
        t = tris[t0]
        i = t.index(c)
        p, q = t[(i + 1) % 3], t[(i + 2) % 3]
        P, Q, C, D = pts[p], pts[q], pts[c], pts[d]
        if not in_circumcircle(P, Q, C, D):
            continue
        # The flip is valid only if quad p-d-q-c is strictly convex.
        if cross(C, P, D) <= 1e-12 or cross(D, Q, C) <= 1e-12:
            continue
        if cross(P, D, Q) <= 0.0 or cross(Q, C, P) <= 0.0:
            continue
        new0, new1 = [c, p, d], [d, q, c]
        del edge_tris[(min(p, q), max(p, q))]
        # Edge p-d moves from t1 to t0; edge q-c moves from t0 to t1.
        for (u, v), old, new in (((p, d), t1, t0), ((q, c), t0, t1)):
            lst = edge_tris[(min(u, v), max(u, v))]
            lst[lst.index(old)] = new
        tris[t0], tris[t1] = new0, new1
        edge_tris[(min(c, d), max(c, d))] = [t0, t1]
        for (u, v) in ((c, p), (p, d), (d, q), (q, c)):
            k2 = (min(u, v), max(u, v))
            if k2 not in fixed and len(edge_tris.get(k2, ())) == 2:
                stack.append(k2)
    return [tuple(t) for t in tris]


# ---------------------------------------------------------------------------
# Cutting into strips of constant angle.  The outline is cut where it crosses
# each line; the part of the piece between two neighbouring lines is bounded by
# outline runs and by straight segments along the lines (which are straight on
# the cylinder too).  Each strip part is triangulated on its own, so no triangle
# spans more than one strip, and neighbouring strips share their line segments
# exactly.

CLEAR = 2e-3  # outline points are kept this far (model units) off the cut lines


_strip_deg = STRIP_DEG[0]  # of the mesh being built


def strip_step():
    return deg_to_u(_strip_deg)


def line_u(k):
    return deg_to_u(STRIP_OFFSET_DEG) + k * strip_step()


def strip_of(u):
    return math.floor((u - deg_to_u(STRIP_OFFSET_DEG)) / strip_step())


def clear_of_lines(c):
    """Moves outline points that lie almost on a cut line just off it, so every
    crossing is a clean one inside an edge."""
    out = []
    for (u, y) in c:
        k = round((u - deg_to_u(STRIP_OFFSET_DEG)) / strip_step())
        d = u - line_u(k)
        if abs(d) < CLEAR:
            u = line_u(k) + (CLEAR if d >= 0 else -CLEAR)
        out.append((u, y))
    return out


def cut_point(p, q, line):
    if (p[0], p[1]) > (q[0], q[1]):
        p, q = q, p
    t = (line - p[0]) / (q[0] - p[0])
    return (line, p[1] + t * (q[1] - p[1]))


def with_cuts(c):
    """The closed outline with a point inserted wherever it crosses a cut line.
    Returns (points, line index of each point or None)."""
    pts, on = [], []
    n = len(c)
    for i in range(n):
        p, q = c[i], c[(i + 1) % n]
        pts.append(p)
        on.append(None)
        kp, kq = strip_of(p[0]), strip_of(q[0])
        ks = range(kp + 1, kq + 1) if kq > kp else range(kp, kq, -1)
        for k in ks:
            pts.append(cut_point(p, q, line_u(k)))
            on.append(k)
    return pts, on


def point_in_loop(p, loop):
    inside = False
    n = len(loop)
    for i in range(n):
        a, b = loop[i], loop[(i + 1) % n]
        if (a[1] > p[1]) != (b[1] > p[1]):
            x = a[0] + (p[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1])
            if x > p[0]:
                inside = not inside
    return inside


def strip_parts(rings):
    """rings: outlines with cuts, as from with_cuts.  Yields, per strip part, a
    list of loops [outer, hole, ...] of 2-D points."""
    out_edge = {}  # strip -> {start point: end point}
    for pts, on in rings:
        n = len(pts)
        for i in range(n):
            p, q = pts[i], pts[(i + 1) % n]
            s = strip_of(0.5 * (p[0] + q[0]))
            out_edge.setdefault(s, {})[p] = q
    crossings = {}
    for pts, on in rings:
        for p, k in zip(pts, on):
            if k is not None:
                crossings.setdefault(k, []).append(p)
    for k, cps in crossings.items():
        cps.sort(key=lambda p: p[1])
        if len(cps) % 2:
            raise RuntimeError("odd crossings on a cut line")
        for j in range(0, len(cps), 2):
            lo, hi = cps[j], cps[j + 1]
            out_edge.setdefault(k, {})[hi] = lo        # left side of strip k, downwards
            out_edge.setdefault(k - 1, {})[lo] = hi    # right side of strip k-1, upwards
    for s in sorted(out_edge):
        edges = out_edge[s]
        seen = set()
        loops = []
        for start in sorted(edges):
            if start in seen:
                continue
            loop = []
            p = start
            while p not in seen:
                seen.add(p)
                loop.append(p)
                p = edges[p]
            if p != start:
                raise RuntimeError("strip boundary does not close")
            loops.append(loop)
        outers = [l for l in loops if signed_area(l) > 0]
        holes = [l for l in loops if signed_area(l) <= 0]
        groups = [[o] for o in outers]
        for h in holes:
            owners = [g for g in groups if point_in_loop(h[0], g[0])]
            if not owners:
                raise RuntimeError("hole without an outline in its strip")
            min(owners, key=lambda g: signed_area(g[0])).append(h)
        for g in groups:
            yield g


def triangulate(loops):
    """Counter-clockwise triangles (as 2-D point triples) of one outline with holes."""
    pts = []
    idx = []
    for c in loops:
        idx.append(list(range(len(pts), len(pts) + len(c))))
        pts.extend(c)
    fixed = set()
    for lp in idx:
        for a, b in zip(lp, lp[1:] + lp[:1]):
            fixed.add((min(a, b), max(a, b)))
    loop = bridge_holes(pts, idx[0], idx[1:])
    tris = delaunay_flip(pts, ear_clip(pts, loop), fixed)
    return [(pts[i], pts[j], pts[k]) for (i, j, k) in tris]


# ---------------------------------------------------------------------------
# Building the 3-D mesh.

def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


class MeshBuilder:
    def __init__(self):
        self.pos = []
        self.nrm = []
        self.tris = []

    def vertex(self, p, n):
        self.pos.append(tuple(f32(v) for v in p))
        ln = math.sqrt(sum(v * v for v in n))
        self.nrm.append(tuple(f32(v / ln) for v in n))
        return len(self.pos) - 1

    def triangle(self, i, j, k):
        a, b, c = self.pos[i], self.pos[j], self.pos[k]
        e1 = [b[t] - a[t] for t in range(3)]
        e2 = [c[t] - a[t] for t in range(3)]
        fn = (e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0])
        avg = [self.nrm[i][t] + self.nrm[j][t] + self.nrm[k][t] for t in range(3)]
        if sum(fn[t] * avg[t] for t in range(3)) < 0.0:
            j, k = k, j
        self.tris.append((i, j, k))


def on_cylinder(u, y, r):
    a = u / R_MID
    return (r * math.cos(a), y, r * math.sin(a))


def radial(u):
    a = u / R_MID
    return (math.cos(a), 0.0, math.sin(a))


def wall_normal(u, nu, ny):
    a = u / R_MID
    return (-math.sin(a) * nu, ny, math.cos(a) * nu)


def add_piece(mb, contours):
    rings = [with_cuts(clear_of_lines(c)) for c in contours]
    # Caps: one 2-D triangulation, strip by strip, used for both faces.
    tris2d = []
    for loops in strip_parts(rings):
        tris2d.extend(triangulate(loops))
    for r, sgn in ((R_OUT, 1.0), (R_IN, -1.0)):
        index = {}
        for t in tris2d:
            ids = []
            for p in t:
                if p not in index:
                    n = radial(p[0])
                    index[p] = mb.vertex(on_cylinder(p[0], p[1], r), tuple(sgn * v for v in n))
                ids.append(index[p])
            mb.triangle(*ids)
    # Walls, through the same cut points as the caps.
    for ring, _ in rings:
        n = len(ring)
        seg_n = []  # outward normal of segment i (ring[i] -> ring[i+1])
        for i in range(n):
            p, q = ring[i], ring[(i + 1) % n]
            dx, dy = q[0] - p[0], q[1] - p[1]
            ln = math.hypot(dx, dy)
            # Outer loops run counter-clockwise and holes clockwise, so the
            # material is always on the left and outward is to the right.
            seg_n.append((dy / ln, -dx / ln))
        left_n, right_n = [], []  # normal at ring[i] for the segment ending / starting there
        for i in range(n):
            na, nb = seg_n[i - 1], seg_n[i]
            ang = math.degrees(math.acos(max(-1.0, min(1.0, na[0] * nb[0] + na[1] * nb[1]))))
            if ang > CORNER_DEG:
                left_n.append(na)
                right_n.append(nb)
            else:
                m = (na[0] + nb[0], na[1] + nb[1])
                left_n.append(m)
                right_n.append(m)
        vid = {}

        def wv(i, side):
            nn = left_n[i] if side == 0 else right_n[i]
            shared = left_n[i] is right_n[i]
            key = (i, 0 if shared else side)
            if key not in vid:
                p = ring[i]
                wn = wall_normal(p[0], nn[0], nn[1])
                vid[key] = (mb.vertex(on_cylinder(p[0], p[1], R_OUT), wn),
                            mb.vertex(on_cylinder(p[0], p[1], R_IN), wn))
            return vid[key]

        for i in range(n):
            j = (i + 1) % n
            a_out, a_in = wv(i, 1)
            b_out, b_in = wv(j, 0)
            mb.triangle(a_out, a_in, b_in)
            mb.triangle(a_out, b_in, b_out)


def build_mesh(k, seg=None):
    global _strip_deg
    _strip_deg = STRIP_DEG[k]
    seg = SEG[k] if seg is None else seg
    mb = MeshBuilder()
    for group in MESHES[k]:
        for piece in place_group(group):
            add_piece(mb, [resample(c, seg) for c in piece])
    return mb


# ---------------------------------------------------------------------------
# Output.

HEADER = ("// Generated by tools/make_meshes.py (regenerate: python3 tools/make_meshes.py); "
          "do not edit.\n")


def fmt(x):
    s = "%.9g" % x
    if "e" not in s and "." not in s:
        s += ".0"
    return s + "f"


def write_mesh(k, mb, path):
    lines = [HEADER,
             "// Mesh %d: %d vertices, %d triangles.\n" % (k, len(mb.pos), len(mb.tris)),
             '#include "render/meshes/meshes.h"\n\n',
             "namespace {\n\n"]

    def float_array(name, rows):
        lines.append("const float %s[%d] = {\n" % (name, 3 * len(rows)))
        for s in range(0, len(rows), 8):
            chunk = rows[s:s + 8]
            lines.append("    " + ", ".join(fmt(v) for r in chunk for v in r) + ",\n")
        lines.append("};\n\n")

    float_array("kPositions", mb.pos)
    float_array("kNormals", mb.nrm)
    lines.append("const int kIndices[%d] = {\n" % (3 * len(mb.tris)))
    for s in range(0, len(mb.tris), 16):
        chunk = mb.tris[s:s + 16]
        lines.append("    " + ", ".join(str(v) for t in chunk for v in t) + ",\n")
    lines.append("};\n\n")
    lines.append("}  // namespace\n\n")
    lines.append("const MeshData g_Mesh%d = {%d, kPositions, kNormals, %d, kIndices};\n"
                 % (k, len(mb.pos), 3 * len(mb.tris)))
    with open(path, "w", newline="\n") as f:
        f.write("".join(lines))


def tune():
    for k in range(8):
        target = TARGET_TRIANGLES[k]
        lo, hi = 0.005, 1.0  # finer spacing, more triangles
        best = None
        for _ in range(14):
            mid = math.sqrt(lo * hi)
            n = len(build_mesh(k, mid).tris)
            if best is None or abs(n - target) < abs(best[1] - target):
                best = (mid, n)
            if n > target:
                lo = mid
            else:
                hi = mid
        print("mesh %d: seg %.5g -> %d triangles (target %d)" % (k, best[0], best[1], target))
    return 0


def main(argv):
    if "--tune" in argv:
        return tune()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = os.path.join(root, "render", "meshes")
    total = 0
    for k in range(8):
        mb = build_mesh(k)
        write_mesh(k, mb, os.path.join(out_dir, "mesh%d.cpp" % k))
        total += len(mb.tris)
        print("mesh%d.cpp: %d vertices, %d triangles" % (k, len(mb.pos), len(mb.tris)))
    print("total: %d triangles" % total)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

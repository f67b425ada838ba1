#!/usr/bin/env python3
"""Builds radiometric parameter blocks (3356 bytes, 839 little-endian words).

Written from the block's word table alone; it shares nothing with the library
that reads the blocks, so tests that feed its output check the library against
an independent description of the layout.
"""
import argparse
import struct
import sys

WORDS = 839
SIZE = WORDS * 4

# Word numbers of the block's fields.
W_REVISION = 1
W_TYPE = 2
W_GEAR = 3
W_LENS = 4
W_FPA_FRONT = 5
W_LENS_BACK = 6
W_LENS_FRONT = 7
W_FPA_BACK = 8
W_BOARD = 9
W_AMBIENT = 10
W_AMBIENT_USED = 13
W_BACKGROUND = 14
W_DISTANCE_M = 15
W_HUMIDITY = 16
W_EMISSIVITY = 17
W_EMISS_REVISE = 18
W_DRIFT = 20
W_USER_REVISE = 21
W_GRAY_BK = 22
W_LOGIC = 23
W_RANGE_LOW = 24
W_RANGE_HIGH = 27
W_POLY_A = 30
W_POLY_B = 75
W_BLACK_TEMP = 120
W_CAL_LENS0 = 135
W_CURVE_TEMP = 150
W_CURVE_GRAY = 177
W_ACTIVE_TEMP = 204
W_ACTIVE_GRAY = 213
W_CAL_LENS1 = 222
W_CAL_LENS2 = 237
W_DIST_TABLE = 252
W_DISTANCE_CM = 282
W_REF_PAIR = 283
W_CORR_TABLES = 289
W_REF_FLAG = 829
W_REF_GRAY = 830
W_REF_GRAY_ZERO = 831
W_DRIFT_FACTOR = 832
W_CALIB_FPA = 835
W_VTEMP = 838

CAL_LENS = (W_CAL_LENS0, W_CAL_LENS1, W_CAL_LENS2)


class Block:
    """A parameter block under construction; every word starts at zero."""

    def __init__(self, data=None):
        self.data = bytearray(SIZE) if data is None else bytearray(data)
        if len(self.data) != SIZE:
            raise ValueError("a parameter block has %d bytes" % SIZE)

    def i32(self, word, value):
        struct.pack_into("<i", self.data, word * 4, int(value))
        return self

    def f32(self, word, value):
        struct.pack_into("<f", self.data, word * 4, float(value))
        return self

    def get_i32(self, word):
        return struct.unpack_from("<i", self.data, word * 4)[0]

    def get_f32(self, word):
        return struct.unpack_from("<f", self.data, word * 4)[0]

    def f32s(self, word, values):
        for i, v in enumerate(values):
            self.f32(word + i, v)
        return self

    def i32s(self, word, values):
        for i, v in enumerate(values):
            self.i32(word + i, v)
        return self

    # Named setters for the fields tests and camera files vary most.
    def instrument(self, type_, revision, gear=0, lens=0):
        return self.i32(W_TYPE, type_).i32(W_REVISION, revision).i32(W_GEAR, gear).i32(W_LENS, lens)

    def instrument_temps(self, fpa_front, lens_back, lens_front, fpa_back, board, ambient):
        return self.f32s(W_FPA_FRONT, (fpa_front, lens_back, lens_front, fpa_back, board, ambient))

    def scene(self, ambient, background, distance_m, humidity, emissivity,
              emiss_revise=0.0, user_revise=0.0, distance_cm=None):
        self.f32(W_AMBIENT_USED, ambient).f32(W_BACKGROUND, background)
        self.i32(W_DISTANCE_M, distance_m).i32(W_HUMIDITY, humidity)
        self.f32(W_EMISSIVITY, emissivity).f32(W_EMISS_REVISE, emiss_revise)
        self.f32(W_USER_REVISE, user_revise)
        self.i32(W_DISTANCE_CM, distance_m * 100 if distance_cm is None else distance_cm)
        return self

    def poly_a(self, gear, coeffs):
        return self.f32s(W_POLY_A + 15 * gear, coeffs)

    def poly_b(self, gear, coeffs):
        return self.f32s(W_POLY_B + 15 * gear, coeffs)

    def curve(self, gear, temps, grays):
        return self.f32s(W_CURVE_TEMP + 9 * gear, temps).f32s(W_CURVE_GRAY + 9 * gear, grays)

    def calibration(self, gear, lens, grays, black_temps=None):
        self.f32s(CAL_LENS[lens] + 5 * gear, grays)
        if black_temps is not None:
            self.f32s(W_BLACK_TEMP + 5 * gear, black_temps)
        return self

    def active(self, temps, grays):
        return self.f32s(W_ACTIVE_TEMP, temps).f32s(W_ACTIVE_GRAY, grays)

    def distance_tables(self, table_cm, ref_pairs, tables):
        """tables: dict {combination: (table_a[30], table_b[30])}."""
        self.i32s(W_DIST_TABLE, table_cm)
        for g, (lo, hi) in enumerate(ref_pairs):
            self.i32(W_REF_PAIR + 2 * g, lo).i32(W_REF_PAIR + 2 * g + 1, hi)
        for c, (ta, tb) in tables.items():
            self.i32s(W_CORR_TABLES + 60 * c, ta).i32s(W_CORR_TABLES + 60 * c + 30, tb)
        return self

    def bytes(self):
        return bytes(self.data)


# Curves per gear: temperatures and nominal grays (nine points each).
GEAR_CURVES = (
    ((-20, 0, 20, 40, 60, 80, 100, 120, 150),
     (2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10500)),
    ((100, 150, 200, 250, 300, 350, 400, 500, 600),
     (3000, 4000, 5000, 6000, 7000, 8000, 9000, 11000, 13000)),
    ((300, 400, 500, 600, 700, 800, 900, 1000, 1200),
     (2500, 3500, 4500, 5500, 6500, 7500, 8500, 9500, 11500)),
)

# Nominal-gray anchors per gear used by the curve mapping of most types:
# gear 0 maps (N2, N6, N8), gear 1 (N0, N5, N8), gear 2 (N0, N4, N8).
ANCHORS = ((2, 6, 8), (0, 5, 8), (0, 4, 8))

DIST_TABLE = [0, 50, 100, 150, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1200, 1400,
              1600, 1800, 2000, 2500, 3000, 3500, 4000, 4500, 5000, 6000, 7000, 8000, 9000,
              10000, 12000]


def identity_calibration(block, gear, lens):
    """Calibration grays that map the nominal curve onto itself."""
    temps, grays = GEAR_CURVES[gear]
    a = ANCHORS[gear]
    block.calibration(gear, lens, [grays[a[0]], grays[a[1]], grays[a[2]], 0, 0],
                      [temps[a[0]], temps[a[1]], temps[a[2]], 0, 0])


def base_block(type_, revision):
    """A consistent block: every gear and lens calibrated to the identity map,
    the active curve of gear 0 built, drift zero, neutral scene."""
    b = Block()
    b.instrument(type_, revision)
    b.instrument_temps(30.0, 28.0, 27.0, 31.0, 35.0, 25.0)
    b.scene(25.0, 25.0, 1, 50, 1.0)
    b.i32(W_GRAY_BK, 8000)
    for g in range(3):
        temps, grays = GEAR_CURVES[g]
        b.curve(g, temps, grays)
        b.f32(W_RANGE_LOW + g, temps[0]).f32(W_RANGE_HIGH + g, temps[8])
        b.poly_b(g, [8000.0])
        for lens in range(3):
            identity_calibration(b, g, lens)
        b.i32(W_DRIFT_FACTOR + g, 100).f32(W_CALIB_FPA + g, 25.0)
    b.active(*GEAR_CURVES[0])
    tables = {}
    for c in range(9):
        tables[c] = ([2000 + 10 * k for k in range(30)], [10000 - 20 * k for k in range(30)])
    b.distance_tables(DIST_TABLE, [(2000, 10000)] * 3, tables)
    b.i32(W_VTEMP, 1)
    return b


def preset_linear():
    """Type 6000, formula revision: no distance correction, PA = 0, drift = 0."""
    return base_block(6000, 9999)


def preset_formula1000():
    """Type 1000, formula revision: humidity and distance terms apply."""
    return base_block(1000, 9999)


def preset_table_a():
    """Type 2000, integer distance-table revision (10001)."""
    return base_block(2000, 10001)


def preset_table_b():
    """Type 2000, floating distance-table revision (10002), 150 cm."""
    b = base_block(2000, 10002)
    b.scene(25.0, 25.0, 1, 50, 1.0, distance_cm=150)
    return b


def preset_camera():
    """A block as a camera writes it: type 3000 with a live polynomial."""
    b = base_block(3000, 10002)
    b.instrument_temps(32.5, 30.1, 29.8, 33.0, 38.2, 24.0)
    b.scene(24.0, 22.0, 2, 60, 0.95, distance_cm=200)
    for g in range(3):
        b.poly_a(g, [-50.0, 1.5, 0.01, 0.2, -0.003, 0.4, -0.6])
        b.poly_b(g, [7900.0, 2.0, 0.05, 0.1, 0.0, 0.3, -0.2])
    b.f32s(W_CALIB_FPA, (30.0, 30.0, 30.0))
    return b


PRESETS = {
    "linear": preset_linear,
    "formula1000": preset_formula1000,
    "table-a": preset_table_a,
    "table-b": preset_table_b,
    "camera": preset_camera,
}


def preset(name):
    return PRESETS[name]()


def parse_value(text):
    text = text.strip()
    if any(ch in text for ch in ".eE") or text.lower() in ("nan", "inf", "-inf"):
        return float(text)
    return int(text, 0)


def main(argv=None):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--preset", default="linear", choices=sorted(PRESETS))
    ap.add_argument("--set", action="append", default=[], metavar="WORD=VALUE",
                    help="overwrite one word; a value with '.', 'e' or nan/inf is stored as f32, "
                         "else as i32")
    ap.add_argument("--list", action="store_true", help="list the presets")
    ap.add_argument("-o", "--output", help="output file (default: standard output)")
    args = ap.parse_args(argv)
    if args.list:
        for name, fn in sorted(PRESETS.items()):
            print("%-12s %s" % (name, (fn.__doc__ or "").strip().splitlines()[0] if fn.__doc__ else ""))
        return 0
    b = preset(args.preset)
    for item in args.set:
        word, _, value = item.partition("=")
        word = int(word, 0)
        if not 0 <= word < WORDS:
            ap.error("word %d is outside the block" % word)
        v = parse_value(value)
        if isinstance(v, float):
            b.f32(word, v)
        else:
            b.i32(word, v)
    if args.output:
        with open(args.output, "wb") as f:
            f.write(b.bytes())
    else:
        sys.stdout.buffer.write(b.bytes())
    return 0


if __name__ == "__main__":
    sys.exit(main())

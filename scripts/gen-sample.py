#!/usr/bin/env python3
"""Generates the bundled sample universe in data/sample/.

Five tab-separated text exports in Windows-1251 with CR LF line ends, the
shape the game writes them in. Everything here is invented. The generator is
deterministic (fixed seed), so running it again gives the same bytes.

Usage: scripts/gen-sample.py [OUTDIR]   (default: data/sample beside this script)
"""
import os
import random
import sys

SEED = 20240611
COLS, ROWS = 20, 15
NO_GATE = 92

# Race numbers: 1 Velor, 2 Murel, 3 Hoskari, 4 Drenn, 5 Quorim, 6 Zelth,
# 7 Pirate, 8 Ostev, 9 Unknown.
CAPITALS = [
    # race, column, row, reach (bigger claims more cells)
    (1, 3, 2, 1.15),
    (2, 15, 2, 1.1),
    (3, 2, 8, 1.0),
    (4, 9, 6, 1.2),
    (5, 16, 11, 1.1),
    (6, 5, 13, 1.0),
    (8, 18, 6, 0.45),  # Ostev: a small enclave (their white cells are hard to read)
    (4, 11, 12, 0.6),   # a Drenn colony in the south
]
PIRATE_HAVENS = [(9, 1), (12, 9), (1, 12), (19, 14), (8, 10)]
UNKNOWN_REACHES = [(0, 0), (19, 0), (10, 14), (0, 14), (19, 8)]

SYL_A = ["Ka", "Vel", "Tor", "Mi", "Sa", "Or", "Bel", "Quen", "Dra", "Ly", "Ze", "Ha", "No", "Ri", "Ca",
         "Ul", "Fen", "Gor", "Is", "Te", "Va", "Pho", "Mar", "Sel"]
SYL_B = ["ra", "lin", "dor", "vek", "sha", "mon", "ter", "ith", "an", "el", "ux", "ost", "iva", "en", "ar",
         "oth", "ion", "ek", "aris", "ume"]
WORD2 = ["Reach", "Drift", "Gate", "Hold", "Haven", "Expanse", "Verge", "Crossing", "Deep", "Rim", "Spire",
         "Landing", "Belt", "Cradle", "Veil", "Fall", "Prospect", "Anchorage", "Shoal", "Wake"]
LONG_WORDS = ["Kharvandrosspire", "Tellumbrascadia", "Quorendalvastine", "Ysmerathilcoronn",
              "Vandelmourithane", "Brassovingtarrow", "Zelthariumbastion"]
CYRILLIC = ["Северный Предел", "Тихая Гавань", "Звёздный Брод", "Краснояр", "Дальний Рубеж",
            "Ледяная Чаша", "Серебрянск"]

RESOURCES = [
    "Veltrine Ore", "Cryo Ice", "Helionic Gas", "Silica Dust", "Ferrocrete", "Bioflax", "Nutri Paste",
    "Spore Wine", "Coolant Gel", "Fusion Cells", "Quantum Tubes", "Microchips", "Hull Plating",
    "Drive Coils", "Shield Lattice", "Plasma Charges", "Missile Casings", "Sensor Arrays", "Medkits",
    "Luxury Textiles", "Crystal Shards", "Water", "Carbon Fibre", "Antimatter Pellets",
    "Nav Beacons", "Synthetic Meat", "Contraband Spice", "Drone Frames",
    "Stabilised Graviton Condensate X",   # exactly 32 bytes
    "Кристаллы Эфира",
]

# Factory kinds: name, product (resource index), race, symbol, inputs.
FAB_KINDS = [
    ("Ore Mine", 0, 1, "M", []), ("Ice Harvester", 1, 3, "I", []), ("Gas Skimmer", 2, 2, "G", []),
    ("Silica Quarry", 3, 4, "Q", []), ("Ferrocrete Foundry", 4, 1, "F", [0, 3]),
    ("Flax Plantation", 5, 5, "P", [21]), ("Paste Kitchen", 6, 3, "K", [5, 21]),
    ("Spore Vinery", 7, 6, "V", [21, 5]), ("Coolant Plant", 8, 4, "C", [1, 2]),
    ("Solar Cell Array", 9, 1, "S", [3]), ("Fusion Reactor", 9, 2, "R", [2, 8]),
    ("Tube Fabricator", 10, 2, "T", [9, 20]), ("Chip Plant", 11, 4, "X", [3, 9]),
    ("Hull Works", 12, 1, "H", [4, 9]), ("Coil Winder", 13, 3, "W", [0, 9]),
    ("Lattice Loom", 14, 8, "L", [10, 11, 9]), ("Plasma Forge", 15, 6, "A", [2, 9]),
    ("Missile Yard", 16, 6, "Y", [4, 15, 11]), ("Sensor Foundry", 17, 4, "E", [11, 20]),
    ("Med Lab", 18, 5, "D", [5, 21, 9]), ("Textile Mill", 19, 2, "N", [5, 9]),
    ("Crystal Farm", 20, 5, "Z", [9, 21]), ("Water Reclaimer", 21, 3, "U", [1]),
    ("Fibre Spinner", 22, 1, "B", [2, 9]), ("Antimatter Trap", 23, 8, "O", [9, 14]),
    ("Beacon Assembly", 24, 4, "J", [11, 9]), ("Meat Vat", 25, 5, "Ж", [6, 21]),
    ("Spice Den", 26, 7, "!", [7, 5]), ("Drone Works", 27, 8, "&", [11, 13, 22]),
    ("Graviton Condenser", 28, 8, "%", [23, 14]), ("Ether Crystalliser", 29, 9, "Э", [20, 9]),
    ("Deep Ore Mine", 0, 4, "m", []), ("Storm Gas Skimmer", 2, 6, "g", []),
    ("Hydroponic Farm", 5, 3, "h", [21, 9]), ("Bio Reactor", 9, 5, "b", [6]),
    ("Salvage Yard", 4, 7, "s", [12]), ("Smugglers Still", 26, 7, "$", [7]),
    ("Orbital Refinery", 3, 2, "o", [0, 9]), ("Weapon Shop", 15, 7, "w", [16, 9]),
    ("Quantum Lab", 10, 8, "q", [11, 23]),
]


def make_name(rng, used):
    while True:
        roll = rng.random()
        if roll < 0.45:
            name = rng.choice(SYL_A) + rng.choice(SYL_B) + rng.choice(["", "", rng.choice(SYL_B)])
        else:
            name = rng.choice(SYL_A) + rng.choice(SYL_B) + " " + rng.choice(WORD2)
        if name not in used and len(name.encode("cp1251")) <= 32:
            used.add(name)
            return name


def assign_races(rng):
    """Race of every grid cell, or None for empty space."""
    grid = {}
    for r in range(ROWS):
        for c in range(COLS):
            best, best_d = None, 1e9
            for race, cc, cr, reach in CAPITALS:
                d = ((c - cc) ** 2 + (r - cr) ** 2) ** 0.5 / reach + rng.random() * 0.8
                if d < best_d:
                    best, best_d = race, d
            if best_d > 5.2:
                best = None          # the void between the empires
            grid[(c, r)] = best
    for c, r in UNKNOWN_REACHES:
        for dc, dr in [(0, 0), (1, 0), (0, 1), (-1, 0), (0, -1)]:
            p = (c + dc, r + dr)
            if p in grid and rng.random() < 0.75:
                grid[p] = 9
    for c, r in PIRATE_HAVENS:
        grid[(c, r)] = 7
        for dc, dr in [(1, 0), (0, 1), (-1, 0), (0, -1)]:
            p = (c + dc, r + dr)
            if p in grid and rng.random() < 0.3:
                grid[p] = 7
    # Scattered holes keep the map from being a solid block.
    for p in list(grid):
        if grid[p] is not None and rng.random() < 0.1:
            grid[p] = None
    return grid


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "sample")
    os.makedirs(out, exist_ok=True)
    rng = random.Random(SEED)

    grid = assign_races(rng)
    cells = [(c, r) for r in range(ROWS) for c in range(COLS) if grid[(c, r)] is not None]

    # Codes in row order, skipping 92: that code belongs to a hidden sector.
    codes, code = {}, 1
    for p in cells:
        if code == NO_GATE:
            code += 1
        codes[p] = code
        code += 1

    used = set()
    long_cells = set(rng.sample(cells, len(LONG_WORDS)))
    cyr_cells = set(rng.sample([p for p in cells if p not in long_cells], len(CYRILLIC)))
    long_iter, cyr_iter = iter(LONG_WORDS), iter(CYRILLIC)
    names = {}
    for p in cells:
        if p in long_cells:
            names[p] = next(long_iter)
        elif p in cyr_cells:
            names[p] = next(cyr_iter)
        else:
            names[p] = make_name(rng, used)

    # Gates: a random spanning forest of neighbouring sectors, plus extra links.
    parent = {p: p for p in cells}

    def find(p):
        while parent[p] != p:
            parent[p] = parent[parent[p]]
            p = parent[p]
        return p

    edges = []
    for (c, r) in cells:
        for q in [(c + 1, r), (c, r + 1)]:
            if q in codes:
                edges.append(((c, r), q))
    rng.shuffle(edges)
    links = set()
    for a, b in edges:
        if find(a) != find(b):
            parent[find(a)] = find(b)
            links.add((a, b))
        elif rng.random() < 0.35:
            links.add((a, b))

    def gate(a, b):
        return codes[b] if (a, b) in links or (b, a) in links else NO_GATE

    sector_rows = []
    marks = {}
    capitals = {(cc, cr) for _, cc, cr, _ in CAPITALS}
    for p in cells:
        c, r = p
        race = grid[p]
        core = p in capitals
        trading = 1 if core or rng.random() < 0.55 else 0
        dock = 1 if core or rng.random() < 0.3 else 0
        shipyard = 1 if core or (race not in (7, 9) and rng.random() < 0.06) else 0
        light = 1 if (not shipyard and race != 9 and rng.random() < 0.12) else 0
        pirate = 1 if race == 7 or rng.random() < 0.03 else 0
        marks[p] = (trading, dock)
        right, down, left, up = gate(p, (c + 1, r)) if (c + 1, r) in codes else NO_GATE, \
            gate(p, (c, r + 1)) if (c, r + 1) in codes else NO_GATE, \
            gate(p, (c - 1, r)) if (c - 1, r) in codes else NO_GATE, \
            gate(p, (c, r - 1)) if (c, r - 1) in codes else NO_GATE
        sector_rows.append([codes[p], names[p], race, c, r, right, down, left, up,
                            trading, dock, shipyard, light, pirate])
    # A hidden sector: code 92 is never drawn. It sits on an empty cell.
    empty = [(c, r) for r in range(ROWS) for c in range(COLS) if grid[(c, r)] is None]
    hc, hr = empty[len(empty) // 2]
    sector_rows.append([NO_GATE, "Veil Anomaly", 9, hc, hr, NO_GATE, NO_GATE, NO_GATE, NO_GATE, 0, 0, 0, 0, 0])

    # Factories: the kinds first, then every sector's station and dock.
    fab_rows = []
    kind_codes = []
    for i, (name, product, race, symbol, _) in enumerate(FAB_KINDS):
        fab_code = 101 + i
        kind_codes.append(fab_code)
        fab_rows.append([fab_code, name, product + 1, race, symbol])
    station_code = {}
    dock_code = {}
    next_code = 1001
    for p in cells:
        trading, dock = marks[p]
        if trading:
            station_code[p] = next_code
            fab_rows.append([next_code, names[p] + " Station", 0, grid[p], "T"])
            next_code += 1
        if dock:
            dock_code[p] = next_code
            fab_rows.append([next_code, names[p] + " Dock", 0, grid[p], "D"])
            next_code += 1

    kinds_by_race = {}
    for i, kind in enumerate(FAB_KINDS):
        kinds_by_race.setdefault(kind[2], []).append(i)

    link_rows = []
    link_id = 1
    for p in cells:
        race = grid[p]
        c, r = p
        # Busy cores, quiet frontiers: the number of factories falls with the
        # distance to the race's nearest capital.
        dist = min(abs(c - cc) + abs(r - cr) for rc, cc, cr, _ in CAPITALS if rc == race) \
            if any(rc == race for rc, *_ in CAPITALS) else 6
        if race == 9:
            count = rng.randint(0, 3)
        elif race == 7:
            count = rng.randint(3, 8)
        else:
            count = max(1, int(rng.gauss(22 - 3 * dist, 3)))
        own = kinds_by_race.get(race, [])
        entries = []
        if p in station_code:
            entries.append(station_code[p])
        if p in dock_code:
            entries.append(dock_code[p])
        for _ in range(count):
            if own and rng.random() < 0.65:
                entries.append(kind_codes[rng.choice(own)])
            else:
                entries.append(kind_codes[rng.randrange(len(FAB_KINDS))])
        for fab in entries:
            link_rows.append([link_id, codes[p], fab])
            link_id += 1

    fr_rows = []
    for i, (_, product, _, _, inputs) in enumerate(FAB_KINDS):
        fr_rows.append([kind_codes[i], product + 1, 1])
        for res in inputs:
            fr_rows.append([kind_codes[i], res + 1, 0])
    for p in cells:
        for fab in (station_code.get(p), dock_code.get(p)):
            if fab is not None:
                for res in rng.sample(range(len(RESOURCES)), rng.randint(2, 6)):
                    fr_rows.append([fab, res + 1, 2])

    def write(name, rows):
        with open(os.path.join(out, name), "wb") as f:
            for row in rows:
                f.write(("\t".join(str(v) for v in row) + "\r\n").encode("cp1251"))

    write("sectors.txt", sector_rows)
    write("resources.txt", [[i + 1, n] for i, n in enumerate(RESOURCES)])
    write("fabs.txt", fab_rows)
    write("sector fabs.txt", link_rows)
    write("fabs resources.txt", fr_rows)

    print(f"sectors {len(sector_rows)}, resources {len(RESOURCES)}, fabs {len(fab_rows)}, "
          f"sector fabs {len(link_rows)}, fabs resources {len(fr_rows)}; races "
          f"{sorted({grid[p] for p in cells})}", file=sys.stderr)


if __name__ == "__main__":
    main()

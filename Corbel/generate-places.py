#!/usr/bin/env python3
"""Writes the C++ tables of ExcelPlaces.h from Microsoft's lists of control identifiers.

    generate-places.py OUT.cpp NAMES.tsv CLASSIC_SOURCES... -- RELEASE=LIST.tsv...

Only the controls that the Classic tab uses (Control, Icon and ComboBox rows of the given C++
sources) are kept, each with its one place; only the tabs and groups those places name get a
name. A place kind the script does not know, or a tab or group without an English name, stops
the build rather than lose a tip.
"""
import re
import sys

from office_lists import list_rows, read_lists, write_if_changed

KIND_ORDER = ["CoreTab", "ContextualTab", "FileTab", "QuickAccessToolbar", "NotOnRibbon"]
RELEASES = {"2013": "Excel2013", "2016": "Excel2016", "2019": "Excel2019", "365": "Excel365"}


def id_mso_hash(id_mso, seed):
    """FNV-1a from `seed` over the name's characters, folded to 16 bits."""
    value = seed
    for c in id_mso:
        value = ((value ^ ord(c)) * 0x01000193) & 0xFFFFFFFF
    return (value ^ (value >> 16)) & 0xFFFF


def fail(why):
    sys.exit("generate-places.py: " + why)


def kind_of(tab_set, path, line_number):
    if tab_set == "None (Core Tab)":
        return "CoreTab"
    if tab_set.startswith("TabSet"):
        return "ContextualTab"
    if tab_set == "None (Backstage View)":
        return "FileTab"
    if tab_set == "None (Quick Access Toolbar)":
        return "QuickAccessToolbar"
    if tab_set in ("None (Not in the Ribbon)", "None (Context Menu)"):
        return "NotOnRibbon"
    fail(f"{path}:{line_number}: unknown tab set {tab_set!r}")


def read_places(path, wanted):
    """idMso -> (kind, tab set, tab, group): the first place of the best kind."""
    best = {}
    for number, fields in list_rows(path, 5, "generate-places.py"):
        id_mso, _, tab_set, tab, group = fields[:5]
        if id_mso not in wanted:
            continue
        kind = kind_of(tab_set, path, number)
        if kind not in ("CoreTab", "ContextualTab"):
            tab_set = tab = group = ""
        elif kind == "CoreTab":
            tab_set = ""
        if kind == "ContextualTab" or kind == "CoreTab":
            if not tab or not group:
                fail(f"{path}:{number}: a place on a tab without tab or group")
        place = (kind, tab_set, tab, group)
        if id_mso not in best or KIND_ORDER.index(kind) < KIND_ORDER.index(best[id_mso][0]):
            best[id_mso] = place
    return best


def main(argv):
    if "--" not in argv or len(argv) < 5:
        fail(__doc__)
    split = argv.index("--")
    out, names_path, sources, lists = argv[1], argv[2], argv[3:split], argv[split + 1:]

    wanted = set()
    for source in sources:
        with open(source, encoding="utf-8") as text:
            wanted.update(re.findall(r'\b(?:Control|Icon|ComboBox)\(L"([A-Za-z0-9_]+)"', text.read()))
    if not wanted:
        fail("no controls found in " + " ".join(sources))

    english = {}
    with open(names_path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            if line.startswith("#") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 2 or not fields[1]:
                fail(f"{names_path}:{number}: wants idMso and name, tab-separated")
            english[fields[0]] = fields[1]

    tables = read_lists(lists, RELEASES, lambda path: read_places(path, wanted), "generate-places.py")
    named = {name for places in tables.values() for place in places.values() for name in place[1:] if name}
    missing = sorted(named - set(english))
    if missing:
        fail(f"{names_path} names no " + ", ".join(missing))

    # Compact, for the size of Corbel.dll: a control is known by a 16-bit hash of its idMso
    # (with a seed that keeps the Classic tab's apart), tabs and groups by a small number, the
    # places by a number per control of one list and the few differences of the others.
    controls = sorted(set().union(*(set(places) for places in tables.values())))
    seed = next((seed for seed in range(0x811C9DC5, 0x811C9DC5 + 100000)
                 if len({id_mso_hash(c, seed) for c in controls}) == len(controls)), None)
    if seed is None:
        fail("no seed keeps the controls' hashes apart")
    controls.sort(key=lambda c: id_mso_hash(c, seed))
    names = sorted(named)
    if len(names) > 255:
        fail("more tabs and groups than an 8-bit number holds")
    text, name_at = [], []
    offset = 0
    for id_mso in names:
        name_at.append(offset)
        for word in (id_mso, english[id_mso]):
            text.append(word)
            offset += len(word) + 1
    if offset > 0xFFFF:
        fail("the texts no longer fit 16-bit offsets")
    rows = sorted({place for places in tables.values() for place in places.values()},
                  key=lambda place: (KIND_ORDER.index(place[0]),) + place[1:])
    if len(rows) > 255:
        fail("more places than an 8-bit number holds")
    number = lambda name: names.index(name) + 1 if name else 0
    row_of = lambda places, control: rows.index(places[control]) + 1 if control in places else 0

    def c_text(word):
        if not all(32 <= ord(c) < 127 and c not in '"\\?' for c in word):
            fail(f"text the table cannot hold as written: {word!r}")
        return word

    base = tables["365"]
    out_lines = [
        "// Generated by Corbel/generate-places.py from tests/data/office/excel*-locations.tsv and",
        "// Corbel/data/place-names.tsv; do not edit. Included by ExcelPlaces.cpp alone.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "namespace cornice::places {",
        "",
        f"constexpr std::uint32_t kHashSeed = {hex(seed)}u;",
        "// The controls by the hash of their idMso, in order.",
        f"constexpr std::uint16_t kControlHash[{len(controls)}] = {{{', '.join(hex(id_mso_hash(c, seed)) for c in controls)}}};",
        "",
        "// Each tab's and group's idMso followed by its English name, in idMso order; numbered from 1.",
        "constexpr char kText[] =",
    ]
    out_lines += [f'    "{c_text(word)}\\0"' for word in text]
    out_lines[-1] += ";"
    out_lines += [
        f"constexpr std::uint16_t kNameAt[{len(names)}] = {{{', '.join(map(str, name_at))}}};",
        "",
        "// Kind, then the numbers of the tab set, tab and group (0: none).",
        "struct PlaceRow {",
        "    PlaceKind kind;",
        "    std::uint8_t tabSet, tab, group;",
        "};",
        "constexpr PlaceRow kPlaceRows[] = {",
    ]
    for kind, tab_set, tab, group in rows:
        out_lines.append(f"    {{PlaceKind::{kind}, {number(tab_set)}, {number(tab)}, {number(group)}}},")
    out_lines += [
        "};",
        "",
        "// Per control (kControlHash's order), 1 + its row in kPlaceRows in 365's list; 0: unknown.",
        f"constexpr std::uint8_t kPlaceOf365[{len(controls)}] = {{{', '.join(str(row_of(base, c)) for c in controls)}}};",
        "// Where another list differs: list (PlaceList's number), control, row as above.",
        "struct Difference {",
        "    std::uint8_t list, row;",
        "    std::uint16_t control;",
        "};",
        "constexpr Difference kDifferences[] = {",
    ]
    for number_of_list, release in enumerate(RELEASES):
        for index, control in enumerate(controls):
            row = row_of(tables[release], control)
            if row != row_of(base, control):
                out_lines.append(f"    {{{number_of_list}, {row}, {index}}}, // {release}: {control}")
    out_lines += ["};", "", "} // namespace cornice::places", ""]
    write_if_changed(out, "\n".join(out_lines))


if __name__ == "__main__":
    main(sys.argv)

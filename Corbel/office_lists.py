"""What the generators of Corbel's tables share: reading Microsoft's lists of control identifiers
(tests/data/office/excel*-locations.tsv) given as RELEASE=LIST.tsv, and writing a table only when
it changed, so that the build recompiles nothing for an unchanged one."""
import sys


def fail(script, why):
    sys.exit(f"{script}: {why}")


def list_rows(path, columns, script):
    """(line number, fields) of each control's row, which has at least `columns` fields."""
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            if line.startswith("#") or line.startswith("idMso\t") or not line.strip():
                continue
            fields = line.rstrip("\n").split("\t")
            if len(fields) < columns:
                fail(script, f"{path}:{number}: wants at least {columns} columns")
            yield number, fields


def read_lists(arguments, releases, read, script):
    """release -> read(path) for each RELEASE=LIST.tsv argument; every one of `releases` once."""
    tables = {}
    for argument in arguments:
        release, _, path = argument.partition("=")
        if release not in releases:
            fail(script, f"unknown release {release!r}")
        tables[release] = read(path)
    if set(tables) != set(releases):
        fail(script, "wants one list for each of " + ", ".join(releases))
    return tables


def write_if_changed(path, text):
    try:
        with open(path, encoding="utf-8") as old:
            if old.read() == text:
                return
    except OSError:
        pass
    with open(path, "w", encoding="utf-8") as new:
        new.write(text)

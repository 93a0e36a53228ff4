#!/usr/bin/env python3
"""The spreadsheet of a demo competition read back with a real reader (python3-openpyxl) and held
against the text export of the same outputs: every data line of the text is one row of a sheet.

  xlsx_check.py CLI OUT
"""
import collections
import datetime
import os
import shutil
import subprocess
import sys

import openpyxl

OUTPUTS = ["--round", "4", "--outputs", "tabelle,einzel,verein,teilnehmer,gesamt"]


def run(*args):
    subprocess.run(list(args), check=True, stdout=subprocess.DEVNULL)


def text_lines(path):
    """Fields of every line that holds a tab, their blanks as the layout pads them made single."""
    lines = open(path, encoding="utf-8", newline="").read().split("\r\n")
    return collections.Counter(tuple(" ".join(f.split()) for f in line.split("\t")) for line in lines if "\t" in line)


def as_text(value):
    if isinstance(value, datetime.datetime):
        return value.strftime("%d.%m.%Y")
    return "" if value is None else str(value)


def rank(value):
    return "" if value is None else "%d." % value


def row_as_line(title, row):
    """The text export's line for a sheet row, by the kind of sheet."""
    if title.startswith("Ergebnisse"):
        home, guest, a, b, _ = row
        return ("%s - %s" % (home, guest), "%d - %d" % (a, b))
    if title.startswith("Tabelle"):
        place, team, fights, plus, minus, rings = row
        return ((rank(place) + " " + team).strip(), str(fights), "%d : %d" % (plus, minus), str(rings))
    if title.startswith("Einzelwertung"):
        _, place, name, team, rings = row
        return (rank(place), name, team, str(rings))
    if title.startswith("Gesamtwertung"):
        _, place, name, team, rounds, total, average, best = row
        return (rank(place), name, team, str(rounds), str(total), ("%.1f" % average).replace(".", ","), str(best))
    return tuple(as_text(v) for v in row)


def main():
    cli, out = sys.argv[1], sys.argv[2]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    db = os.path.join(out, "demo.mdb")
    run(cli, "demo", db)
    text, book = os.path.join(out, "ausgabe.txt"), os.path.join(out, "ausgabe.xlsx")
    run(cli, "export-text", db, text, "--encoding", "utf-8", *OUTPUTS)
    run(cli, "export-xlsx", db, book, *OUTPUTS)

    failures = []
    wb = openpyxl.load_workbook(book)
    sheets = collections.Counter()
    for ws in wb.worksheets:
        if ws.freeze_panes != "A2":
            failures.append("%s: first row not frozen" % ws.title)
        if not all(c.font.b for c in ws[1]):
            failures.append("%s: heading not bold" % ws.title)
        for col in ws.iter_cols():
            width = ws.column_dimensions[col[0].column_letter].width
            longest = max(len(as_text(c.value)) for c in col)
            if width < min(longest, 58):
                failures.append("%s: column %s narrower (%s) than %d" % (ws.title, col[0].column_letter, width, longest))
        for cells in ws.iter_rows(min_row=2):
            for c in cells:
                if isinstance(c.value, str) and c.value.strip().lstrip("-").isdigit():
                    failures.append("%s!%s: a number stored as text" % (ws.title, c.coordinate))
                if isinstance(c.value, float) and c.number_format != "0.0":
                    failures.append("%s!%s: tenths without one decimal" % (ws.title, c.coordinate))
                if isinstance(c.value, datetime.datetime) and "yyyy" not in c.number_format:
                    failures.append("%s!%s: date without a date format" % (ws.title, c.coordinate))
            sheets[row_as_line(ws.title, [c.value for c in cells])] += 1
    titles = [ws.title for ws in wb.worksheets]
    if titles[-3:] != ["Vereine", "Teilnehmerliste", "Gesamtwertung"] or len(titles) != 3 * 2 + 4:
        failures.append("sheets: %s" % titles)
    # The text's pairing lines may carry a remark marker as a third field.
    lines = collections.Counter()
    for fields, n in text_lines(text).items():
        lines[fields[:2] if len(fields) == 3 and set(fields[2]) == {"*"} else fields] += n
    if sheets != lines:
        failures.append("only in the sheets: %s" % list((sheets - lines).items())[:5])
        failures.append("only in the text: %s" % list((lines - sheets).items())[:5])
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The demo competition's PDF of every output (club names made long, with umlauts): no two words
on a page share room, as pdftotext -bbox (poppler-utils) reports their boxes.

  pdf_overlap_check.py CLI OUT
"""
import html
import os
import re
import shutil
import sqlite3
import subprocess
import sys

LONG_CLUB = "Schützengesellschaft Größenwörth-Überlingen am Ölmühlbach e.V. 1887 Tradition"
WORD = re.compile(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">(.*?)</word>')


def overlaps(a, b):
    # pdftotext's boxes are as tall as the font's whole bounding box, so the lines of a dense list
    # share a sliver; words over words share more than half their height. Side by side, a
    # quarter point is rounding.
    height = min(a[3] - a[1], b[3] - b[1])
    return min(a[2], b[2]) - max(a[0], b[0]) > 0.25 and min(a[3], b[3]) - max(a[1], b[1]) > height / 2


def check(cli, out, long_names):
    db = os.path.join(out, "demo-long.mdb" if long_names else "demo.mdb")
    pdf = db.replace(".mdb", ".pdf")
    subprocess.run([cli, "demo", db], check=True, stdout=subprocess.DEVNULL)
    if long_names:
        with sqlite3.connect(db) as con:
            con.execute("UPDATE \"Verein\" SET \"Name\" = ? || ' ' || \"Vereinsnummer\"", (LONG_CLUB,))
    subprocess.run([cli, "print-pdf", db, pdf, "--round", "4", "--plans", "1,2,3,4,5",
                    "--outputs", "termin,gruppe,tabelle,einzel,verein,teilnehmer,gesamt,bericht"],
                   check=True, stdout=subprocess.DEVNULL)
    text = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True, stdout=subprocess.PIPE,
                          text=True).stdout
    failures = []
    pages = text.split("<page ")[1:]
    for number, page in enumerate(pages, 1):
        words = [(float(a), float(b), float(c), float(d), html.unescape(w)) for a, b, c, d, w in WORD.findall(page)]
        for i in range(len(words)):
            for j in range(i + 1, len(words)):
                if overlaps(words[i], words[j]):
                    failures.append("%s page %d: %r and %r" % (os.path.basename(pdf), number, words[i][4],
                                                               words[j][4]))
    print("%s: %d pages" % (os.path.basename(pdf), len(pages)))
    if not pages:
        failures.append("no pages in " + pdf)
    return failures


def main():
    cli, out = sys.argv[1], os.path.abspath(sys.argv[2])
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    failures = check(cli, out, False) + check(cli, out, True)
    for failure in failures[:50]:
        print("FAIL: " + failure)
    print("%d overlapping word pairs" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

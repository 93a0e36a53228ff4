#!/usr/bin/env python3
"""The calendars of a demo competition, read back with a real iCalendar parser (python3-icalendar)
and compared with the pairings counted straight from the competition file.

  calendar_check.py CLI OUT
"""
import datetime
import os
import shutil
import sqlite3
import subprocess
import sys
import zoneinfo

from icalendar import Calendar

BERLIN = zoneinfo.ZoneInfo("Europe/Berlin")


def run(*args):
    return subprocess.run(list(args), check=True, capture_output=True, text=True).stdout


def expected_pairings(db, club=None):
    """(uid tail, start, summary, home club name) of every pairing of two teams, from the tables."""
    con = sqlite3.connect(db)
    clubs = dict(con.execute('SELECT "Vereinsnummer", "Name" FROM "Verein"'))
    slots = ", ".join('"Verein%02d", "VNr%02d"' % (i, i) for i in range(1, 21))
    result, undated = [], set()
    for row in con.execute('SELECT "ID", "Name", "Plan", %s FROM "Gruppe" ORDER BY "ID"' % slots):
        gid, name, plan, teams = row[0], row[1], row[2], row[3:]
        plan_rows = con.execute('SELECT "PlanID", "Datum1", %s FROM "Plan" WHERE "PlanID" BETWEEN ? AND ? '
                                'ORDER BY "PlanID"' % ", ".join('"A%d", "B%d"' % (k, k) for k in range(1, 11)),
                                (plan * 20, plan * 20 + 19))
        for plan_id, when, *pairs in plan_rows:
            rnd = plan_id - plan * 20
            for k in range(10):
                a, b = pairs[2 * k], pairs[2 * k + 1]
                if not (1 <= a <= 20 and 1 <= b <= 20 and teams[2 * a - 2] and teams[2 * b - 2]):
                    continue
                home, guest = teams[2 * a - 2], teams[2 * b - 2]
                if club is not None and club not in (home, guest):
                    continue
                if when is None:
                    undated.add((gid, rnd))
                    continue
                start = datetime.datetime.strptime(when, "%Y-%m-%d %H:%M:%S").replace(tzinfo=BERLIN)
                summary = "%s %s – %s %s (%s)" % (clubs[home], teams[2 * a - 1], clubs[guest], teams[2 * b - 1], name)
                result.append(("-g%d-d%d-p%d@torvm.velmarik.de" % (gid + 1, rnd + 1, k + 1), start, summary,
                               clubs[home]))
    return result, len(undated)


def check_file(path, expected, failures):
    raw = open(path, "rb").read()
    for line in raw.split(b"\r\n"):
        if len(line) > 75:
            failures.append("%s: line of %d octets" % (path, len(line)))
    cal = Calendar.from_ical(raw)
    events = [e for e in cal.walk("VEVENT")]
    if len(cal.walk("VTIMEZONE")) != 1:
        failures.append("%s: no single VTIMEZONE" % path)
    if len({str(e["UID"]) for e in events}) != len(events):
        failures.append("%s: UIDs repeat" % path)
    got = sorted((str(e["UID"]).split("-", 1)[1], e["DTSTART"].dt, str(e["SUMMARY"]), str(e["LOCATION"]))
                 for e in events)
    want = sorted((uid[1:], start, summary, home) for uid, start, summary, home in expected)
    if [(u, s, m) for u, s, m, _ in got] != [(u, s, m) for u, s, m, _ in want]:
        failures.append("%s: events differ from the plan (%d against %d)" % (path, len(got), len(want)))
    for (_, _, _, location), (_, _, _, home) in zip(got, want):
        if not location.startswith(home):
            failures.append("%s: location %r is not at %r" % (path, location, home))
    for e in events:
        if e["DTEND"].dt - e["DTSTART"].dt != datetime.timedelta(hours=2):
            failures.append("%s: %s does not last two hours" % (path, e["UID"]))
        if e["DTSTART"].params.get("TZID") != "Europe/Berlin":
            failures.append("%s: %s not in Europe/Berlin" % (path, e["UID"]))
    return len(events)


def main():
    cli, out = sys.argv[1], sys.argv[2]
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    db = os.path.join(out, "demo.mdb")
    run(cli, "demo", db)
    with sqlite3.connect(db) as con:
        # Commas, semicolons and a round without a date: escaped text and a counted gap.
        con.execute("UPDATE \"Verein\" SET \"Name\" = 'SG Tell, Au; ' || \"Vereinsnummer\" WHERE \"Vereinsnummer\" % 3 = 0")
        con.execute('UPDATE "Plan" SET "Datum1" = NULL WHERE "PlanID" % 20 = 5')
    failures = []
    expected, undated = expected_pairings(db)
    text = run(cli, "calendar", db, os.path.join(out, "alle.ics"))
    if check_file(os.path.join(out, "alle.ics"), expected, failures) < 100:
        failures.append("too few events in the whole competition")
    if ("%d Durchgänge ohne Datum ausgelassen." % undated) not in text or undated == 0:
        failures.append("undated rounds not counted: %r (expected %d)" % (text, undated))

    club = sqlite3.connect(db).execute('SELECT "Verein01" FROM "Gruppe" WHERE "ID" = 0').fetchone()[0]
    expected, _ = expected_pairings(db, club)
    run(cli, "calendar", db, os.path.join(out, "verein.ics"), "--club", str(club))
    check_file(os.path.join(out, "verein.ics"), expected, failures)

    site = os.path.join(out, "site")
    run(cli, "web-export", db, site, "--style", "modern")
    index = open(os.path.join(site, "index.html"), encoding="utf-8").read()
    group = open(os.path.join(site, "gruppe1.html"), encoding="utf-8").read()
    if 'href="verein%d.ics"' % club not in index or 'href="gruppe1.ics">Termine als Kalender' not in group:
        failures.append("the modern site does not link its calendars")
    expected, _ = expected_pairings(db, club)
    check_file(os.path.join(site, "verein%d.ics" % club), expected, failures)

    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Checks the modern web site of a demo competition whose names are long and full of umlauts.

  modern_site_check.py CLI OUT valid     every page parses as HTML5 without a single parse error
                                         and keeps to the site's rules (UTF-8, lang="de", one
                                         stylesheet, no frames, no scripts, nothing from elsewhere)
  modern_site_check.py CLI OUT browser   headless Chromium at 390 and 1280 pixels: the start page
                                         and a group page are never wider than the window;
                                         screenshots stay in OUT as artefacts

Exit code 77 (skipped) only when Chromium cannot be started at all.
"""
import glob
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

LONG_CLUB = "Schützengesellschaft Größenwörth-Überlingen am Ölmühlbach e.V. 1887 Tradition"
LONG_REMARK = "Mannschaft erschien verspätet; Wertung nach Beschluss des Sportausschusses <vorläufig> & offen"


def make_site(cli, out):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    db = os.path.join(out, "demo.mdb")
    subprocess.run([cli, "demo", db], check=True, stdout=subprocess.DEVNULL)
    with sqlite3.connect(db) as con:
        con.execute("UPDATE \"Verein\" SET \"Name\" = ? || ' ' || \"Vereinsnummer\"", (LONG_CLUB,))
        con.execute("UPDATE \"Teilnehmer\" SET \"Name\" = \"Name\" || '-Müller-Lüdenscheidt', \"Titel\" = ?",
                    ("Dr. med.",))
        con.execute('UPDATE "Wettkampf" SET "Text" = ? WHERE "ID" % 100 = 99 AND "Punkte" <> 0', (LONG_REMARK,))
    site = os.path.join(out, "site")
    subprocess.run([cli, "web-export", db, site, "--round", "4", "--style", "modern", "--einzel", "1",
                    "--organiser", "Schützengau <Größenwörth> & Umgebung"], check=True, stdout=subprocess.DEVNULL)
    return site


def check_valid(site):
    import html5lib  # python3-html5lib; installed by scripts/install-deps.sh

    pages = sorted(glob.glob(os.path.join(site, "*.html")))
    failures = []
    if len(pages) < 4:
        failures.append("too few pages: %s" % pages)
    for page in pages:
        raw = open(page, "rb").read()
        name = os.path.basename(page)
        try:
            text = raw.decode("utf-8")
        except UnicodeDecodeError as e:
            failures.append("%s: not UTF-8 (%s)" % (name, e))
            continue
        parser = html5lib.HTMLParser(strict=True)
        try:
            parser.parse(raw, transport_encoding="utf-8")
        except Exception as e:  # html5lib raises ParseError on the first error in strict mode
            failures.append("%s: HTML5 parse error: %s" % (name, e))
        checks = [
            (text.startswith("<!DOCTYPE html>\n"), "doctype"),
            ('<html lang="de">' in text, 'lang="de"'),
            ('<meta charset="utf-8">' in text, "charset"),
            (text.count('<link rel="stylesheet" href="style.css">') == 1, "one stylesheet"),
            ("<script" not in text.lower(), "no scripts"),
            ("<frame" not in text.lower() and "<iframe" not in text.lower(), "no frames"),
            (re.search(r'(src|href)="(https?:)?//', text) is None, "nothing loaded from elsewhere"),
            ("<vorläufig>" not in text and "<Größenwörth>" not in text, "texts escaped"),
            ('name="viewport"' in text, "viewport"),
        ]
        failures += ["%s: %s" % (name, what) for ok, what in checks if not ok]
    css = open(os.path.join(site, "style.css"), encoding="utf-8").read()
    if "@media print" not in css or "@import" in css or "url(" in css:
        failures.append("style.css: print rules, nothing loaded from elsewhere")
    index = open(os.path.join(site, "index.html"), encoding="utf-8").read()
    for needed in ["gruppe1.html", "einzel.html", "gesamt.html", "Letzte Aktualisierung"]:
        if needed not in index:
            failures.append("index.html lacks " + needed)
    group = open(os.path.join(site, "gruppe1.html"), encoding="utf-8").read()
    for needed in ["<th class=\"zahl\">Platz</th>", "<th>Mannschaft</th>", "<th class=\"zahl neben\">Kämpfe</th>",
                   "<th class=\"zahl\">Punkte</th>", "<th class=\"zahl\">Ringe</th>", "Kommende Begegnungen",
                   "4. Durchgang"]:
        if needed not in group:
            failures.append("gruppe1.html lacks " + needed)
    if "0&nbsp;:&nbsp;0" in group:
        failures.append("gruppe1.html shows an unshot pairing as 0 : 0")
    return failures


def chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


def browser_args(profile):
    # As root Chromium refuses to start without --no-sandbox; CI runs as root.
    return ["--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars", "--no-first-run",
            "--disable-dev-shm-usage", "--user-data-dir=" + profile, "--allow-file-access-from-files"]


def run_browser(browser, profile, args, timeout=120):
    return subprocess.run([browser] + browser_args(profile) + args, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=timeout, text=True)


def check_browser(site, out):
    browser = chromium()
    profile = tempfile.mkdtemp(prefix="torvm-chromium-")
    try:
        if browser is None:
            print("SKIP: chromium is not installed")
            return None
        try:
            probe = run_browser(browser, profile, ["--dump-dom", "about:blank"], timeout=90)
        except (OSError, subprocess.TimeoutExpired) as e:
            print("SKIP: chromium cannot start: %s" % e)
            return None
        if probe.returncode != 0 or "<html" not in probe.stdout:
            print("SKIP: chromium cannot start:\n" + probe.stderr[-2000:])
            return None

        failures = []
        for page in ("index.html", "gruppe1.html"):
            for width in (390, 1280):
                # The page in a frame of the window's width; the harness writes what it measured
                # into its own title, which --dump-dom shows.
                harness = os.path.join(out, "measure-%d-%s" % (width, page))
                with open(harness, "w", encoding="utf-8") as f:
                    f.write("""<!DOCTYPE html><html><head><title>pending</title></head><body style="margin:0">
<iframe id="f" src="site/%s" style="border:0;width:%dpx;height:900px"></iframe>
<script>
document.getElementById('f').onload = function () {
  var doc = this.contentDocument, d = doc.documentElement, outside = 0, headings = 0;
  // Every table cell shown lies inside the window, and so do the four headings that matter.
  doc.querySelectorAll('td, th').forEach(function (c) {
    var r = c.getBoundingClientRect();
    if (r.width > 0 && r.right > d.clientWidth + 0.5) outside++;
    if (r.width > 0 && ['Platz', 'Mannschaft', 'Punkte', 'Ringe'].indexOf(c.textContent) >= 0) headings++;
  });
  document.title = 'measured ' + d.scrollWidth + ' ' + d.clientWidth + ' ' + doc.body.scrollWidth + ' ' +
                   outside + ' ' + headings;
};
</script></body></html>""" % (page, width))
                result = run_browser(browser, profile, ["--dump-dom", "file://" + harness])
                m = re.search(r"<title>measured (\d+) (\d+) (\d+) (\d+) (\d+)</title>", result.stdout)
                if not m:
                    failures.append("%s at %d px: no measurement (%s)" % (page, width, result.stderr[-500:]))
                    continue
                scroll, client, body, outside, headings = (int(v) for v in m.groups())
                print("%s at %d px: document %d, window %d, body %d, cells outside %d" %
                      (page, width, scroll, client, body, outside))
                if scroll > client or body > client:
                    failures.append("%s at %d px is %d px wide" % (page, width, max(scroll, body)))
                if outside > 0:
                    failures.append("%s at %d px: %d table cells lie outside the window" % (page, width, outside))
                if page == "gruppe1.html" and headings != 4:
                    failures.append("%s at %d px: %d of Platz, Mannschaft, Punkte, Ringe shown" % (page, width, headings))
                shot = os.path.join(out, "%s-%d.png" % (page.replace(".html", ""), width))
                run_browser(browser, profile, ["--screenshot=" + shot, "--window-size=%d,900" % width,
                                               "file://" + os.path.join(site, page)])
                if not os.path.exists(shot) or os.path.getsize(shot) == 0:
                    failures.append("no screenshot " + shot)
        return failures
    finally:
        shutil.rmtree(profile, ignore_errors=True)


def main():
    cli, out, mode = sys.argv[1], os.path.abspath(sys.argv[2]), sys.argv[3]
    site = make_site(cli, out)
    failures = check_valid(site) if mode == "valid" else check_browser(site, out)
    if failures is None:
        return 77
    for failure in failures:
        print("FAIL: " + failure)
    print("%d failed" % len(failures) if failures else "modern site: all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

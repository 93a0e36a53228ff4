#!/usr/bin/env python3
"""torvm-cli publish against real servers on 127.0.0.1 that this script starts and stops itself:
an FTP server (python3-pyftpdlib) and OpenSSH's sshd with a throw-away configuration, host key
and user key.

  publish_check.py CLI OUT

Exit code 77 (skipped) only when sshd or pyftpdlib is missing.
"""
import filecmp
import os
import re
import shutil
import socket
import sqlite3
import subprocess
import sys
import time

FTP_SERVER = r'''
import sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer
root, limit = sys.argv[1], int(sys.argv[2])
if limit < 0:  # a server whose disk is full
    FTPHandler.ftp_STOR = lambda self, file, mode="w": self.respond("452 Insufficient storage space.")
a = DummyAuthorizer()
a.add_user("liga", "geheim", root, perm="elradfmwMT")
h = FTPHandler
h.authorizer = a
if limit > 0:
    ThrottledDTPHandler.write_limit = ThrottledDTPHandler.read_limit = limit
    h.dtp_handler = ThrottledDTPHandler
s = FTPServer(("127.0.0.1", 0), h)
print(s.address[1], flush=True)
s.serve_forever()
'''

failures = []


def check(condition, text):
    if not condition:
        failures.append(text)


def runner(cli, env):
    def run(*args, password="geheim"):
        p = subprocess.run([cli, *args], env=dict(env, TORVM_PASSWORD=password), capture_output=True, text=True,
                           timeout=120)
        return p.returncode, p.stdout + p.stderr
    run.cli, run.env = cli, env
    return run


def counts(output):
    m = re.search(r"(\d+) Dateien übertragen, (\d+) entfernt, (\d+) unverändert", output)
    return tuple(int(x) for x in m.groups()) if m else None


def pages(folder):
    return sorted(f for f in os.listdir(folder) if not f.startswith("."))


def same_site(remote, local):
    return pages(remote) == pages(local) and all(filecmp.cmp(os.path.join(remote, f), os.path.join(local, f), False)
                                                 for f in pages(local))


def start_ftp(root, limit=0):
    p = subprocess.Popen([sys.executable, "-c", FTP_SERVER, root, str(limit)], stdout=subprocess.PIPE,
                         stderr=subprocess.DEVNULL, text=True)
    return p, int(p.stdout.readline())


def site(run, db, folder):
    shutil.rmtree(folder, ignore_errors=True)
    code, text = run("web-export", db, folder)
    check(code == 0, "web-export: " + text)
    return folder


def ftp_cases(run, out, db):
    root = os.path.join(out, "ftp")
    os.makedirs(root)
    server, port = start_ftp(root)
    url = "ftp://liga@127.0.0.1:%d/verein/web" % port
    remote = os.path.join(root, "verein", "web")
    try:
        code, text = run("publish", db, url)
        local = site(run, db, os.path.join(out, "lokal"))
        check(code == 0 and counts(text) == (len(pages(local)), 0, 0), "first upload: " + text)
        check(same_site(remote, local), "first upload: the server's site differs from the local one")
        code, text = run("publish", db, url)
        check(code == 0 and counts(text) == (0, 0, len(pages(local))), "unchanged upload sent something: " + text)

        with sqlite3.connect(db) as con:  # one result of group 2, round 1: its results page alone
            con.execute('UPDATE "Wettkampf" SET "Ergebnis" = "Ergebnis" - 1 WHERE "ID" = '
                        '(SELECT MIN("ID") FROM "Wettkampf" WHERE "ID" / 1000000 = 1 AND "Ergebnis" > 0)')
        code, text = run("publish", db, url)
        local = site(run, db, os.path.join(out, "lokal"))
        check(code == 0 and counts(text) == (1, 0, len(pages(local)) - 1), "one changed page: " + text)
        check(same_site(remote, local), "one changed page: the server's site differs")

        with sqlite3.connect(db) as con:
            con.execute('DELETE FROM "Gruppe" WHERE "ID" = (SELECT MAX("ID") FROM "Gruppe")')
        code, text = run("publish", db, url)
        local = site(run, db, os.path.join(out, "lokal"))
        check(code == 0 and counts(text) is not None and counts(text)[1] == 2, "removed group: " + text)
        check(same_site(remote, local), "removed group: the server keeps pages of the old site")

        code, text = run("publish", db, url, password="falsch")
        check(code == 2 and "Passwort ist falsch" in text, "wrong password: %d %s" % (code, text))
    finally:
        server.kill()
        server.wait()
    server, port = start_ftp(root, limit=-1)
    try:
        code, text = run("publish", db, "ftp://liga@127.0.0.1:%d/voll" % port)
        check(code == 2 and "kein Platz mehr frei" in text, "full disk: %d %s" % (code, text))
    finally:
        server.kill()
        server.wait()

    # Killed half way through a slow upload of a site whose every page changed: each page on the
    # server is the old or the new one, whole; the next publish completes the site.
    old = site(run, db, os.path.join(out, "alt"))
    with sqlite3.connect(db) as con:
        con.execute('UPDATE "Wettbewerb" SET "Wettbewerb" = "Wettbewerb" || \' (neu)\'')
    new = site(run, db, os.path.join(out, "neu"))
    server, port = start_ftp(root, limit=10000)
    url = "ftp://liga@127.0.0.1:%d/verein/web" % port
    cut = subprocess.Popen([run.cli, "publish", db, url], env=dict(run.env, TORVM_PASSWORD="geheim"),
                           stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    time.sleep(2)
    server.kill()
    server.wait()
    text = cut.communicate(timeout=120)[0]
    check(cut.returncode == 2, "a killed server is not reported: " + text)
    mixed = [f for f in pages(remote) if filecmp.cmp(os.path.join(remote, f), os.path.join(new, f), False)]
    check(0 < len(mixed) < len(pages(new)), "the kill came too early or too late: %d new pages" % len(mixed))
    for f in pages(remote):
        check(filecmp.cmp(os.path.join(remote, f), os.path.join(old, f), False) or f in mixed, "half page: " + f)
    server, port = start_ftp(root)
    try:
        # Back to the old data first: the pages sent before the kill must not count as the old ones.
        with sqlite3.connect(db) as con:
            con.execute('UPDATE "Wettbewerb" SET "Wettbewerb" = replace("Wettbewerb", \' (neu)\', \'\')')
        code, text = run("publish", db, "ftp://liga@127.0.0.1:%d/verein/web" % port)
        check(code == 0 and same_site(remote, old), "the old site is not whole again: " + text)
        with sqlite3.connect(db) as con:
            con.execute('UPDATE "Wettbewerb" SET "Wettbewerb" = "Wettbewerb" || \' (neu)\'')
        code, text = run("publish", db, "ftp://liga@127.0.0.1:%d/verein/web" % port)
        check(code == 0 and same_site(remote, new), "the next publish does not complete the site: " + text)
    finally:
        server.kill()
        server.wait()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def start_sshd(folder, port):
    config = os.path.join(folder, "sshd_config")
    with open(config, "w") as f:
        f.write("Port %d\nListenAddress 127.0.0.1\nHostKey %s/host\nAuthorizedKeysFile %s/user.pub\n"
                "PasswordAuthentication no\nKbdInteractiveAuthentication no\nStrictModes no\nUsePAM no\n"
                "PidFile %s/sshd.pid\nSubsystem sftp internal-sftp\n" % (port, folder, folder, folder))
    p = subprocess.Popen(["/usr/sbin/sshd", "-D", "-e", "-f", config], stderr=subprocess.DEVNULL)
    for _ in range(100):
        try:
            socket.create_connection(("127.0.0.1", port), 0.1).close()
            return p
        except OSError:
            time.sleep(0.05)
    return p


def fingerprint(folder):
    out = subprocess.run(["ssh-keygen", "-lf", os.path.join(folder, "host.pub")], capture_output=True, text=True)
    return out.stdout.split()[1]


def sftp_cases(run, out, db):
    keys = os.path.join(out, "ssh")
    os.makedirs(keys)
    for name in ("host", "user"):
        subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", os.path.join(keys, name)], check=True)
    if os.geteuid() == 0:
        os.makedirs("/run/sshd", mode=0o755, exist_ok=True)  # sshd's privilege separation folder
    port = free_port()
    remote = os.path.join(out, "sftp", "web")
    url = "sftp://%s@127.0.0.1:%d%s" % (os.environ.get("USER") or "root", port, remote)
    key = ["--key", os.path.join(keys, "user")]
    server = start_sshd(keys, port)
    try:
        code, text = run("publish", db, url, *key)
        check(code == 2 and fingerprint(keys) in text and not os.path.exists(remote), "unknown host: " + text)
        code, text = run("publish", db, url, *key, "--accept-host-key", fingerprint(keys))
        local = site(run, db, os.path.join(out, "lokal"))
        check(code == 0 and same_site(remote, local), "first SFTP upload: " + text)
        code, text = run("publish", db, url, *key)
        check(code == 0 and counts(text) == (0, 0, len(pages(local))), "accepted key not kept: " + text)
    finally:
        server.kill()
        server.wait()
    os.remove(os.path.join(keys, "host"))
    os.remove(os.path.join(keys, "host.pub"))
    subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", os.path.join(keys, "host")], check=True)
    server = start_sshd(keys, port)
    try:
        with sqlite3.connect(db) as con:
            con.execute('UPDATE "Wettbewerb" SET "Wettbewerb" = "Wettbewerb" || \' (anders)\'')
        code, text = run("publish", db, url, *key)
        check(code == 2 and "hat sich geändert" in text and same_site(remote, local), "changed host key: " + text)
    finally:
        server.kill()
        server.wait()


def main():
    cli, out = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    try:
        import pyftpdlib  # noqa: F401
    except ImportError:
        return 77
    if not os.path.exists("/usr/sbin/sshd"):
        return 77
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    # Accepted host keys live in the user's data folder: a private one for this run.
    env = dict(os.environ, XDG_DATA_HOME=os.path.join(out, "daten"), HOME=out)
    run = runner(cli, env)
    db = os.path.join(out, "demo.mdb")
    code, text = run("demo", db)
    check(code == 0, text)
    ftp_cases(run, out, db)
    sftp_cases(run, out, db)
    for f in failures:
        print(f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""The POP3 client against a throwaway dovecot on loopback: every security
mode, a mailbox of 20,000 messages, a wrong password.

usage: dovecot_e2e.py MAIL_PROBE CERT_SCRIPT
"""
import os
import pwd
import shutil
import socket
import subprocess
import sys
import tempfile
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    probe, cert_script = sys.argv[1], sys.argv[2]
    dovecot = shutil.which("dovecot") or "/usr/sbin/dovecot"
    if not os.path.exists(dovecot):
        print("SKIP: dovecot-pop3d is not installed")
        return 0
    root = os.geteuid() == 0
    if root:
        # Dovecot's own unprivileged users; mail belongs to nobody.
        internal, login = "dovecot", "dovenull"
        mail_uid = mail_gid = 65534
    else:
        internal = login = pwd.getpwuid(os.geteuid()).pw_name
        mail_uid, mail_gid = os.geteuid(), os.getegid()
    with tempfile.TemporaryDirectory() as t:
        os.chmod(t, 0o755)
        subprocess.run(["sh", cert_script, t], check=True, stdout=subprocess.DEVNULL)
        for d in ("run", "state", "home", "mail"):
            os.mkdir(os.path.join(t, d))
        boxes = {"empty": 0, "three": 3, "big": 20000}
        with open(os.path.join(t, "passwd"), "w") as f:
            for user in boxes:
                f.write(f"{user}:{{PLAIN}}pw-{user}\n")
        for user, n in boxes.items():
            new = os.path.join(t, "mail", user, "new")
            for sub in ("cur", "new", "tmp"):
                os.makedirs(os.path.join(t, "mail", user, sub))
            for i in range(n):
                with open(os.path.join(new, f"{i}.m.host"), "w") as f:
                    f.write(f"From: a@b\r\nSubject: {i}\r\n\r\nx\r\n")
        if root:
            for dirpath, dirnames, filenames in os.walk(os.path.join(t, "mail")):
                for name in dirnames + filenames:
                    os.chown(os.path.join(dirpath, name), mail_uid, mail_gid)
                os.chown(dirpath, mail_uid, mail_gid)
            os.chown(os.path.join(t, "home"), mail_uid, mail_gid)
        pop3, pop3s = free_port(), free_port()
        conf = os.path.join(t, "dovecot.conf")
        with open(conf, "w") as f:
            f.write(f"""protocols = pop3
listen = 127.0.0.1
base_dir = {t}/run
state_dir = {t}/state
log_path = {t}/dovecot.log
ssl = yes
ssl_cert = <{t}/good.crt
ssl_key = <{t}/good.key
disable_plaintext_auth = no
auth_mechanisms = plain
default_internal_user = {internal}
default_login_user = {login}
first_valid_uid = 1
mail_location = maildir:{t}/mail/%u
pop3_uidl_format = %08Xu%08Xv
passdb {{
  driver = passwd-file
  args = scheme=PLAIN username_format=%u {t}/passwd
}}
userdb {{
  driver = static
  args = uid={mail_uid} gid={mail_gid} home={t}/home/%u
}}
service pop3-login {{
  chroot =
  inet_listener pop3 {{
    address = 127.0.0.1
    port = {pop3}
  }}
  inet_listener pop3s {{
    address = 127.0.0.1
    port = {pop3s}
    ssl = yes
  }}
}}
service anvil {{
  chroot =
}}
""")
        server = subprocess.Popen([dovecot, "-F", "-c", conf],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT)
        try:
            for _ in range(100):
                try:
                    socket.create_connection(("127.0.0.1", pop3), 0.2).close()
                    break
                except OSError:
                    time.sleep(0.1)
            env = dict(os.environ, MIROKATA_EXTRA_CA=os.path.join(t, "ca.crt"))

            def check(port, security, user, password):
                out = subprocess.run(
                    [probe, "pop3", "localhost", str(port), str(security), user, password],
                    env=env, capture_output=True, text=True, timeout=90).stdout.split()
                return int(out[0]), int(out[1])

            ok = 1  # MailOutcome::kOk
            failures = []
            cases = [
                ("mode 0 (STLS offered)", pop3, 0, "three", 3),
                ("mode 1 (STLS required)", pop3, 1, "three", 3),
                ("mode 2 (POP3S)", pop3s, 2, "three", 3),
                ("mode 3 (plain)", pop3, 3, "three", 3),
                ("empty mailbox", pop3, 0, "empty", 0),
                ("20,000 messages", pop3, 0, "big", 20000),
            ]
            for name, port, security, user, count in cases:
                got = check(port, security, user, f"pw-{user}")
                if got != (ok, count):
                    failures.append(f"{name}: {got}, wanted {(ok, count)}")
            outcome, count = check(pop3, 0, "three", "wrong")
            if outcome == ok or count != -1:
                failures.append(f"wrong password: {(outcome, count)}")
            if failures:
                print("\n".join(failures))
                print(open(os.path.join(t, "dovecot.log")).read()[-3000:])
                return 1
            print("dovecot: all modes counted")
            return 0
        finally:
            server.terminate()
            server.wait(10)


if __name__ == "__main__":
    sys.exit(main())

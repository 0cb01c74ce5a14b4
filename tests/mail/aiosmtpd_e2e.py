#!/usr/bin/env python3
"""The reminder mail against aiosmtpd on loopback: STARTTLS with AUTH
required after it, every message parsed by the email package; and a server
that offers AUTH on a plain link, which must never see credentials.

usage: aiosmtpd_e2e.py MAIL_PROBE CERT_SCRIPT
"""
import email
import email.policy
import email.utils
import warnings
import os
import socket
import ssl
import subprocess
import sys
import tempfile

try:
    from aiosmtpd.controller import Controller
    from aiosmtpd.smtp import AuthResult
except ImportError:
    print("SKIP: python3-aiosmtpd is not installed")
    sys.exit(0)

TITLE = "26/12/11 (Fri) 09:05"
OK = 1  # MailOutcome::kOk


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Sink:
    def __init__(self):
        self.messages = []
        self.logins = []

    async def handle_DATA(self, server, session, envelope):
        self.messages.append(envelope)
        return "250 OK"

    def authenticate(self, server, session, envelope, mechanism, auth_data):
        self.logins.append((auth_data.login, auth_data.password, session.ssl is not None))
        return AuthResult(success=auth_data.login == b"taro" and auth_data.password == b"pw")


def start(sink, port, tls_context):
    kwargs = dict(authenticator=sink.authenticate, auth_require_tls=tls_context is not None)
    if tls_context is not None:
        kwargs.update(tls_context=tls_context, require_starttls=True, auth_required=True)
    controller = Controller(sink, hostname="127.0.0.1", port=port, **kwargs)
    controller.start()
    return controller


def body_text(envelope):
    message = email.message_from_bytes(envelope.content, policy=email.policy.compat32)
    charset = message.get_content_charset()
    text = message.get_payload(decode=True).decode(charset)
    return message, text.split("\r\n")[:-1]


def main():
    warnings.simplefilter("ignore", DeprecationWarning)
    probe, cert_script = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as t:
        subprocess.run(["sh", cert_script, t], check=True, stdout=subprocess.DEVNULL)
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(os.path.join(t, "good.crt"), os.path.join(t, "good.key"))
        env = dict(os.environ, MIROKATA_EXTRA_CA=os.path.join(t, "ca.crt"))

        def send(port, security, user, password, sender, to, *texts):
            out = subprocess.run(
                [probe, "smtp", "localhost", str(port), str(security), user, password,
                 sender, to, *texts],
                env=env, capture_output=True, text=True, timeout=90).stdout.split()
            return out[0]

        sink = Sink()
        port = free_port()
        controller = start(sink, port, context)
        try:
            cases = [
                ("two texts", ["first entry", "second\nthird"], "desk@example.com"),
                ("dots", [".", "..x", "a"], "desk@example.com"),
                ("wave dash", ["会議～資料"], "desk@example.com"),
                ("circled digit", ["①番", "絵文字 \U0001F600"], "desk@example.com"),
                ("empty from", ["x"], ""),
            ]
            for name, texts, sender in cases:
                before = len(sink.messages)
                got = send(port, 0, "taro", "pw", sender, "me@example.com", *texts)
                if got != str(OK) or len(sink.messages) != before + 1:
                    failures.append(f"{name}: outcome {got}")
                    continue
                envelope = sink.messages[-1]
                message, lines = body_text(envelope)
                wanted = [TITLE] + "\n".join(texts).split("\n")
                # ISO-2022-JP carries CP932's full-width tilde as JIS's wave
                # dash, which is what the recipient reads.
                if message.get_content_charset() == "iso-2022-jp":
                    wanted = [w.replace("\uff5e", "\u301c") for w in wanted]
                if lines != wanted:
                    failures.append(f"{name}: body {lines!r}, wanted {wanted!r}")
                shown_from = sender or "me@example.com"
                if message["From"] != shown_from or message["Sender"] != shown_from:
                    failures.append(f"{name}: From {message['From']!r}")
                if envelope.mail_from != (sender or "<>"):
                    failures.append(f"{name}: envelope from {envelope.mail_from!r}")
                if message["To"] != "me@example.com" or \
                        message["Subject"] != "Mirokata Reminder":
                    failures.append(f"{name}: headers {message.items()!r}")
                if email.utils.parsedate_to_datetime(message["Date"]) is None:
                    failures.append(f"{name}: Date {message['Date']!r}")
                if not message["Message-ID"]:
                    failures.append(f"{name}: no Message-ID")
            # A line over 998 octets arrives cut, every piece within the limit.
            long_line = "x" * 1500
            if send(port, 0, "taro", "pw", "a@b.example", "me@example.com", long_line) != str(OK):
                failures.append("long line: not sent")
            else:
                raw = sink.messages[-1].content.split(b"\r\n")
                if max(len(l) for l in raw) > 998:
                    failures.append("long line: a line over 998 octets")
                _, lines = body_text(sink.messages[-1])
                if "".join(lines[1:]) != long_line:
                    failures.append("long line: text changed")
            if any(not secure for _, _, secure in sink.logins):
                failures.append("credentials on a plain link")
            # A wrong password: refused, nothing delivered.
            before = len(sink.messages)
            send(port, 0, "taro", "bad", "a@b.example", "me@example.com", "x")
            if len(sink.messages) != before:
                failures.append("wrong password: delivered")
        finally:
            controller.stop()

        # AUTH offered without TLS: QUIT before MAIL, no credentials.
        plain = Sink()
        port = free_port()
        controller = start(plain, port, None)
        try:
            got = send(port, 0, "taro", "pw", "a@b.example", "me@example.com", "x")
            if plain.logins or plain.messages or got == str(OK):
                failures.append(f"plain AUTH: outcome {got}, logins {plain.logins}")
        finally:
            controller.stop()
    if failures:
        print("\n".join(failures))
        return 1
    print("aiosmtpd: every mail parsed")
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""A Radicale server on a loopback port for tests and benchmarks."""
import base64
import os
import shutil
import socket
import subprocess
import time
import urllib.request

USER = "user"
PASSWORD = "secret"


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Radicale:
    """Radicale with its storage under `folder`, one htpasswd user and one
    empty calendar at `url`."""

    def __init__(self, folder):
        self.executable = shutil.which("radicale")
        self.storage = os.path.join(folder, "storage")
        self.port = free_port()
        users = os.path.join(folder, "users")
        with open(users, "w") as f:
            f.write(f"{USER}:{PASSWORD}\n")
        config = os.path.join(folder, "config")
        with open(config, "w") as f:
            f.write(f"""[server]
hosts = 127.0.0.1:{self.port}
[auth]
type = htpasswd
htpasswd_filename = {users}
htpasswd_encryption = plain
[storage]
filesystem_folder = {self.storage}
[logging]
level = warning
""")
        self.process = subprocess.Popen(
            [self.executable, "--config", config],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            try:
                socket.create_connection(("127.0.0.1", self.port),
                                         timeout=1).close()
                break
            except OSError:
                time.sleep(0.1)
        self.url = f"http://127.0.0.1:{self.port}/{USER}/cal/"
        self.request("MKCALENDAR", self.url)

    def request(self, method, url, body=None, headers=None):
        req = urllib.request.Request(url, data=body, method=method)
        token = base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()
        req.add_header("Authorization", "Basic " + token)
        for k, v in (headers or {}).items():
            req.add_header(k, v)
        with urllib.request.urlopen(req, timeout=30) as r:
            return r.status, r.read()

    def resources(self):
        folder = os.path.join(self.storage, "collection-root", USER, "cal")
        return [n for n in os.listdir(folder) if n.endswith(".ics")]

    def stop(self):
        self.process.terminate()
        self.process.wait(timeout=10)


def make_home(folder, name, url):
    """A program home with its settings and data folder."""
    home = os.path.join(folder, name)
    data = os.path.join(home, "data")
    os.makedirs(data)
    with open(os.path.join(home, "mirokata.ini"), "w") as f:
        f.write(f"[Calendar]\nDirectory={data}\n"
                f"[CalDAV]\nUse=1\nUrl={url}\nUser={USER}\n")
    return home, data


def sync_env():
    return dict(os.environ, MIROKATA_CALDAV_PASSWORD=PASSWORD)

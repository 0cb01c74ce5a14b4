#!/usr/bin/python3
"""Installs the build tree into a scratch DESTDIR and builds its .deb.

Fails when the installation holds more or fewer files than a desktop
program needs, when desktop-file-validate or appstreamcli refuse the menu
entry or the metainfo, or when the package lacks a program or its
dependencies name build packages instead of run-time ones.

Usage: check_install.py BUILD_DIR
"""

import os
import subprocess
import sys
import tempfile

ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
EXPECTED = {
    "usr/bin/mirokata",
    "usr/bin/mirokata-cal",
    "usr/lib/mirokata/mirokata_sound.so",
    "usr/share/applications/mirokata.desktop",
    "usr/share/metainfo/org.mirokata.Mirokata.metainfo.xml",
    "usr/share/icons/hicolor/scalable/apps/mirokata.svg",
    "usr/share/man/man1/mirokata-cal.1",
} | {"usr/share/icons/hicolor/%dx%d/apps/mirokata.png" % (s, s)
     for s in ICON_SIZES}
# What the programs need at run time, by their Debian 12 names.
RUNTIME = ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libqt6multimedia6",
           "libjpeg62-turbo", "libx11-6", "libical3", "libc6")


def run(*command, **kw):
    return subprocess.run(command, check=True, capture_output=True,
                          text=True, **kw).stdout


def files_under(root):
    found = set()
    for folder, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def main():
    build = os.path.abspath(sys.argv[1])
    failures = []
    with tempfile.TemporaryDirectory(prefix="mirokata-install-") as work:
        dest = os.path.join(work, "dest")
        run("cmake", "--install", build, "--prefix", "/usr",
            env=dict(os.environ, DESTDIR=dest))
        installed = files_under(dest)
        for path in sorted(EXPECTED - installed):
            failures.append("missing from the installation: " + path)
        for path in sorted(installed - EXPECTED):
            failures.append("installed but not expected: " + path)
        for program in ("usr/bin/mirokata", "usr/bin/mirokata-cal"):
            if not os.access(os.path.join(dest, program), os.X_OK):
                failures.append(program + " is not executable")

        for command in (
                ["desktop-file-validate",
                 os.path.join(dest, "usr/share/applications/mirokata.desktop")],
                ["appstreamcli", "validate", "--no-net",
                 os.path.join(dest, "usr/share/metainfo/"
                                    "org.mirokata.Mirokata.metainfo.xml")]):
            result = subprocess.run(command, capture_output=True, text=True)
            if result.returncode != 0:
                failures.append("%s refused it:\n%s%s" % (
                    command[0], result.stdout, result.stderr))

        # gzip keeps the sanitizer tree's large programs quick to pack.
        package_dir = os.path.join(work, "package")
        run("cpack", "-G", "DEB", "--config",
            os.path.join(build, "CPackConfig.cmake"), "-B", package_dir,
            "-D", "CPACK_DEBIAN_COMPRESSION_TYPE=gzip")
        debs = [f for f in os.listdir(package_dir) if f.endswith(".deb")]
        if len(debs) != 1:
            failures.append("expected one .deb, found %s" % debs)
        else:
            deb = os.path.join(package_dir, debs[0])
            info = run("dpkg-deb", "--info", deb)
            depends = next((line.split(":", 1)[1] for line in info.splitlines()
                            if line.strip().startswith("Depends:")), "")
            names = {d.split("(")[0].strip()
                     for alt in depends.split(",") for d in alt.split("|")}
            for package in RUNTIME:
                if package not in names:
                    failures.append("Depends lacks %s: %s" % (package, depends))
            for name in sorted(names):
                if name.endswith("-dev"):
                    failures.append("Depends names a build package: " + name)
            contents = {line.split()[-1].lstrip(".").lstrip("/")
                        for line in run("dpkg-deb", "--contents",
                                        deb).splitlines()}
            for path in sorted(EXPECTED - contents):
                failures.append("missing from the package: " + path)

    for failure in failures:
        print("FAIL:", failure)
    print("installation and package checked: %d problem(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

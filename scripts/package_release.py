#!/usr/bin/env python3
"""Pack Tarnwick's release: the zip a Windows user downloads, and its checksums.

Usage: python3 scripts/package_release.py EXECUTABLE VERSION DIST

Empties DIST and writes there the folder tarnwick-VERSION/ (tarnwick.exe,
README.txt, CHANGELOG.txt and LICENSE.txt, the texts with CR LF line ends for
Notepad), the same folder packed as tarnwick-VERSION-win64.zip, and SHA256SUMS
for the zip and the executable in sha256sum's format, so `sha256sum -c
SHA256SUMS` checks both from DIST.

The zip's bytes follow from the files alone: sorted entries with fixed
permissions and no owner, all dated SOURCE_DATE_EPOCH, else the last commit,
else a fixed day. CMake's own zip writer cannot give that: it records each
file's owner, and without SOURCE_DATE_EPOCH its access and change times.
"""

import datetime
import hashlib
import os
import shutil
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUTSIDE_GIT_EPOCH = 1767225600  # 2026-01-01 00:00 UTC


def source_date_epoch():
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        log = subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True)
        return int(log.stdout)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return OUTSIDE_GIT_EPOCH


def read(path):
    with open(path, "rb") as file:
        return file.read()


def crlf(text):
    return text.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


def main():
    executable, version, dist = sys.argv[1:]
    folder = f"tarnwick-{version}"
    zip_name = f"{folder}-win64.zip"
    files = {
        "CHANGELOG.txt": crlf(read(os.path.join(ROOT, "CHANGELOG.md"))),
        "LICENSE.txt": crlf(read(os.path.join(ROOT, "LICENSE"))),
        "README.txt": crlf(read(os.path.join(ROOT, "docs", "README.txt"))),
        "tarnwick.exe": read(executable),
    }
    when = datetime.datetime.fromtimestamp(source_date_epoch(), datetime.timezone.utc)

    shutil.rmtree(dist, ignore_errors=True)
    os.makedirs(os.path.join(dist, folder))
    with zipfile.ZipFile(os.path.join(dist, zip_name), "w") as archive:
        for name in sorted(files):
            with open(os.path.join(dist, folder, name), "wb") as file:
                file.write(files[name])
            entry = zipfile.ZipInfo(f"{folder}/{name}", when.timetuple()[:6])
            entry.create_system = 3  # Unix, so the permissions below are read as such
            entry.external_attr = 0o644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            archive.writestr(entry, files[name], compresslevel=9)

    with open(os.path.join(dist, "SHA256SUMS"), "w", newline="\n") as sums:
        for path in (zip_name, f"{folder}/tarnwick.exe"):
            digest = hashlib.sha256(read(os.path.join(dist, path))).hexdigest()
            sums.write(f"{digest}  {path}\n")


if __name__ == "__main__":
    main()

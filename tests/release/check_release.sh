#!/usr/bin/env bash
# The release, made from build/mingw: the zip holds that build's tarnwick.exe and its texts
# in CR LF, in a fixed order; a copy of the tree in another folder, built from its sources
# alone, gives the same bytes; a changed version in project() reaches the version resource,
# the manifest, the About box and the zip's name.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."
version=$(sed -n 's/^project(Tarnwick VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
# The copy has no history to date the zip's entries from.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
export SOURCE_DATE_EPOCH
scripts/release.sh >/dev/null

python3 - "tarnwick-$version" <<'END'
import sys, zipfile
folder = sys.argv[1]
crlf = lambda path: open(path, "rb").read().replace(b"\n", b"\r\n")
expected = [(f"{folder}/CHANGELOG.txt", crlf("CHANGELOG.md")), (f"{folder}/LICENSE.txt", crlf("LICENSE")),
            (f"{folder}/README.txt", crlf("docs/README.txt")),
            (f"{folder}/tarnwick.exe", open("build/mingw/tarnwick.exe", "rb").read())]
archive = zipfile.ZipFile(f"dist/{folder}-win64.zip")
listing = [(entry.filename, entry.file_size) for entry in archive.infolist()]
print("release:", listing)
assert listing == [(name, len(data)) for name, data in expected], "names, sizes or order"
assert all(archive.read(name) == data for name, data in expected), "contents"
END

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
tar --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -xf - -C "$copy"
"$copy/scripts/release.sh" >/dev/null
cmp build/mingw/tarnwick.exe "$copy/dist/tarnwick-$version/tarnwick.exe"
cmp "dist/tarnwick-$version-win64.zip" "$copy/dist/tarnwick-$version-win64.zip"

sed -i 's/^project(Tarnwick VERSION [0-9.]*/project(Tarnwick VERSION 2.3.4/' "$copy/CMakeLists.txt"
"$copy/scripts/release.sh" >/dev/null
test -f "$copy/dist/tarnwick-2.3.4-win64.zip"
resources=$(x86_64-w64-mingw32-windres -J coff -i "$copy/dist/tarnwick-2.3.4/tarnwick.exe" -O rc)
for line in 'FILEVERSION 2, 3, 4, 0' 'PRODUCTVERSION 2, 3, 4, 0' '"FileVersion", "2.3.4"' \
  '"ProductVersion", "2.3.4"' 'CONTROL "Tarnwick 2.3.4"'; do
  grep -qF "$line" <<<"$resources" || { echo "release: version 2.3.4 lacks $line" >&2; exit 1; }
done
grep -qaF 'version="2.3.4.0"' "$copy/dist/tarnwick-2.3.4/tarnwick.exe" ||
  { echo "release: version 2.3.4 lacks the manifest's" >&2; exit 1; }
echo "release: the same bytes from a second folder; version 2.3.4 reaches the resources and the zip"

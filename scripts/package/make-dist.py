#!/usr/bin/env python3
"""Packs the two Windows builds into dist/Tarrowby-<version>.zip, byte for byte
the same whenever the executables are: fixed order, dates and attributes."""
import pathlib
import re
import sys
import zipfile

root = pathlib.Path(__file__).resolve().parents[2]


def version() -> str:
    script = (root / "res" / "Tarrowby.rc").read_text(encoding="ascii")
    match = re.search(r"^FILEVERSION\s+(\d+),\s*(\d+),\s*(\d+),\s*(\d+)", script, re.MULTILINE)
    if not match:
        sys.exit("make-dist: no FILEVERSION in res/Tarrowby.rc")
    return ".".join(match.groups())


def add(archive: zipfile.ZipFile, name: str, data: bytes, text: bool = False) -> None:
    entry = zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0))
    entry.create_system = 0  # MS-DOS: no Unix owner or mode bits
    entry.external_attr = 0
    entry.internal_attr = 1 if text else 0  # marked as text for unzip programs
    entry.compress_type = zipfile.ZIP_DEFLATED
    archive.writestr(entry, data, compresslevel=9)


def main() -> None:
    release = version()
    folder = f"Tarrowby-{release}"
    programs = {
        f"{folder}/Tarrowby.exe": root / "build" / "win32" / "Tarrowby.exe",
        f"{folder}/x64/Tarrowby.exe": root / "build" / "win64" / "Tarrowby.exe",
    }
    for path in programs.values():
        if not path.is_file():
            sys.exit(f"make-dist: {path} is missing; build it first")
    readme = (root / "docs" / "RUNNING.txt").read_text(encoding="ascii").replace("@VERSION@", release)
    # Texts for Windows, with CRLF line ends: how to run it, the program's
    # licence, and the notice that the glyphs of its "MS Serif" face require.
    texts = {
        f"{folder}/README.txt": readme,
        f"{folder}/LICENSE.txt": (root / "LICENSE").read_text(encoding="ascii"),
        f"{folder}/FONT-NOTICE.txt": (root / "res" / "font" / "COPYING").read_text(encoding="ascii"),
    }
    out_dir = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "dist"
    out_dir.mkdir(parents=True, exist_ok=True)
    target = out_dir / f"{folder}.zip"
    with zipfile.ZipFile(target, "w") as archive:
        for name, text in texts.items():
            add(archive, name, text.replace("\n", "\r\n").encode("ascii"), text=True)
        for name, path in programs.items():
            add(archive, name, path.read_bytes())
    print(target)


main()

"""The release package: what a user downloads, unpacks and starts."""

import hashlib
import re
import subprocess
import sys
import time
import unicodedata
import zipfile

from harness import CAPTION, CMD_END, ROOT, expect
from test_command_line import expect_registered

READABLE_WIDTH = 78  # columns of ReadMe.txt, a full-width character counting two


def columns(line):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in line)


def expect_notepad_text(data, what):
    """UTF-8 with a byte-order mark and CRLF line ends only; the text."""
    assert data.startswith(b"\xef\xbb\xbf"), f"{what} has no UTF-8 byte-order mark"
    expect(data.count(b"\n"), data.count(b"\r\n"), f"line feeds in {what} (each after a carriage return)")
    expect(data.count(b"\r"), data.count(b"\r\n"), f"carriage returns in {what} (each before a line feed)")
    return data[3:].decode("utf-8")


def test_package_unpacks_and_starts_from_a_japanese_folder_with_blanks(case):
    out = case.folder / "dist"
    subprocess.run([sys.executable, str(ROOT / "scripts" / "package"), "--exe", str(case.paths.tavrel),
                    "--out", str(out)], check=True, stdout=subprocess.DEVNULL, timeout=120)

    # Named after the version the window shows.
    version = re.search(r"Ver\.([\d.]+) ", CAPTION).group(1)
    package = out / f"tavrel-{version}-win64.zip"
    expect(sorted(p.name for p in out.iterdir()), ["SHA256SUMS", package.name], "what scripts/package made")
    with zipfile.ZipFile(package) as archive:
        expect(sorted(archive.namelist()), ["LICENSE.txt", "ReadMe-en.txt", "ReadMe.txt", "tavrel.exe"],
               "the package's files")
        expect(archive.testzip(), None, "a damaged entry")
        readme = expect_notepad_text(archive.read("ReadMe.txt"), "ReadMe.txt")
        readme_en = expect_notepad_text(archive.read("ReadMe-en.txt"), "ReadMe-en.txt")
        licence = archive.read("LICENSE.txt").decode("utf-8")
        target = case.folder / "ダウンロード" / "外字 ツール (最新版)"
        archive.extractall(target)

    lines = readme.split("\r\n")
    expect(lines[0], f"Tavrel Ver.{version}", "ReadMe.txt's first line")
    for heading in ("■ 概要", "■ 動作環境", "■ 使い方", "■ 起動スイッチ", "■ アンインストール", "■ 注意"):
        assert heading in lines, f"ReadMe.txt has no heading {heading}"
    for needle in (r"HKEY_CURRENT_USER\EUDC\932", r"HKEY_CURRENT_USER\Software\Tavrel\Journal", "/restore"):
        assert needle in readme, f"ReadMe.txt does not mention {needle}"
    for mark in ("`", "**", "](", "![", "<!--", "\n#"):
        assert mark not in readme, f"ReadMe.txt holds the Markdown mark {mark!r}"
    assert "In English" not in readme, "ReadMe.txt runs on past the Japanese part"
    expect(readme_en.split("\r\n")[0], f"Tavrel Ver.{version}", "ReadMe-en.txt's first line")
    for needle in ("Language:", r"HKEY_CURRENT_USER\EUDC", "/restore"):
        assert needle in readme_en, f"ReadMe-en.txt does not mention {needle}"
    for mark in ("`", "**", "](", "\n#", "For developers"):
        assert mark not in readme_en, f"ReadMe-en.txt holds {mark!r}"
    # Wrapped for a narrow Notepad window, but for what cannot be broken.
    wide = [line for line in lines + readme_en.split("\r\n")
            if columns(line) > READABLE_WIDTH and " " in line.strip() and not line.startswith("    ")]
    expect(wide, [], "lines of the ReadMe files wider than the window that could have been wrapped")
    assert licence.startswith("MIT License\r\n") and "Ferroday" in licence, "LICENSE.txt is not Ferroday's MIT licence"
    expect(licence.count("\n"), licence.count("\r\n"), "line feeds in LICENSE.txt (each after a carriage return)")

    # Started as a user does after unpacking, with a program and its font put
    # beside it, while the folder window that unpacking opened, named after
    # the package, is still on the screen.
    case.probe("create_window", package.stem)
    case.copy(case.paths.viewer, "eudcview.exe", target)
    case.copy(case.paths.font, "sample.tte", target)
    expect((target / "tavrel.exe").read_bytes(), case.paths.tavrel.read_bytes(), "the packaged tavrel.exe")
    tavrel = case.start_tavrel(target / "tavrel.exe")
    expect(tavrel.window()["title"], CAPTION, "caption")
    expect_registered(tavrel, target / "eudcview.exe", target / "sample.tte")
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")



def test_calls_newer_than_windows_7_are_not_imported(case):
    # Windows 7 refuses to start a program that imports a function it lacks: these are looked up at run time.
    imports = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(case.paths.tavrel)], check=True,
                             stdout=subprocess.PIPE, timeout=60).stdout.decode()
    assert "DLL Name: USER32.dll" in imports, "no import table read"
    newer = ("GetDpiForWindow", "AdjustWindowRectExForDpi", "SystemParametersInfoForDpi", "SetDefaultDllDirectories")
    expect([f for f in newer if re.search(rf"\b{f}\b", imports)], [], "tavrel.exe's imports that Windows 7 lacks")


def build_tavrel(build):
    """tavrel.exe alone, built from this tree into a folder of its own."""
    subprocess.run(["cmake", "-S", ROOT, "-B", build, "-G", "Ninja", "-DTAVREL_TESTS=OFF",
                    f"-DCMAKE_TOOLCHAIN_FILE={ROOT / 'cmake' / 'mingw-w64-x86_64.cmake'}"],
                   check=True, stdout=subprocess.DEVNULL, timeout=300)
    subprocess.run(["nice", "cmake", "--build", build, "--target", "tavrel"], check=True,
                   stdout=subprocess.DEVNULL, timeout=1800)
    return build / "src" / "tavrel.exe"


def pe_time_stamp(exe):
    header = int.from_bytes(exe[0x3C:0x40], "little")  # e_lfanew: where "PE\0\0" starts
    assert exe[header:header + 4] == b"PE\0\0", "not a PE file"
    return int.from_bytes(exe[header + 8:header + 12], "little")  # the file header's TimeDateStamp


def test_two_builds_of_one_commit_give_the_same_package(tmp_path):
    made = []
    for name in ("a", "another-build-folder"):  # paths of other lengths, as on another machine
        exe = build_tavrel(tmp_path / name)
        out = tmp_path / name / "dist"
        subprocess.run([sys.executable, ROOT / "scripts" / "package", "--exe", exe, "--out", out], check=True,
                       stdout=subprocess.DEVNULL, timeout=120)
        made.append((exe.read_bytes(), {p.name: p.read_bytes() for p in out.iterdir()}))
    (exe, files), (other_exe, other_files) = made

    expect(exe == other_exe, True, "the two tavrel.exe alike, byte for byte")
    expect(files == other_files, True, "the two packages and SHA256SUMS alike, byte for byte")
    expect(pe_time_stamp(exe), 0, "the PE header's time stamp")
    for path in (str(tmp_path), str(ROOT)):
        assert path.encode() not in exe, f"tavrel.exe holds the build path {path}"
    package, = [name for name in files if name.endswith(".zip")]
    expect(files["SHA256SUMS"].decode(), f"{hashlib.sha256(files[package]).hexdigest()}  {package}\n", "SHA256SUMS")

    commit = int(subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], check=True,
                                stdout=subprocess.PIPE, text=True).stdout)
    with zipfile.ZipFile(tmp_path / "a" / "dist" / package) as archive:
        expect([e.filename for e in archive.infolist()], ["tavrel.exe", "ReadMe.txt", "ReadMe-en.txt", "LICENSE.txt"],
               "the package's entries in order")
        stamp = time.gmtime(commit)[:6]
        stamp = stamp[:5] + (stamp[5] // 2 * 2,)  # a zip keeps even seconds
        expect({e.date_time for e in archive.infolist()}, {stamp}, "the entries' dates (the commit's)")
        expect({e.external_attr >> 16 for e in archive.infolist()}, {0o100644}, "the entries' permissions")

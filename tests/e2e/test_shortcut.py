"""The shortcut Tavrel puts on the desktop from its system menu: what it
holds, the question before it replaces a file, and that it runs the program
with its font."""

import pytest

from harness import (CMD_END, IDNO, IDOK, IDYES, WM_CLOSE, WM_SYSCOMMAND, expect, shortcut_item, texts,
                     wait_equal, wait_until, windows_path)
from test_command_line import lay_out_apart
from test_launch import ORDINARY, switched

NAME = "ゲーム (外字).lnk"  # for the program ゲーム.exe of lay_out_apart
CREATED = "デスクトップにショートカットを作成しました。\r\n" + NAME
EXISTS = "デスクトップに同じ名前のファイルがあります。上書きしますか？\r\n"


def keep_inside_the_prefix(case, folder):
    """Wine links the desktop to the home folder when there is no ~/Desktop:
    a real folder of the prefix takes the link's place, so that the cases
    never write outside the build."""
    drive, rest = folder.split(":\\", 1)
    local = case.session.prefix / "dosdevices" / f"{drive.lower()}:" / rest.replace("\\", "/")
    if local.is_symlink():
        local.unlink()
        local.mkdir()


@pytest.fixture
def shortcut(case):
    """The shortcut's full path on the desktop of Wine's user, as Windows
    programs see it: none there at the start, removed at the end."""
    desktop = case.probe("desktop_folder")["path"]
    keep_inside_the_prefix(case, desktop)
    path = desktop + "\\" + NAME
    case.probe("delete_file", path)
    yield path
    case.probe("delete_file", path)


def choose_item(tavrel):
    """The system menu's item, as the menu sends it (posted: the window
    answers it with a box of its own)."""
    tavrel.case.post(tavrel.hwnd, WM_SYSCOMMAND, shortcut_item())


def answer(tavrel, text, button):
    box = tavrel.wait_message_box()
    expect(box["text"], text, "the message")
    tavrel.case.click(box["buttons"][button], box["hwnd"])
    # Gone, or another in its place.
    wait_until(lambda: (tavrel.message_box() or {}).get("hwnd") != box["hwnd"], "the message gone")


def make_shortcut(case, shortcut):
    """Tavrel holding a program and its font, which makes the shortcut; its
    files, and what the shortcut holds."""
    exe, program, font = lay_out_apart(case)
    tavrel = case.start_tavrel(exe, args=[windows_path(program), windows_path(font)])
    choose_item(tavrel)
    answer(tavrel, CREATED, IDOK)
    return tavrel, (exe, program, font), case.probe("shortcut", shortcut)


def test_holds_tavrel_the_files_and_the_programs_folder_and_asks_before_replacing(case, shortcut):
    tavrel, (exe, program, font), made = make_shortcut(case, shortcut)
    expect({key: made[key] for key in ("target", "arguments", "working_folder", "icon", "icon_index")},
           {"target": windows_path(exe),
            "arguments": f'/run /exit "{windows_path(program)}" "{windows_path(font)}"',
            "working_folder": windows_path(program.parent),
            "icon": windows_path(program), "icon_index": 0},
           "the shortcut")

    # Made again: the file there goes only when the user says so.
    choose_item(tavrel)
    answer(tavrel, EXISTS + shortcut, IDNO)
    choose_item(tavrel)
    answer(tavrel, EXISTS + shortcut, IDYES)
    answer(tavrel, CREATED, IDOK)
    expect(case.probe("shortcut", shortcut), made, "the shortcut made again")
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")


def test_runs_the_program_with_its_font_and_tavrel_ends_with_it(case, shortcut):
    tavrel, (exe, program, font), made = make_shortcut(case, shortcut)
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")
    case.write_key(ORDINARY)

    # As the shell starts a shortcut: its target with its arguments, in its
    # working folder.
    pid = case.start_command_line(f'"{made["target"]}" {made["arguments"]}', program.parent)
    tavrel = case.wait_tavrel(pid=pid)
    seen, viewer = case.viewer()
    expect(seen, windows_path(font), "the font setting the program saw at its start")
    wait_equal(lambda: texts(case.read_key()), switched(ORDINARY, windows_path(font)),
               "HKCU\\EUDC\\932 while the program runs")
    case.post(viewer["hwnd"], WM_CLOSE)  # the user ends the program
    tavrel.wait_ended("Tavrel after the program ended")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the program ended")

"""One copy of Tavrel for many programs: the files and switches on its
command line, from a shortcut or from files dropped onto its icon."""

from harness import (CHK_EXIT, CMD_END, CMD_EXEC_SOFT, IDOK, LABEL1_0, LABEL1_1, WM_CLOSE, expect, texts,
                     wait_equal, wait_until, windows_path)
from test_launch import ORDINARY, switched

USAGE = "使い方: tavrel.exe [/run] [/exit] [ソフト] [外字ファイル.tte] [-- ソフトに渡す引数]"


def lay_out_apart(case):
    """Tavrel alone in a tools folder; a program and its font in a folder of
    their own, whose name holds blanks and Japanese. Returns (tavrel.exe,
    program, font) as Unix paths."""
    tools = case.lay_out("Tools", program=None, font=None)
    games = case.folder / "Games" / "古い ゲーム"
    games.mkdir(parents=True)
    program = case.copy(case.paths.viewer, "ゲーム.exe", games)
    font = case.copy(case.paths.font, "外字.tte", games)
    return tools / "tavrel.exe", program, font


def expect_registered(tavrel, program, font, launching=False):
    expect(tavrel.text(LABEL1_0), windows_path(program), "program box")
    expect(tavrel.text(LABEL1_1), windows_path(font), "font box")
    expect(tavrel.enabled(CMD_EXEC_SOFT), not launching, "the launch button enabled")


def test_two_files_in_either_order(case):
    exe, program, font = lay_out_apart(case)

    # Dropped onto the icon: full paths, quoted where they hold blanks.
    tavrel = case.start_tavrel(exe, args=[windows_path(program), windows_path(font)])
    expect_registered(tavrel, program, font)
    assert not tavrel.checked(CHK_EXIT), "chkExit ticked without /exit"
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")

    # The font first, both relative to the current folder.
    tavrel = case.start_tavrel(exe, cwd=program.parent.parent, args=[r"古い ゲーム\外字.tte", r".\古い ゲーム\ゲーム.exe"])
    expect_registered(tavrel, program, font)
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")


def test_shortcut_runs_the_program_with_its_font_and_ends_with_it(case):
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)

    # A shortcut's link target, as written in its properties; its working
    # folder is Tavrel's own.
    pid = case.start_command_line(
        f'"{windows_path(exe)}" /run /exit "{windows_path(program)}" "{windows_path(font)}"', exe.parent)
    tavrel = case.wait_tavrel(pid=pid)
    seen, viewer = case.viewer()
    expect(seen, windows_path(font), "the font setting the program saw at its start")
    wait_equal(lambda: texts(case.read_key()), switched(ORDINARY, windows_path(font)),
               "HKCU\\EUDC\\932 while the program runs")
    wait_until(lambda: tavrel.window()["iconic"], "Tavrel's window minimised during the launch")
    assert tavrel.checked(CHK_EXIT), "chkExit not ticked by /exit"
    expect_registered(tavrel, program, font, launching=True)

    case.post(viewer["hwnd"], WM_CLOSE)  # the user ends the program
    tavrel.wait_ended("Tavrel after the program ended")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the program ended")


def test_a_shortcut_as_the_program_starts_what_it_points_at_and_is_waited_for(case):
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)
    saves = case.folder / "Saves"
    saves.mkdir()
    link = case.folder / "ゲーム.lnk"
    # Arguments the sample program takes: any other makes it end at once.
    case.probe("make_shortcut", windows_path(link), windows_path(program), "--exit-code 7", windows_path(saves))

    tavrel = case.start_tavrel(exe, args=["/run", "/exit", windows_path(link), windows_path(font)])
    seen, viewer = case.viewer()
    expect(seen, windows_path(font), "the font setting the program saw at its start")
    report = case.viewer_report()
    expect(report["folder"], windows_path(saves), "the program's working folder: the shortcut's")
    assert report["line"].endswith(" --exit-code 7"), f"the shortcut's arguments not passed: {report['line']}"
    wait_equal(lambda: texts(case.read_key()), switched(ORDINARY, windows_path(font)),
               "HKCU\\EUDC\\932 while the program runs")
    expect_registered(tavrel, program, font, launching=True)

    case.post(viewer["hwnd"], WM_CLOSE)  # the user ends the program
    tavrel.wait_ended("Tavrel after the program ended")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the program ended")


def test_unknown_switch_is_told_then_the_window_opens_as_without(case):
    case.lay_out()
    case.write_key(ORDINARY)
    before = case.main_window_handles()
    case.start(case.folder / "tavrel.exe", args=["/run", "/exit", "/Bogus"])

    box = case.wait_message_box(title="Tavrel")
    lines = box["text"].split("\r\n")
    expect(lines[0], "起動スイッチ「/Bogus」は使えません。", "the first line of the message")
    assert USAGE in lines, f"no usage in the message: {box['text']!r}"
    assert "・-- の後に書いたものは、そのまま起動させるソフトに渡します。" in lines, "the usage says nothing of arguments"
    expect(sorted(box["buttons"]), [IDOK], "the message's buttons")
    assert case.main_window_handles() == before, "Tavrel's window shown behind the message"
    case.click(box["buttons"][IDOK], box["hwnd"])

    # As without arguments: the files beside it, no launch, chkExit clear.
    tavrel = case.wait_tavrel(before, pid=box["pid"])
    expect_registered(tavrel, case.folder / "eudcview.exe", case.folder / "sample.tte")
    assert not tavrel.checked(CHK_EXIT), "chkExit ticked by a command line that was not taken"
    assert tavrel.normal(), "Tavrel's window is not shown normally"
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after a command line that was not taken")
    assert not (case.folder / "report.txt").exists(), "the program started"
    expect(case.message_box(title="Tavrel"), None, "a second message box")

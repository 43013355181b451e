"""A second start of Tavrel with files, from a shortcut or a drop on its icon,
while a copy runs: its files reach the running copy, whatever it is doing."""

import time

from harness import (FONT_VALUE, IDOK, IDYES, LABEL1_0, LABEL1_1, REG_SZ, WM_CLOSE, expect, texts, wait_equal,
                     wait_until, windows_path)
from test_command_line import lay_out_apart
from test_launch import ORDINARY, switched
from test_recovery import killed_during_the_wait


def second_start(case, exe, program, font, switches="/run"):
    """Starts tavrel.exe again with files, as a shortcut does; its pid."""
    return case.start_command_line(
        f'"{windows_path(exe)}" {switches} "{windows_path(program)}" "{windows_path(font)}"', exe.parent)


def viewer_started(case, known=()):
    """The report and window of a sample program started after those known."""
    report = wait_until(lambda: (r := case.viewer_report()) and r["pid"] not in known and r, "a new report")
    pid = int(report["pid"])
    case.process(pid)
    window = wait_until(lambda: case.windows(title="EUDC Viewer", pid=pid), "the EUDC Viewer window")[0]
    return report, window


def waiting_copy(case):
    """Tavrel apart from its program, running it with its font; (exe,
    program, font, the copy's pid, the program's report and window)."""
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)
    first = second_start(case, exe, program, font)
    report, viewer = viewer_started(case)
    return exe, program, font, first, report, viewer


def test_an_idle_copy_takes_the_files_and_launches(case):
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel(exe)

    pid = second_start(case, exe, program, font)
    expect(case.wait_ended(pid, "the second start"), 0, "the second start's exit code")
    report, viewer = viewer_started(case)
    expect(report["font"], windows_path(font), "the font the program saw")
    expect(tavrel.text(LABEL1_0), windows_path(program), "the running copy's program box")
    expect(tavrel.text(LABEL1_1), windows_path(font), "the running copy's font box")
    expect(len(case.main_windows()), 1, "Tavrel's main windows")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_equal(case.read_key, ORDINARY, "HKCU\\EUDC\\932 after the program ended")


def test_a_copy_waiting_with_the_same_font_starts_the_new_program_at_once(case):
    exe, program, font, first, report, viewer = waiting_copy(case)
    other = case.copy(program, "もう一つ.exe", program.parent)

    pid = second_start(case, exe, other, font)
    expect(case.wait_ended(pid, "the second start"), 0, "the second start's exit code")
    second, second_window = viewer_started(case, known={report["pid"]})
    expect(second["font"], windows_path(font), "the font the second program saw")
    case.post(viewer["hwnd"], WM_CLOSE)
    case.wait_ended(int(report["pid"]), "the first program")
    time.sleep(0.5)
    expect(texts(case.read_key()), switched(ORDINARY, windows_path(font)), "HKCU\\EUDC\\932 while one still runs")
    case.post(second_window["hwnd"], WM_CLOSE)
    wait_equal(case.read_key, ORDINARY, "HKCU\\EUDC\\932 after both ended")
    assert case.process(first)["alive"], "the running copy ended"


def test_a_copy_waiting_with_another_font_asks_then_starts_it_after(case):
    exe, program, font, first, report, viewer = waiting_copy(case)
    other_font = case.copy(font, "別の外字.tte", font.parent)

    pid = second_start(case, exe, program, other_font)
    expect(case.wait_ended(pid, "the second start"), 0, "the second start's exit code")
    box = case.wait_message_box(title="Tavrel", pid=first)
    for named in (windows_path(program), windows_path(font), windows_path(other_font)):
        assert named in box["text"], f"{named} not in the question: {box['text']!r}"
    case.click(box["buttons"][IDYES], box["hwnd"])
    case.post(viewer["hwnd"], WM_CLOSE)

    second, second_window = viewer_started(case, known={report["pid"]})
    expect(second["font"], windows_path(other_font), "the font the queued program saw")
    case.post(second_window["hwnd"], WM_CLOSE)
    wait_equal(case.read_key, ORDINARY, "HKCU\\EUDC\\932 after both ended")


def test_a_start_during_a_logon_restore_goes_on_after_it(case):
    viewer, font = killed_during_the_wait(case)
    command = case.run_once()
    restore = case.start_command_line(command, case.folder)
    time.sleep(1)  # the restore now waits for the program, without a window
    pid = second_start(case, case.folder / "tavrel.exe", case.folder / "eudcview.exe", case.folder / "sample.tte",
                       switches="")
    time.sleep(1)
    expect(case.main_windows(), [], "main windows while the logon's restore waits")
    assert case.process(pid)["alive"], "the start waiting for the logon's restore ended"

    case.post(viewer["hwnd"], WM_CLOSE)
    tavrel = case.wait_tavrel(pid=pid)  # comes while the restore's report may still be shown
    expect(tavrel.text(LABEL1_1), windows_path(case.folder / "sample.tte"), "the waiting start's font box")
    box = case.message_box(title="Tavrel", pid=restore)
    if box:
        case.click(box["buttons"][IDOK], box["hwnd"])
    expect(case.wait_ended(restore, "the logon's restore"), 0, "its exit code")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the restore")


def test_a_start_while_the_usage_box_is_up_is_handled_once_after_it(case):
    """The usage box runs a message loop of its own, which delivers a second
    start's files: they wait for the box, and their program starts once."""
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)
    first = case.start_command_line(f'"{windows_path(exe)}" /bogus', exe.parent)
    box = case.wait_message_box(title="Tavrel", pid=first)
    pid = second_start(case, exe, program, font)
    expect(case.wait_ended(pid, "the second start"), 0, "the second start's exit code")
    time.sleep(1)
    expect(case.processes("ゲーム.exe"), [], "programs started while the box is up")
    case.click(box["buttons"][IDOK], box["hwnd"])

    report, viewer = viewer_started(case)
    expect(report["font"], windows_path(font), "the font the program saw")
    time.sleep(1)
    expect(len(case.processes("ゲーム.exe")), 1, "programs started")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_equal(case.read_key, ORDINARY, "HKCU\\EUDC\\932 after the program ended")


def test_a_start_during_the_close_question_runs_after_it(case):
    """The close question is up when a shortcut starts another program with
    the same font: the Yes puts the settings back, and the start then runs."""
    exe, program, font, first, report, viewer = waiting_copy(case)
    tavrel = case.wait_tavrel(pid=first)
    case.post(tavrel.hwnd, WM_CLOSE)
    question = case.wait_message_box(title="Tavrel", pid=first)
    other = case.copy(program, "もう一つ.exe", program.parent)
    pid = second_start(case, exe, other, font)
    expect(case.wait_ended(pid, "the second start"), 0, "the second start's exit code")
    case.click(question["buttons"][IDYES], question["hwnd"])

    second, second_window = viewer_started(case, known={report["pid"]})
    expect(second["font"], windows_path(font), "the font the program started after the question saw")
    case.post(second_window["hwnd"], WM_CLOSE)
    wait_equal(case.read_key, ORDINARY, "HKCU\\EUDC\\932 after it ended")
    case.post(viewer["hwnd"], WM_CLOSE)


def test_a_queued_start_that_fails_is_told_and_the_next_follows(case):
    exe, program, font, first, report, viewer = waiting_copy(case)
    gone = case.copy(font, "消える外字.tte", font.parent)
    third = case.copy(program, "三つ目.exe", program.parent)
    third_font = case.copy(font, "三つ目の外字.tte", font.parent)
    for queued_program, queued_font in ((program, gone), (third, third_font)):
        expect(case.wait_ended(second_start(case, exe, queued_program, queued_font), "a second start"), 0,
               "the second start's exit code")
        question = case.wait_message_box(title="Tavrel", pid=first)
        case.click(question["buttons"][IDYES], question["hwnd"])
        wait_until(lambda: not case.message_box(title="Tavrel", pid=first), "the question to close")
    gone.unlink()
    case.post(viewer["hwnd"], WM_CLOSE)

    told = case.wait_message_box(title="Tavrel", pid=first)
    assert windows_path(gone) in told["text"], f"the missing font is not named: {told['text']!r}"
    case.click(told["buttons"][IDOK], told["hwnd"])
    last, last_window = viewer_started(case, known={report["pid"]})
    expect(last["font"], windows_path(third_font), "the font the next queued program saw")
    case.post(last_window["hwnd"], WM_CLOSE)
    wait_equal(case.read_key, ORDINARY, "HKCU\\EUDC\\932 after the last ended")

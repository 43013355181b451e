"""Tavrel kept in a tools folder, each program started from a shortcut as a
user makes one: the program runs in its own folder, gets what follows "--",
shows as the shortcut asks, and the pair started last is there next time."""

from harness import CMD_END, LABEL1_0, LABEL1_1, WM_CLOSE, expect, wait_until, windows_path
from test_command_line import lay_out_apart
from test_launch import ORDINARY

SW_SHOWMINNOACTIVE = 7


def test_a_shortcut_start_runs_in_the_programs_folder_with_its_arguments_and_window_state(case):
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)

    # A shortcut whose working folder is Tavrel's own, set to 最小化.
    pid = case.start_command_line(
        f'"{windows_path(exe)}" /run /exit "{windows_path(program)}" "{windows_path(font)}" -- --exit-code "7"',
        exe.parent, show=SW_SHOWMINNOACTIVE)
    report = case.viewer_report()
    expect(report["folder"], windows_path(program.parent), "the program's working folder")
    assert report["line"].endswith(" --exit-code 7"), f"the program's command line: {report['line']!r}"
    expect(report["show"], str(SW_SHOWMINNOACTIVE), "the show state the program was started with")

    case.process(int(report["pid"]))
    viewer = wait_until(lambda: case.windows(title="EUDC Viewer", pid=int(report["pid"]), visible=None),
                        "the EUDC Viewer window")[0]
    case.post(viewer["hwnd"], WM_CLOSE)
    expect(case.wait_ended(pid, "Tavrel after the program ended"), 0, "Tavrel's exit code")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the program ended")


def test_a_plain_start_shows_the_pair_it_last_started(case):
    exe, program, font = lay_out_apart(case)
    case.write_key(ORDINARY)
    pid = case.start_command_line(
        f'"{windows_path(exe)}" /run /exit "{windows_path(program)}" "{windows_path(font)}"', exe.parent)
    _, viewer = case.viewer()
    case.post(viewer["hwnd"], WM_CLOSE)
    case.wait_ended(pid, "Tavrel after the program ended")
    # Named after the executable: Windows does not tell Tavrel.ini from tavrel.ini.
    assert (exe.parent / "tavrel.ini").is_file(), "no settings file beside tavrel.exe"

    tavrel = case.start_tavrel(exe)
    expect(tavrel.text(LABEL1_0), windows_path(program), "the program box of a plain start")
    expect(tavrel.text(LABEL1_1), windows_path(font), "the font box of a plain start")
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")

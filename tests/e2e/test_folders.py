"""Tavrel in the folders users put it in: names outside code page 932 from
the start-up search, the drops and the icon to the launch and the value
written, and no DLL from its folder in place of a system one."""

from harness import (CMD_EXEC_SOFT, LABEL1_0, LABEL1_1, WM_CLOSE, expect, texts, wait_equal, wait_until,
                     windows_path)
from test_drop import DROPEFFECT_COPY, SEAL_RED, drag, launch_picture
from test_launch import ORDINARY, switched, wait_back


def launch_with(case, tavrel, font):
    """Launches and checks what the program and the registry see; then ends the program."""
    (case.folder / "report.txt").unlink(missing_ok=True)
    tavrel.click(CMD_EXEC_SOFT)
    seen, viewer = case.viewer()
    expect(seen, font, "the font setting the program saw at its start")
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 while the program runs")
    return viewer


def test_folders_named_outside_code_page_932(case):
    folder = case.lay_out("Zoë/ゲーム")
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel(folder / "tavrel.exe")
    expect(tavrel.text(LABEL1_0), windows_path(folder / "eudcview.exe"), "program box")
    expect(tavrel.text(LABEL1_1), windows_path(folder / "sample.tte"), "font box")
    wait_until(lambda: SEAL_RED in launch_picture(case, tavrel), "the program's icon on the launch button")

    viewer = launch_with(case, tavrel, windows_path(folder / "sample.tte"))
    expect(case.run_once(), f'"{windows_path(folder / "tavrel.exe")}" /restore', "the RunOnce command")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)

    # A program and a font dropped from D:\도구\.
    drive = case.folder / "drive-d"
    tools = drive / "도구"
    tools.mkdir(parents=True)
    case.copy(case.paths.viewer, "ツール.exe", tools)
    case.copy(case.paths.font, "외자.tte", tools)
    case.map_drive("d", drive)
    for path, box in ((r"D:\도구\외자.tte", LABEL1_1), (r"D:\도구\ツール.exe", LABEL1_0)):
        expect(drag(case, [path], tavrel.control(box), tavrel.hwnd), DROPEFFECT_COPY, f"the drop of {path}")
        wait_equal(lambda: tavrel.text(box), path, f"the box showing {path}")
    case.screenshot(case.folder / "after-drops.png")

    viewer = launch_with(case, tavrel, r"D:\도구\외자.tte")
    expect(case.processes("ツール.exe")[0]["pid"], viewer["pid"], "the program started")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)


def test_a_dll_beside_tavrel_is_not_loaded(case):
    # A bare-name load inside the running program, made after its start, as a
    # system DLL loading a helper would make it.
    case.lay_out()
    case.copy(case.paths.planted, "planted.dll")
    tavrel = case.start_tavrel()
    planted = windows_path(case.folder / "planted.dll")
    expect(case.probe("load_library", tavrel.pid, "planted.dll")["loaded"], False,
           "planted.dll loaded into Tavrel by its bare name")
    expect(case.probe("load_library", tavrel.pid, planted)["loaded"], True,
           "planted.dll loaded into Tavrel by its full path (the probe's own check)")

    # The same load in a program of the same folder that keeps the default
    # search order finds the DLL: the difference is Tavrel's.
    case.start(case.folder / "eudcview.exe")
    _, viewer = case.viewer()
    expect(case.probe("load_library", viewer["pid"], "planted.dll")["loaded"], True,
           "planted.dll loaded into the sample program by its bare name")

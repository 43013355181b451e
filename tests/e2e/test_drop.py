"""Registering another program or font by dragging it onto its box from a
drag source in another process, as from the desktop shell."""

import time

from harness import (CMD_EXEC_SOFT, FONT_PROMPT, LABEL1_0, LABEL1_1, PROGRAM_PROMPT, centre, expect, wait_until,
                     windows_path)

DROPEFFECT_NONE, DROPEFFECT_COPY = 0, 1
SEAL_RED = "#C8281E"  # the sample program's icon: a red seal


def drag(case, files, target, window):
    """Drags files (paths, or Windows paths as text) from a drag source onto
    the centre of a control with the mouse; the effect the drop target answered."""
    result = case.folder / "drag.txt"
    result.unlink(missing_ok=True)
    listed = "|".join(f if isinstance(f, str) else windows_path(f) for f in files)
    case.start(case.paths.dragsource, env={"DRAGSOURCE_FILES": listed,
                                           "DRAGSOURCE_RESULT": windows_path(result)})
    source = wait_until(lambda: case.windows(title="Drag Source"), "the drag source's window")[0]
    start_x, start_y = centre(source["rect"])
    end_x, end_y = centre(target["rect"])
    case.point_at(start_x, start_y, source["hwnd"])
    case.xdotool("mousedown", "1")
    steps = 12
    for step in range(1, steps + 1):  # a hand moves in many small motions
        x = start_x + (end_x - start_x) * step // steps
        y = start_y + (end_y - start_y) * step // steps
        case.xdotool("mousemove", "--sync", str(x), str(y))
        time.sleep(0.05)
    time.sleep(0.3)
    case.xdotool("mouseup", "1")
    wait_until(result.is_file, "the end of the drag")
    return int(result.read_text().strip().split("=")[1])


def launch_picture(case, tavrel):
    """The colours of the picture on the launch button."""
    left, top, right, bottom = tavrel.control(CMD_EXEC_SOFT)["rect"]
    middle = (left + right) // 2
    return case.colours((middle - 16, top + 4, middle + 16, top + 36))


def test_drops_register_the_font_then_the_program(case):
    case.lay_out(program=None, font=None)
    elsewhere = case.folder / "elsewhere"
    elsewhere.mkdir()
    font = case.copy(case.paths.font, "Gaiji.TTE", elsewhere)
    program = case.copy(case.paths.viewer, "Viewer Tool.exe", elsewhere)
    tavrel = case.start_tavrel()
    expect(tavrel.text(LABEL1_0), PROGRAM_PROMPT, "program box before the drops")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "launch button enabled with nothing registered"
    assert SEAL_RED not in launch_picture(case, tavrel), "the program's icon before the drop"

    expect(drag(case, [font], tavrel.control(LABEL1_1), tavrel.hwnd), DROPEFFECT_COPY, "the font drop's effect")
    wait_until(lambda: tavrel.text(LABEL1_1) == windows_path(font), "the font box showing the dropped font")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "launch button enabled with no program registered"

    expect(drag(case, [program], tavrel.control(LABEL1_0), tavrel.hwnd), DROPEFFECT_COPY,
           "the program drop's effect")
    wait_until(lambda: tavrel.text(LABEL1_0) == windows_path(program), "the program box showing the program")
    wait_until(lambda: tavrel.enabled(CMD_EXEC_SOFT), "the launch button enabled once both are known")
    wait_until(lambda: SEAL_RED in launch_picture(case, tavrel), "the dropped program's icon on the launch button")
    case.screenshot(case.folder / "after-drop.png")


def test_drops_of_the_wrong_kind_or_of_two_files_are_refused(case):
    case.lay_out(program=None, font=None)
    font = case.copy(case.paths.font, "sample.tte", case.folder / "..")
    program = case.copy(case.paths.viewer, "viewer.exe", case.folder / "..")
    tavrel = case.start_tavrel()
    for files, box in (([font], LABEL1_0), ([program], LABEL1_1), ([program, font], LABEL1_0),
                       ([font, font], LABEL1_1)):
        expect(drag(case, files, tavrel.control(box), tavrel.hwnd), DROPEFFECT_NONE,
               f"the effect of dropping {[f.name for f in files]} on control {box}")
    expect(tavrel.text(LABEL1_0), PROGRAM_PROMPT, "program box after refused drops")
    expect(tavrel.text(LABEL1_1), FONT_PROMPT, "font box after refused drops")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "launch button enabled by a refused drop"

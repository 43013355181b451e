"""Choosing the program and the font in the system's Open dialog, from their
boxes, without a single drag: one by the mouse, one by the keyboard alone."""

from harness import (CMD_EXEC_SOFT, FONT_VALUE, LABEL1_0, LABEL1_1, REG_SZ, WM_CLOSE, expect, texts,
                     wait_equal, wait_until, windows_path)


def open_dialog(case, tavrel):
    """The Open dialog Tavrel shows, once it is there, and its file name box."""
    def shown():
        for dialog in case.windows(cls="#32770", pid=tavrel.pid):
            names = [c for c in case.probe("tree", dialog["hwnd"])["controls"]
                     if c["class"] == "Edit" and c["visible"]]
            if names:
                return dialog, names[0]
        return None
    return wait_until(shown, "the Open dialog with its file name box")


def choose(case, tavrel, path):
    """Types the file's full path into the Open dialog and presses Enter."""
    dialog, name = open_dialog(case, tavrel)
    case.probe("set_text", name["hwnd"], windows_path(path))
    case.key("Return")
    wait_until(lambda: not case.windows(cls="#32770", pid=tavrel.pid), "the Open dialog closed")


def test_both_files_chosen_in_the_dialogs_then_launched(case):
    case.lay_out(program=None, font=None)
    elsewhere = case.folder / "elsewhere"
    elsewhere.mkdir()
    program = case.copy(case.paths.viewer, "Viewer Tool.exe", elsewhere)
    font = case.copy(case.paths.font, "Gaiji.tte", elsewhere)
    tavrel = case.start_tavrel()

    # The program by the mouse: a click on its box.
    tavrel.click(LABEL1_0)
    choose(case, tavrel, program)
    wait_until(lambda: tavrel.text(LABEL1_0) == windows_path(program), "the program box showing the chosen program")

    # The font by the keyboard alone: the focus is back on the program box,
    # two Tabs (past 終了) reach the font box, Enter opens its dialog.
    wait_equal(tavrel.focus, LABEL1_0, "the focus after the program's dialog")
    case.key("Tab", "Tab")
    wait_equal(tavrel.focus, LABEL1_1, "the focus after two Tabs")
    case.screenshot(case.folder / "focused-font-box.png")
    case.key("Return")
    choose(case, tavrel, font)
    wait_until(lambda: tavrel.text(LABEL1_1) == windows_path(font), "the font box showing the chosen font")

    wait_until(lambda: tavrel.enabled(CMD_EXEC_SOFT), "the launch button enabled once both are chosen")
    tavrel.click(CMD_EXEC_SOFT)
    seen, viewer = case.viewer()
    expect(seen, windows_path(font), "the font setting the program saw at its start")
    wait_equal(lambda: texts(case.read_key()).get(FONT_VALUE), (REG_SZ, windows_path(font)),
               "the chosen font while the chosen program runs")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_until(lambda: tavrel.enabled(CMD_EXEC_SOFT), "the launch button enabled again after the program")

"""The launch: the user's font while the program runs, the earlier settings
back once it ends, whichever way the wait ends."""

import time

import pytest

from harness import (CHK_EXIT, CMD_END, CMD_EXEC_SOFT, EUDC_KEY, FONT_VALUE, IDNO, IDOK, IDYES, REG_DWORD,
                     REG_EXPAND_SZ, REG_SZ, WINDOWS_DIR, WM_CLOSE, WM_ENDSESSION, WM_QUERYENDSESSION, expect, sz,
                     texts, wait_equal, wait_until, windows_path)

QUESTION = "登録ソフトが起動中です。\r\n終了してもいいですか？"
ORDINARY = {
    FONT_VALUE: (REG_SZ, sz(r"C:\Fonts\previous.tte")),
    "Backup": (REG_SZ, sz(r"C:\Fonts\backup.tte")),
    "Count": (REG_DWORD, (5).to_bytes(4, "little")),
}


def switched(before, font):
    """The key as texts while the program runs: every earlier value an empty
    REG_SZ, and the user's font."""
    return {**{name: (REG_SZ, "") for name in before or {}}, FONT_VALUE: (REG_SZ, font)}


def launch(case, tavrel, before):
    """Presses the launch button and waits until the program runs with the
    font switched; returns the program's window."""
    font = windows_path(case.folder / "sample.tte")
    tavrel.click(CMD_EXEC_SOFT)
    seen, viewer = case.viewer()
    expect(seen, font, "the font setting the program saw at its start")
    wait_equal(lambda: texts(case.read_key()), switched(before, font), "the EUDC key while the program runs")
    return viewer


def wait_back(case, tavrel, before):
    """Waits for the end of a launch: settings back, window normal, button enabled."""
    wait_equal(case.read_key, before, "the EUDC key after the program ended")
    wait_until(tavrel.normal, "Tavrel's window back to normal")
    wait_until(lambda: tavrel.enabled(CMD_EXEC_SOFT), "the launch button enabled again")
    assert tavrel.alive(), "Tavrel ended after the launch"


def test_switch_and_restore(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()

    viewer = launch(case, tavrel, ORDINARY)
    wait_until(lambda: tavrel.window()["iconic"], "Tavrel's window minimised during the launch")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "the launch button can be pressed again during the launch"
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)


@pytest.mark.locale("en_US.UTF-8")
def test_the_key_of_the_code_page_in_use(case):
    # Programs read the EUDC key of the ANSI code page, here 1252: that key
    # is switched, and the Japanese one stays as it is.
    expect(case.session.eudc_key(), r"EUDC\1252", "the EUDC key of the code page under LANG=en_US.UTF-8")
    japanese = {FONT_VALUE: (REG_SZ, sz(r"C:\Fonts\japanese.tte"))}
    case.lay_out()
    case.write_key(ORDINARY)
    case.write_key(japanese, EUDC_KEY)
    tavrel = case.start_tavrel()

    viewer = launch(case, tavrel, ORDINARY)
    expect(case.read_key(EUDC_KEY), japanese, "HKCU\\EUDC\\932 while the program runs")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)
    expect(case.read_key(EUDC_KEY), japanese, "HKCU\\EUDC\\932 after the launch")


def test_values_changed_meanwhile_are_kept_and_named(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    viewer = launch(case, tavrel, ORDINARY)

    # Another program edits one value and adds one while the program runs.
    edited, added = sz(r"C:\Fonts\edited.tte"), sz(r"D:\도구\added.tte")
    case.probe("reg_set", r"EUDC\932", "Backup", REG_SZ, edited.hex())
    case.probe("reg_set", r"EUDC\932", "Added", REG_SZ, added.hex())
    case.post(viewer["hwnd"], WM_CLOSE)

    box = tavrel.wait_message_box()
    expect(box["text"], "外字を切り替えている間に、次の外字の設定がほかの方法で変更されました。"
           "変更後の設定のままにしてあります。\r\nHKEY_CURRENT_USER\\EUDC\\932\r\n"
           "「Backup」 = C:\\Fonts\\edited.tte\r\n「Added」 = D:\\도구\\added.tte", "the box naming what was kept")
    expect(sorted(box["buttons"]), [IDOK], "the buttons of the box")
    expect(case.read_key(), {**ORDINARY, "Backup": (REG_SZ, edited), "Added": (REG_SZ, added)},
           "HKCU\\EUDC\\932: the rest back, the others' values kept")
    case.click(box["buttons"][IDOK], box["hwnd"])
    wait_until(lambda: tavrel.enabled(CMD_EXEC_SOFT), "the launch button enabled again")
    expect(case.journal(), None, "Tavrel's journal key")


def test_exit_with_program(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()

    tavrel.click(CHK_EXIT)
    wait_until(lambda: tavrel.checked(CHK_EXIT), "chkExit ticked by a click")
    case.key("alt+e")
    wait_until(lambda: not tavrel.checked(CHK_EXIT), "chkExit cleared by Alt+E")
    case.key("alt+e")
    wait_until(lambda: tavrel.checked(CHK_EXIT), "chkExit ticked again by Alt+E")

    viewer = launch(case, tavrel, ORDINARY)
    case.post(viewer["hwnd"], WM_CLOSE)
    tavrel.wait_ended("Tavrel with chkExit ticked, after the program ended")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the program ended")


def answer_question(case, tavrel, button):
    box = tavrel.wait_message_box()
    expect(box["text"], QUESTION, "the question on closing during a launch")
    expect(sorted(box["buttons"]), [IDYES, IDNO], "the question's buttons")
    case.click(box["buttons"][button], box["hwnd"])
    wait_until(lambda: tavrel.message_box() is None, "the question to go away")


def test_close_during_wait(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    viewer = launch(case, tavrel, ORDINARY)
    font = windows_path(case.folder / "sample.tte")

    # The window back from the taskbar, then its close box: No keeps waiting.
    tavrel.restore()
    case.click_at(*case.close_box(tavrel.hwnd), tavrel.hwnd)
    answer_question(case, tavrel, IDNO)
    assert tavrel.alive(), "Tavrel ended after No"
    assert case.process(viewer["pid"])["alive"], "the program ended after No"
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 after No")

    # 終了: Yes puts the settings back and ends Tavrel, and only Tavrel.
    tavrel.restore()
    tavrel.click(CMD_END)
    answer_question(case, tavrel, IDYES)
    tavrel.wait_ended("Tavrel after Yes")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after Yes")
    assert case.process(viewer["pid"])["alive"], "the program ended with Tavrel"


def test_unusual_values_restored(case):
    before = {
        FONT_VALUE: (REG_EXPAND_SZ, sz(r"%SystemRoot%\EUDC.TTE")),
        "Long": (REG_SZ, sz("C:\\外字\\" + "とても長い名前の外字ファイル" * 20 + ".tte")),
        "café 한 😀": (REG_SZ, sz("é 한 😀")),
    }
    assert len(before["Long"][1]) > 255 * 2
    case.lay_out()
    case.write_key(before)
    tavrel = case.start_tavrel()

    viewer = launch(case, tavrel, before)
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, before)


def test_missing_settings_get_the_windows_default(case):
    default = (REG_SZ, WINDOWS_DIR + "\\EUDC.TTE")
    case.lay_out()
    case.write_key(None)
    tavrel = case.start_tavrel()

    # No key at all.
    viewer = launch(case, tavrel, None)
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_equal(lambda: texts(case.read_key()), {FONT_VALUE: default}, "HKCU\\EUDC\\932 after a launch without it")
    wait_until(lambda: tavrel.enabled(CMD_EXEC_SOFT), "the launch button enabled again")

    # A key with other values only: they come back, beside the default.
    (case.folder / "report.txt").unlink()
    other = {"Other": (REG_SZ, sz(r"C:\Fonts\other.tte"))}
    case.write_key(other)
    viewer = launch(case, tavrel, other)
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_equal(lambda: texts(case.read_key()), {**texts(other), FONT_VALUE: default},
               "HKCU\\EUDC\\932 after a launch without SystemDefaultEUDCFont")


def test_session_end_during_wait(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    launch(case, tavrel, ORDINARY)

    query = case.send(tavrel.hwnd, WM_QUERYENDSESSION)
    assert query["delivered"] and query["result"] != 0, f"WM_QUERYENDSESSION refused the session end: {query}"
    assert tavrel.message_box() is None, "a message box on WM_QUERYENDSESSION"
    case.send(tavrel.hwnd, WM_ENDSESSION, 1)
    # Windows may end the process as soon as WM_ENDSESSION returns: the
    # settings must be back by then.
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 once WM_ENDSESSION returned")

    def ended_without_question():
        assert tavrel.message_box() is None, "a message box during the session end"
        return not tavrel.alive()

    wait_until(ended_without_question, "Tavrel to end with the session")


def test_program_beside_a_folder_with_a_shorter_name(case):
    # "<case>\Viewer Pro\eudcview.exe" starts with "<case>\Viewer", a folder,
    # and an unquoted start would run "<case>\Viewer.exe" instead.
    folder = case.lay_out("Viewer Pro")
    (case.folder / "Viewer").mkdir()
    case.copy(case.paths.noicon, "Viewer.exe")
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel(folder / "tavrel.exe")

    font = windows_path(folder / "sample.tte")
    tavrel.click(CMD_EXEC_SOFT)
    seen, viewer = case.viewer()
    expect(seen, font, "the font setting the program saw at its start")
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 while the program runs")
    expect(case.processes("Viewer.exe"), [], "programs started from the folder above")
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)


def test_program_ending_with_code_259(case):
    # 259 is also what GetExitCodeProcess says of a process still running.
    case.lay_out(program=None)
    case.copy(case.paths.noicon, "plain.exe")
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel(env={"NOICON_EXIT_CODE": "259"})

    tavrel.click(CMD_EXEC_SOFT)
    helper = wait_until(lambda: case.windows(title="No Icon Helper", visible=None), "the program to start")[0]
    font = windows_path(case.folder / "sample.tte")
    wait_equal(lambda: texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 while the program runs")
    case.process(helper["pid"])  # watched from now on, for its exit code
    case.post(helper["hwnd"], WM_CLOSE)
    expect(case.wait_ended(helper["pid"], "the program"), 259, "the program's exit code")
    wait_back(case, tavrel, ORDINARY)


# The sample program as a launcher (a menu or splash screen): it starts the
# real program, another eudcview, and ends.
AS_A_LAUNCHER = {"EUDCVIEW_OPTIONS": "--launch"}


def launched_through_a_launcher(case):
    """Launches the sample program as a launcher and waits until only its
    child runs; returns Tavrel, the child's window and the font."""
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel(env=AS_A_LAUNCHER)
    viewer = launch(case, tavrel, ORDINARY)
    wait_until(lambda: [p["pid"] for p in case.processes("eudcview.exe")] == [viewer["pid"]],
               "the launcher's end, its child running on")
    font = windows_path(case.folder / "sample.tte")
    time.sleep(0.5)  # Tavrel restored within milliseconds of the launcher's end, when it waited for the launcher alone
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 once only the launcher's child runs")
    return tavrel, viewer, font


def test_a_launcher_s_program_is_waited_for(case):
    tavrel, viewer, _ = launched_through_a_launcher(case)
    assert tavrel.window()["iconic"], "Tavrel's window came back while the launcher's child runs"
    assert not tavrel.enabled(CMD_EXEC_SOFT), "the launch button can be pressed while the launcher's child runs"
    assert tavrel.message_box() is None, "a message box while the launcher's child runs"
    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)

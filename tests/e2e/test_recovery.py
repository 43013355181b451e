"""Tavrel killed during the wait (Task Manager, a crash, a power cut): the
journal it wrote brings the settings back at the next start, or at the next
logon through its RunOnce value, which Wine never runs by itself."""

import struct
import subprocess

from harness import (CMD_EXEC_SOFT, FONT_VALUE, IDOK, REG_SZ, RUNONCE_KEY, RUNONCE_VALUE, WM_CLOSE, expect, texts,
                     wait_until, windows_path)
from test_launch import ORDINARY, launch, launched_through_a_launcher, switched, wait_back

RESTORED = ("前回の Tavrel が外字の設定を元に戻さずに終了していたため、元に戻しました。\r\n"
            "Backup = C:\\Fonts\\backup.tte\r\nCount（4 バイトのデータ）\r\n"
            "SystemDefaultEUDCFont = C:\\Fonts\\previous.tte")  # Wine lists values sorted by name


def parse_journal(data):
    """The journal's record: (key existed, file written, {name: (type, bytes)}, [(pid, created)]),
    after the writer (its pid, creation time and session) and the code page of the key."""
    assert data[:4] == b"TVJ3", f"not a journal record: {data[:16].hex()}"
    at = 4 + 4 + 8 + 4
    expect(int.from_bytes(data[at:at + 4], "little"), 932, "the code page the journal names")
    at += 4

    def number(size=4):
        nonlocal at
        value = int.from_bytes(data[at:at + size], "little")
        at += size
        return value

    def text():
        nonlocal at
        length = number()
        value = data[at:at + 2 * length].decode("utf-16-le")
        at += 2 * length
        return value

    existed = bool(number() & 1)
    written = text()
    values = {}
    for _ in range(number()):
        name = text()
        kind, size = number(), number()
        values[name] = (kind, data[at:at + size])
        at += size
    programs = [(number(), number(8)) for _ in range(number())]
    expect(at + 4, len(data), "the journal record's length")
    return existed, written, values, programs


def killed_during_the_wait(case):
    """Launches the sample program, checks the journal, then kills Tavrel
    while the program runs; returns the program's window and the font."""
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    viewer = launch(case, tavrel, ORDINARY)
    font = windows_path(case.folder / "sample.tte")

    journal = wait_until(lambda: (case.journal() or {}).get("Record"), "the journal's record")
    expect(journal[0], 3, "the journal record's type (REG_BINARY)")
    wait_until(lambda: parse_journal(case.journal()["Record"][1])[3], "the program in the journal")
    existed, written, values, programs = parse_journal(case.journal()["Record"][1])
    assert existed, "the journal says HKCU\\EUDC\\932 did not exist"
    expect(written, font, "the file the journal says Tavrel wrote")
    expect(values, ORDINARY, "the values the journal recorded")
    expect([pid for pid, _ in programs], [viewer["pid"]], "the programs the journal names")
    command = f'"{windows_path(case.folder / "tavrel.exe")}" /restore'
    expect(case.run_once(), command, "the RunOnce command while the program runs")

    case.probe("kill", tavrel.pid)
    tavrel.wait_ended("Tavrel after TerminateProcess")
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 after Tavrel was killed")
    return viewer, font


def close_program(case, viewer):
    case.process(viewer["pid"])
    case.post(viewer["hwnd"], WM_CLOSE)
    case.wait_ended(viewer["pid"], "the sample program")


def expect_no_journal(case):
    expect(case.journal(), None, "Tavrel's journal key")
    expect(case.read_key(r"Software\Tavrel"), None, "Tavrel's own key, left empty")
    expect(case.run_once(), None, "Tavrel's RunOnce value")


def test_started_again_while_the_program_still_runs(case):
    viewer, font = killed_during_the_wait(case)

    tavrel = case.start_tavrel()
    wait_until(lambda: tavrel.window()["iconic"], "the window minimised while it takes over the wait")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "the launch button can be pressed during the taken-over wait"
    assert tavrel.message_box() is None, "a message box at a start that takes over the wait"
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 while the program still runs")

    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)
    expect_no_journal(case)


def test_started_again_after_the_program_ended(case):
    viewer, _ = killed_during_the_wait(case)
    close_program(case, viewer)

    case.start(case.folder / "tavrel.exe")
    box = case.wait_message_box(title="Tavrel")
    expect(box["text"], RESTORED, "what the new start says it restored")
    expect(sorted(box["buttons"]), [IDOK], "the buttons of the box")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 while the box is shown")
    expect(case.main_windows(), [], "main windows before the box is answered")
    case.screenshot(case.folder / "restored.png")
    case.click(box["buttons"][IDOK], box["hwnd"])
    wait_until(case.main_windows, "Tavrel's main window after the box")
    expect_no_journal(case)


def test_a_font_set_by_hand_since_is_kept_and_the_links_come_back(case):
    viewer, font = killed_during_the_wait(case)
    close_program(case, viewer)
    other = r"C:\Fonts\chosen-since.tte"
    case.probe("reg_set", r"EUDC\932", FONT_VALUE, REG_SZ, (other.encode("utf-16-le") + b"\0\0").hex())

    case.start(case.folder / "tavrel.exe")
    box = case.wait_message_box(title="Tavrel")
    expect(box["text"], "前回の Tavrel が外字の設定を元に戻さずに終了していたため、元に戻しました。\r\n"
           "Backup = C:\\Fonts\\backup.tte\r\nCount（4 バイトのデータ）\r\n\r\n"
           "外字を切り替えている間に、次の外字の設定がほかの方法で変更されました。変更後の設定のままにしてあります。\r\n"
           f"HKEY_CURRENT_USER\\EUDC\\932\r\n「SystemDefaultEUDCFont」 = {other}",
           "what the new start says it restored and kept")
    expect(sorted(box["buttons"]), [IDOK], "the buttons of the box: nothing is asked")
    case.click(box["buttons"][IDOK], box["hwnd"])
    wait_until(case.main_windows, "Tavrel's main window after the box")
    expect(case.read_key(), {**ORDINARY, FONT_VALUE: (REG_SZ, (other + "\0").encode("utf-16-le"))},
           "HKCU\\EUDC\\932: the links back, the font set by hand kept")
    expect_no_journal(case)


def test_the_logon_command_line(case):
    viewer, font = killed_during_the_wait(case)
    close_program(case, viewer)
    command = case.run_once()

    # A new Wine session and a simulated reboot: Wine runs no RunOnce value.
    case.session.reset_wine()
    subprocess.run(["wineboot", "-r"], env=case.env, check=False, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    case.session.check_probe()
    expect(case.run_once(), command, "the RunOnce value after Wine's restart and wineboot -r")
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 after Wine's restart")
    journal, key = case.journal(), case.read_key()

    # The logon, as Windows does it for a "!" value: its command line runs,
    # then the value goes.
    pid = case.start_command_line(command, case.folder)
    case.probe("reg_delete_value", RUNONCE_KEY, RUNONCE_VALUE)
    box = case.wait_message_box(title="Tavrel", pid=pid)
    expect(box["text"], RESTORED, "what /restore says it restored")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after /restore")
    case.click(box["buttons"][IDOK], box["hwnd"])
    expect(case.wait_ended(pid, "tavrel.exe /restore"), 0, "the exit code of /restore")
    expect(case.main_windows(), [], "main windows of /restore")
    expect_no_journal(case)

    # With no journal it ends at once, silently.
    pid = case.start_command_line(command, case.folder)
    expect(case.wait_ended(pid, "tavrel.exe /restore without a journal", timeout=10), 0, "its exit code")
    expect(case.message_box(title="Tavrel"), None, "a box of /restore without a journal")

    # While another copy runs it does nothing, even with a journal there.
    running = case.start_tavrel()
    case.write_key(key)
    for name, (kind, data) in journal.items():
        case.probe("reg_set", r"Software\Tavrel\Journal", name, kind, data.hex())
    pid = case.start_command_line(command, case.folder)
    expect(case.wait_ended(pid, "tavrel.exe /restore beside a running copy", timeout=10), 0, "its exit code")
    expect(case.message_box(title="Tavrel"), None, "a box of /restore beside a running copy")
    expect(case.read_key(), key, "HKCU\\EUDC\\932 after /restore beside a running copy")
    expect(case.journal(), journal, "the journal after /restore beside a running copy")
    assert running.alive(), "the running copy ended"


def test_killed_while_only_a_launcher_s_child_runs(case):
    tavrel, viewer, font = launched_through_a_launcher(case)
    case.probe("kill", tavrel.pid)
    tavrel.wait_ended("Tavrel after TerminateProcess")

    tavrel = case.start_tavrel()
    wait_until(lambda: tavrel.window()["iconic"], "the window minimised while it takes over the launcher's child")
    assert tavrel.message_box() is None, "a message box at a start that takes over the wait"
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 while the launcher's child runs")

    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, tavrel, ORDINARY)
    expect_no_journal(case)

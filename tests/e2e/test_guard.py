"""Only one Tavrel at a time: a start that finds another refuses and ends."""

from harness import CAPTION, IDOK, WM_CLOSE, expect, texts, wait_equal, wait_until, windows_path
from test_launch import ORDINARY, launch, switched, wait_back
from test_recovery import expect_no_journal, parse_journal

REFUSAL = "Tavrel は既に起動しています。\r\n利用しているソフトを終了させてください。"


def answer_refusal(case, from_taskbar=False):
    """Reads the refusal box, presses OK and waits for its process to end;
    returns that process id. from_taskbar: the box may be under another
    window, and the user brings it up first."""
    box = case.wait_message_box(title="Tavrel")
    expect(box["text"], REFUSAL, "the refusal")
    expect(sorted(box["buttons"]), [IDOK], "the refusal's buttons")
    if from_taskbar:
        case.probe("raise", box["hwnd"])
    case.click(box["buttons"][IDOK], box["hwnd"])
    case.wait_ended(box["pid"], "the refusing Tavrel after OK")
    return box["pid"]


def running(case):
    """(main windows, tavrel.exe processes, message boxes of Tavrel)"""
    return (len(case.main_windows()), len(case.processes("tavrel.exe")),
            len(case.windows(title="Tavrel", cls="#32770")))


def test_second_copy_refuses(case):
    case.lay_out()
    first = case.start_tavrel()
    before = first.window()

    case.start(case.folder / "tavrel.exe")
    refused = answer_refusal(case)
    assert refused != first.pid, "the first Tavrel showed the refusal"
    assert first.alive(), "the first Tavrel ended"
    after = first.window()
    for field in ("title", "rect", "visible", "iconic"):
        expect(after[field], before[field], f"the first Tavrel's window: {field}")
    expect(after["title"], CAPTION, "the first Tavrel's caption")
    expect(running(case), (1, 1, 0), "(main windows, Tavrel processes, boxes)")


def test_foreign_windows_with_the_name_do_not_stop_a_start(case):
    # An editor with a file named after the tool, the folder window of the
    # unpacked release: they carry the name but are not a running Tavrel.
    case.lay_out()
    case.probe("create_window", "notes on TAVREL.txt")
    case.probe("create_window", "tavrel-1.0.0-win64")

    tavrel = case.start_tavrel()
    expect(tavrel.window()["title"], CAPTION, "caption")
    expect(running(case), (1, 1, 0), "(main windows, Tavrel processes, boxes)")


def test_two_copies_started_together(case):
    case.lay_out()
    exe = case.folder / "tavrel.exe"
    case.start(exe)
    case.start(exe)

    # The refusal is shown as soon as the copy that stays has looked for
    # others, before its own window exists; that window then comes up over
    # the refusal, both centred on the screen. Answered before then, a click
    # meant for OK could land on the new window instead. The user sees the
    # window first and brings the refusal up from the taskbar.
    wait_until(case.main_windows, "the main window of the copy that stays")
    answer_refusal(case, from_taskbar=True)
    wait_equal(lambda: running(case), (1, 1, 0), "(main windows, Tavrel processes, boxes)")


def test_a_refusal_left_open_while_the_running_copy_is_killed(case):
    # The refusal holds nothing: once the copy that ran is killed, the next
    # start takes the lock, takes over the wait and puts the font back.
    case.lay_out()
    case.write_key(ORDINARY)
    first = case.start_tavrel()
    viewer = launch(case, first, ORDINARY)
    font = windows_path(case.folder / "sample.tte")
    wait_until(lambda: parse_journal(case.journal()["Record"][1])[3], "the program in the journal")

    case.start(case.folder / "tavrel.exe")
    stale = case.wait_message_box(title="Tavrel")
    expect(stale["text"], REFUSAL, "the refusal left open")
    case.probe("kill", first.pid)
    first.wait_ended("the first Tavrel after TerminateProcess")

    second = case.start_tavrel()
    wait_until(lambda: second.window()["iconic"], "the window minimised while it takes over the wait")
    expect([box["hwnd"] for box in case.windows(title="Tavrel", cls="#32770")], [stale["hwnd"]],
           "the message boxes: the refusal left open alone")
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 while the program still runs")

    case.post(viewer["hwnd"], WM_CLOSE)
    wait_back(case, second, ORDINARY)
    expect_no_journal(case)
    # The window that came back covers the refusal: the user raises it first.
    answer_refusal(case, from_taskbar=True)

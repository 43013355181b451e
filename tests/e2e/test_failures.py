"""Each failure of a launch in one box, naming the file, key or value and the
system's error text, with nothing left switched that is not needed."""

import re

from harness import (CMD_END, CMD_EXEC_SOFT, EUDC_KEY, IDOK, JOURNAL_KEY, WM_CLOSE, expect, texts, wait_equal, wait_until,
                     windows_path)
from test_launch import ORDINARY, launch, switched

NOTHING_DONE = "外字の設定は変更せず、ソフトも起動しませんでした。"
READ_ONLY = "D:P(A;;KR;;;WD)"    # everyone may read the key, nobody change it
WRITE_ONLY = "D:P(A;;KW;;;WD)"   # nobody may read it


def problem(case, tavrel):
    """The box Tavrel shows: its lines, once OK has been pressed."""
    box = tavrel.wait_message_box()
    expect(sorted(box["buttons"]), [IDOK], "the buttons of the box")
    assert tavrel.normal(), "a box over a minimised window"
    case.click(box["buttons"][IDOK], box["hwnd"])
    wait_until(lambda: tavrel.message_box() is None, "the box to go away")
    return box["text"].split("\r\n")


def expect_error(line, code):
    """A line of the system's error text: some text, then the code."""
    assert re.fullmatch(rf".+（エラー {code}）", line), f"the error line {line!r} for error {code}"


def expect_nothing_done(case, tavrel, before):
    expect(case.read_key(), before, "HKCU\\EUDC\\932 after the refused launch")
    assert "Record" not in (case.journal() or {}), "a journal was left after the refused launch"
    assert not (case.folder / "report.txt").exists(), "the program started"
    wait_until(tavrel.normal, "Tavrel's window normal")
    assert tavrel.enabled(CMD_EXEC_SOFT), "the launch button is disabled"


def test_a_font_file_that_went_or_is_no_font(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    font = case.folder / "sample.tte"

    font.unlink()
    tavrel.click(CMD_EXEC_SOFT)
    lines = problem(case, tavrel)
    expect(lines[:2], ["ユーザー外字ファイルが見つかりません。", windows_path(font)], "the box's first lines")
    expect_error(lines[2], 2)
    expect(lines[3:], [NOTHING_DONE], "the box's last line")
    expect_nothing_done(case, tavrel, ORDINARY)

    font.write_text("not a font, only text\n")
    tavrel.click(CMD_EXEC_SOFT)
    expect(problem(case, tavrel), ["ユーザー外字ファイルではありません。", windows_path(font),
                                   "TrueType または OpenType のフォントファイルを指定してください。", NOTHING_DONE],
           "the box about a file that is no font")
    expect_nothing_done(case, tavrel, ORDINARY)


def test_a_program_that_does_not_start(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    program = case.folder / "eudcview.exe"
    program.unlink()

    tavrel.click(CMD_EXEC_SOFT)
    lines = problem(case, tavrel)
    expect(lines[:2], ["登録ソフトを起動できませんでした。", windows_path(program)], "the box's first lines")
    expect_error(lines[2], 2)
    expect(lines[3:], ["外字の設定を元に戻しました。"], "the box's last line")
    # Back at once, not on the way out.
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the failed start")
    expect(case.journal(), None, "the journal after the failed start")
    assert tavrel.enabled(CMD_EXEC_SOFT), "the launch button is disabled"


def test_a_key_that_cannot_be_read(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    case.deny(EUDC_KEY, WRITE_ONLY)

    tavrel.click(CMD_EXEC_SOFT)
    lines = problem(case, tavrel)
    case.allow(EUDC_KEY)
    expect(lines[:2], ["外字の設定を読み取れませんでした。", r"HKEY_CURRENT_USER\EUDC\932"], "the box's first lines")
    expect_error(lines[2], 5)
    expect(lines[3:], [NOTHING_DONE], "the box's last line")
    expect_nothing_done(case, tavrel, ORDINARY)


def test_a_journal_that_cannot_be_written(case):
    case.lay_out()
    case.write_key(ORDINARY)
    # Wine creates a subkey whatever the parent's access list says (Windows
    # refuses without KEY_CREATE_SUB_KEY), so the journal's own key is locked:
    # empty, it holds no journal, and it cannot take one.
    case.probe("reg_create", JOURNAL_KEY)
    case.deny(JOURNAL_KEY, READ_ONLY)
    tavrel = case.start_tavrel()

    tavrel.click(CMD_EXEC_SOFT)
    lines = problem(case, tavrel)
    expect(lines[:2], ["外字の設定を元に戻すための記録を書き込めませんでした。",
                       r"HKEY_CURRENT_USER\Software\Tavrel\Journal"], "the box's first lines")
    expect_error(lines[2], 5)
    expect(lines[3:], [NOTHING_DONE], "the box's last line")
    expect(case.run_once(), None, "the RunOnce value")
    expect_nothing_done(case, tavrel, ORDINARY)


def test_a_restore_that_cannot_write_every_value(case):
    case.lay_out()
    case.write_key(ORDINARY)
    tavrel = case.start_tavrel()
    viewer = launch(case, tavrel, ORDINARY)
    font = windows_path(case.folder / "sample.tte")
    case.deny(EUDC_KEY, READ_ONLY)

    case.post(viewer["hwnd"], WM_CLOSE)
    lines = problem(case, tavrel)
    expect(lines[0], "外字の設定を元に戻せませんでした。", "the box's first line")
    named = sorted(re.fullmatch(r"HKEY_CURRENT_USER\\EUDC\\932 の「(.+)」: (.+)", line).group(1) for line in lines[1:-1])
    expect(named, sorted(ORDINARY), "the values the box names")
    for line in lines[1:-1]:
        expect_error(line, 5)
    expect(lines[-1], "次に Tavrel を起動したとき、またはログオンしたときに、もう一度元に戻します。", "the box's last line")
    expect(texts(case.read_key()), switched(ORDINARY, font), "HKCU\\EUDC\\932 after the failed restore")
    assert case.journal(), "the journal went with values not written back"
    assert case.run_once(), "the RunOnce value went with values not written back"

    # Once the key can be written again, the way out puts everything back.
    case.allow(EUDC_KEY)
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after the way out")
    expect(case.journal(), None, "the journal after the way out")
    expect(case.run_once(), None, "the RunOnce value after the way out")

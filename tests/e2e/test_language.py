"""Tavrel on a Japanese code page (932) with an English display language: the
window and its boxes speak English, and the EUDC font of 932 is switched."""

import re

import pytest

from harness import CMD_END, IDOK, IDYES, expect, wait_until
from test_launch import ORDINARY, launch

JAPANESE = re.compile("[\u3000-\u9fff\uff00-\uffef]")
LANG_ENGLISH = 0x09


def expect_english(texts, what):
    japanese = [text for text in texts if JAPANESE.search(text)]
    expect(japanese, [], f"Japanese in {what}")


def answer(case, box, button):
    case.click(box["buttons"][button], box["hwnd"])
    wait_until(lambda: case.message_box(title="Tavrel", pid=box["pid"]) is None, "the box to go away")


@pytest.mark.locale("ja_JP.UTF-8", messages="en_US.UTF-8")
def test_an_english_display_gets_english_on_code_page_932(case):
    metrics = case.session.metrics
    expect((metrics["code_page"], metrics["ui_language"] & 0x3FF), (932, LANG_ENGLISH),
           "Wine's ANSI code page and display language")
    case.lay_out()
    case.write_key(ORDINARY)
    before = case.main_window_handles()
    case.start(case.folder / "tavrel.exe", args=["/Bogus"])

    # The usage, before the window.
    box = case.wait_message_box(title="Tavrel")
    expect(box["text"].split("\r\n")[0], 'The switch "/Bogus" is not supported.', "the first line of the message")
    expect_english([box["text"]], "the message on the command line")
    answer(case, box, IDOK)

    tavrel = case.wait_tavrel(before, pid=box["pid"])
    expect_english([tavrel.window()["title"]] + [c["text"] for c in tavrel.controls().values()], "the window")
    expect(tavrel.text(CMD_END), "Exit", "the end button's caption")

    # The question on closing while the program runs, then the way out.
    launch(case, tavrel, ORDINARY)
    tavrel.restore()
    tavrel.click(CMD_END)
    box = tavrel.wait_message_box()
    expect(box["text"], "The program is still running.\r\nExit Tavrel anyway?", "the question on closing")
    answer(case, box, IDYES)
    tavrel.wait_ended("Tavrel after Yes")
    expect(case.read_key(), ORDINARY, "HKCU\\EUDC\\932 after Yes")

"""What a user sees when Tavrel starts from a folder they prepared."""

from harness import (CAPTION, CHK_EXIT, CLIENT_SIZE, CMD_END, CMD_EXEC_SOFT, FONT_PROMPT, FONT_VALUE,
                     FRAME1, LABEL1_0, LABEL1_1, LABEL1_3, PROGRAM_PROMPT, REG_DWORD, REG_SZ, centre,
                     expect, sz, wait_equal, wait_until, windows_path)

PREVIOUS_FONT = r"C:\Fonts\previous.tte"
BS_TYPEMASK, BS_OWNERDRAW = 0x0F, 0x0B
BLUE, WHITE = "#0000FF", "#FFFFFF"


def test_normal_folder(case):
    case.lay_out()
    before = {FONT_VALUE: (REG_SZ, sz(PREVIOUS_FONT)), "Count": (REG_DWORD, (5).to_bytes(4, "little"))}
    case.write_key(before)
    tavrel = case.start_tavrel()

    window = tavrel.window()
    expect(case.session.metrics["dpi"], 96, "screen DPI (the sizes below hold at 96)")
    expect(window["title"], CAPTION, "caption")
    expect(window["client"], CLIENT_SIZE, "client area")
    left, top, right, bottom = window["rect"]
    screen_w, screen_h = case.session.metrics["screen"]
    centre_gap = (abs(left + right - screen_w) // 2, abs(top + bottom - screen_h) // 2)
    assert max(centre_gap) <= 2, f"window {window['rect']} is not centred on a {screen_w}x{screen_h} screen"

    expect(tavrel.text(LABEL1_0), windows_path(case.folder / "eudcview.exe"), "program box")
    expect(tavrel.text(LABEL1_1), windows_path(case.folder / "sample.tte"), "font box")
    assert tavrel.enabled(CMD_EXEC_SOFT), "the launch button is disabled"

    # Starting and leaving without a launch touches neither the registry nor
    # the folder.
    tavrel.click(CMD_END)
    tavrel.wait_ended("Tavrel after 終了")
    expect(case.read_key(), before, "HKCU\\EUDC\\932 after start and 終了")
    settings = sorted(p.name for p in case.folder.iterdir() if p.suffix.lower() == ".ini")
    expect(settings, [], "settings files beside the exe")


def test_own_exe_in_upper_case_and_no_program(case):
    case.lay_out(tavrel="TAVREL.EXE", program=None)
    tavrel = case.start_tavrel(case.folder / "TAVREL.EXE")

    expect(tavrel.text(LABEL1_0), PROGRAM_PROMPT, "program box")
    expect(tavrel.text(LABEL1_1), windows_path(case.folder / "sample.tte"), "font box")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "the launch button is enabled without a program"
    # With the launch button out of reach the focus starts on the program
    # box, where the missing file is chosen, and Tab passes the button by.
    wait_equal(tavrel.focus, LABEL1_0, "the focus at start")
    for tabs, expected in enumerate([CMD_END, LABEL1_1, CHK_EXIT, LABEL1_0], 1):
        case.key("Tab")
        wait_equal(tavrel.focus, expected, f"the focus after {tabs} Tab(s)")


def test_names_found_only_by_their_short_form(case):
    # Wine, like Windows on volumes with 8.3 names, matches "*.exe" and "*.tte"
    # against short names too: Tavrel.exe_old is TAVR~XXX.EXE to the search.
    case.lay_out(program=None, font=None)
    case.copy(case.paths.noicon, "Tavrel.exe_old")
    case.copy(case.paths.font, "gaiji.tte.bak")
    tavrel = case.start_tavrel()

    expect(tavrel.text(LABEL1_0), PROGRAM_PROMPT, "program box beside Tavrel.exe_old")
    expect(tavrel.text(LABEL1_1), FONT_PROMPT, "font box beside gaiji.tte.bak")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "the launch button is enabled without a program"


def test_no_font(case):
    case.lay_out(font=None)
    tavrel = case.start_tavrel()

    expect(tavrel.text(LABEL1_0), windows_path(case.folder / "eudcview.exe"), "program box")
    expect(tavrel.text(LABEL1_1), FONT_PROMPT, "font box")
    assert not tavrel.enabled(CMD_EXEC_SOFT), "the launch button is enabled without a font"


def test_program_without_icons(case):
    # In a folder whose name holds "&": the boxes show it as it is, while the
    # check box keeps its access key.
    folder = case.lay_out("Tom & Jerry", program=None)
    case.copy(case.paths.noicon, "plain.exe", folder)
    tavrel = case.start_tavrel(folder / "tavrel.exe")

    controls = tavrel.controls()
    expect(controls[LABEL1_0]["text"], windows_path(folder / "plain.exe"), "program box")
    expect(controls[LABEL1_1]["text"], windows_path(folder / "sample.tte"), "font box")
    for box in (LABEL1_0, LABEL1_1):
        # Tavrel draws the box's text itself, "&" as it is.
        expect(controls[box]["style"] & BS_TYPEMASK, BS_OWNERDRAW, f"the button type of control {box}")
    assert controls[CHK_EXIT]["text"].endswith("(&E)"), "chkExit lost its access key"
    assert tavrel.enabled(CMD_EXEC_SOFT), "the launch button is disabled"


def test_drive_root_folder(case):
    case.lay_out()
    case.map_drive("t", case.folder)
    tavrel = case.start_tavrel("T:\\tavrel.exe", cwd=case.folder)

    expect(tavrel.text(LABEL1_0), r"T:\eudcview.exe", "program box")
    expect(tavrel.text(LABEL1_1), r"T:\sample.tte", "font box")
    assert tavrel.enabled(CMD_EXEC_SOFT), "the launch button is disabled"


def test_keyboard_focus(case):
    case.lay_out()
    tavrel = case.start_tavrel()
    controls = tavrel.controls()

    for tabs, expected in enumerate([CMD_EXEC_SOFT, LABEL1_0, CMD_END, LABEL1_1, CHK_EXIT, CMD_EXEC_SOFT]):
        if tabs:
            case.key("Tab")
        wait_equal(tavrel.focus, expected, f"the focus after {tabs} Tab(s)")
        assert controls[expected]["visible"], f"the focus after {tabs} Tab(s) is on a hidden control"


def test_copyright_link_lights_up_under_the_pointer(case):
    case.lay_out()
    tavrel = case.start_tavrel()
    controls = tavrel.controls()
    link, frame = controls[LABEL1_3]["rect"], controls[FRAME1]["rect"]

    def link_in(colour, not_in):
        seen = case.colours(link)
        return colour in seen and not_in not in seen

    x, y = centre(link)
    case.point_at(x, y, tavrel.hwnd)
    wait_until(lambda: link_in(BLUE, WHITE), "blue text with the pointer on the link")
    # Its text ("Go to Ferroday Home Page") is drawn, not kept as a window title.
    wait_until(lambda: case.windows(cls="tooltips_class32", pid=tavrel.pid), "the link's tooltip")
    case.point_at((link[2] + frame[2]) // 2, y, tavrel.hwnd)  # right of the link, still inside Frame1
    wait_until(lambda: link_in(WHITE, BLUE), "white text again with the pointer off the link")

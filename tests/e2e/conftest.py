"""The end-to-end layer under pytest.

One Wine session (prefix and probe) serves every case of a locale: Japanese
(code page 932) unless a case is marked with another, as in
`@pytest.mark.locale("en_US.UTF-8")` or
`@pytest.mark.locale("ja_JP.UTF-8", messages="en_US.UTF-8")` (LANG, and
LC_MESSAGES when given); such a case runs in a prefix and a wineserver of
that locale, after the Japanese ones. Each case gets a fresh `case`: its own
folder build/e2e/<group>-<case>, the programs it starts, and the EUDC keys
as they were, put back at its end. A failed case leaves a
screenshot failure.png in its folder and runs once more from a clean Wine, in
a folder of its own; a case that passes only then is reported as FLAKY, by
name and with its first failure, never as a plain pass.
"""

import os
from pathlib import Path

import pytest
from _pytest.runner import runtestprotocol

import harness

# Start-up first, then the launch and the guard, then the others (pytest's own
# order within each file: the order written).
GROUPS = ("startup", "launch", "guard")
SESSION = pytest.StashKey()
FIRST_FAILURE = pytest.StashKey()
ATTEMPT = pytest.StashKey()
CALL_REPORT = pytest.StashKey()


def pytest_addoption(parser):
    parser.addoption("--build", default=os.environ.get("TAVREL_WIN_BUILD", str(harness.ROOT / "build" / "win")),
                     help="the Windows build folder, with tavrel.exe and the helpers of tests/e2e built")


def group_of(item):
    return Path(str(item.fspath)).stem[len("test_"):]


def locale_of(item):
    marker = item.get_closest_marker("locale")
    return harness.Locale(*marker.args, **marker.kwargs) if marker else harness.JAPANESE


def pytest_collection_modifyitems(items):
    # The cases of one locale together, so that each locale's Wine starts once.
    def order(item):
        locale = locale_of(item)
        group = GROUPS.index(group_of(item)) if group_of(item) in GROUPS else len(GROUPS)
        return locale != harness.JAPANESE, locale.tag(), group

    items.sort(key=order)


@pytest.fixture(scope="session")
def sessions(request):
    paths = harness.Paths(request.config.getoption("--build"))
    missing = paths.missing()
    if missing:
        pytest.exit(f"missing in {paths.build} (build the Windows tree first): " + ", ".join(missing), returncode=1)
    wine = harness.Sessions(paths)
    request.config.stash[SESSION] = wine
    yield wine
    wine.close()


@pytest.fixture
def session(request, sessions):
    """The Wine session of the case's locale, running."""
    return sessions.get(locale_of(request.node))


@pytest.fixture
def case(request, session):
    name = f"{group_of(request.node)}-{request.node.name[len('test_'):]}"
    if request.node.stash.get(ATTEMPT, 1) > 1:
        name += "-again"
    this = harness.Case(session, name)
    yield this
    call = request.node.stash.get(CALL_REPORT, None)
    if call is not None and call.failed:
        try:
            call.sections.append(("screenshot", str(this.screenshot(this.folder / "failure.png"))))
        except Exception:  # a screenshot is a help, not a part of the verdict
            pass
    try:
        this.finish()
    except Exception:
        session.reset_wine()  # the next case starts clean all the same
        raise


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    report = outcome.get_result()
    if report.when == "call":
        item.stash[CALL_REPORT] = report


def failure_text(reports):
    for report in reports:
        if report.failed:
            crash = getattr(report.longrepr, "reprcrash", None)
            text = crash.message if crash else str(report.longrepr)
            return f"{report.when}: " + " ".join(text.split())
    return None


@pytest.hookimpl(tryfirst=True)
def pytest_runtest_protocol(item, nextitem):
    """Runs a case, and a failed one once more from a clean Wine."""
    item.ihook.pytest_runtest_logstart(nodeid=item.nodeid, location=item.location)
    reports = runtestprotocol(item, nextitem=nextitem, log=False)
    first = failure_text(reports)
    if first:
        wine = item.config.stash.get(SESSION, None)
        if wine is not None and not wine.closed:
            wine.reset_wine()
        item.stash[ATTEMPT] = 2
        item._initrequest()  # fresh fixtures for the second run
        reports = runtestprotocol(item, nextitem=nextitem, log=False)
        if not failure_text(reports):
            item.stash[FIRST_FAILURE] = first
            for report in reports:
                report.user_properties.append(("flaky", first))
    for report in reports:
        item.ihook.pytest_runtest_logreport(report=report)
    item.ihook.pytest_runtest_logfinish(nodeid=item.nodeid, location=item.location)
    return True


def flaky_reason(report):
    return next((value for key, value in report.user_properties if key == "flaky"), None)


def pytest_report_teststatus(report, config):
    if report.when == "call" and report.passed and flaky_reason(report):
        return "flaky", "F?", ("FLAKY", {"yellow": True})
    return None


def pytest_terminal_summary(terminalreporter):
    stats = terminalreporter.stats
    flaky = stats.get("flaky", [])
    for report in flaky:
        terminalreporter.write_line(f"FLAKY {report.nodeid}: passed only on its second run; the first failed "
                                    f"({flaky_reason(report)})", yellow=True)
    passed = len(stats.get("passed", []))
    failed = len({r.nodeid for r in stats.get("failed", []) + stats.get("error", [])})
    terminalreporter.write_line(f"{passed} passed, {failed} failed" + (f", {len(flaky)} flaky" if flaky else ""))

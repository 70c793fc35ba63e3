#!/usr/bin/python3
"""The viewer through the real AT-SPI bus: starts chronara on the sample disk
on the X display of this session, searches by keyboard alone (xdotool), and
finds the count line and the rows of the search by their text in the
accessibility tree, as a screen reader would; then finds a surname by sound
in the Find Surname dialog and searches it; then a misspelt surname, whose
close spelling it searches from the list area; then a nickname, with the
First Name box's option of name variants; then a phrase in every
database's records with Find in Records, whose person it opens and shows in
the main window.

    atspi_smoke.py VIEWER SAMPLE_DISK HELP_FILE [--dump]

Run inside dbus-run-session and on an X display (atspi_smoke.sh does both).
--dump prints the window's accessibility tree after the search.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi
from gi.repository import GLib

SURNAME = "smith"
# "Civil War Medal of Honor" is the second row of the Database list.
DATABASE_ROW = 1
EXPECTED_COUNT = "22 records found."
WAIT_SECONDS = 15


# What the count line said through events ("object:text-changed:insert"),
# as a screen reader hears of it.
announced = []


def on_text_inserted(event):
    if event.source.getRoleName() == "label":
        announced.append(event.any_data)


# What got the focus, as a screen reader follows it (a menu's entries are
# found only this way: Qt leaves open menus out of the application's tree).
focused = []


def on_focus(event):
    if event.detail1 == 1:
        focused.append(event.source)


def wait_for(what, probe, seconds=WAIT_SECONDS):
    deadline = time.monotonic() + seconds
    context = GLib.MainContext.default()
    while time.monotonic() < deadline:
        # The events that came meanwhile.
        while context.iteration(False):
            pass
        try:
            found = probe()
        except GLib.GError:
            # The tree changed under the walk (a list refilled, a row gone):
            # the object asked about no longer exists, so ask again.
            found = None
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + what)


def walk(node, depth=0):
    yield node, depth
    try:
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except GLib.GError:
        # The node went away while the tree was walked (a list refilled).
        return
    for child in children:
        if child is not None:
            yield from walk(child, depth + 1)


def matches(node, role_name, name, prefix):
    try:
        if node.getRoleName() != role_name:
            return False
        if name is not None and node.name != name:
            return False
        return prefix is None or node.name.startswith(prefix)
    except GLib.GError:  # a node gone meanwhile is not the one looked for
        return False


def find(root, role_name, name=None, prefix=None):
    for node, _ in walk(root):
        if matches(node, role_name, name, prefix):
            return node
    return None


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app
        except Exception:  # an application that went away meanwhile
            continue
    return None


def keys(display, *names):
    subprocess.run(["xdotool", "key", "--delay", "60", *names], check=True, env=display)


def type_text(display, text):
    subprocess.run(["xdotool", "type", "--delay", "40", text], check=True, env=display)


def open_dialog(app, env, key, title, field_name):
    """Opens a dialog by its key; the dialog and its text field, which has the focus."""
    keys(env, key)
    dialog = wait_for("the %s dialog" % title, lambda: find(app, "dialog", name=title))
    field = wait_for("its %s field" % field_name, lambda: find(dialog, "text", name=field_name))
    wait_for("the focus in it", lambda: field.getState().contains(pyatspi.STATE_FOCUSED))
    return dialog, field


def dump(root):
    for node, depth in walk(root):
        states = [pyatspi.stateToString(s) for s in node.getState().getStates()
                  if s in (pyatspi.STATE_FOCUSED, pyatspi.STATE_SELECTED, pyatspi.STATE_SENSITIVE)]
        print("  " * depth + "%s %r %s %r" % (node.getRoleName(), node.name, ",".join(states),
                                             node.description))


def main():
    viewer, disk, help_file = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as home:
        for sub in ("config", "install", "run", "data", "cache"):
            os.mkdir(os.path.join(home, sub), 0o700)
        shutil.copy(help_file, os.path.join(home, "install"))
        with open(os.path.join(home, "config", "corvane.ini"), "w") as ini:
            ini.write("[Tavora7m]\nTavoraDir=%s/install/\nChronaraPath=%s/\n" % (home, disk))
        env = dict(os.environ, XDG_CONFIG_HOME=home + "/config", XDG_RUNTIME_DIR=home + "/run",
                   XDG_DATA_HOME=home + "/data", XDG_CACHE_HOME=home + "/cache", QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        viewer_process = subprocess.Popen([viewer], env=env)
        try:
            run(viewer_process, env, "--dump" in sys.argv)
        finally:
            viewer_process.terminate()
            viewer_process.wait(10)
    print("atspi smoke: 1 passed, 0 failed")


def run(viewer_process, env, want_dump):
    app = wait_for("the viewer on the AT-SPI bus", lambda: application(viewer_process.pid))
    surname = wait_for("the Last Name box", lambda: find(app, "text", name="Last Name"))
    wait_for("the focus in Last Name", lambda: surname.getState().contains(pyatspi.STATE_FOCUSED))
    count = find(app, "label", name="0 records found.")
    assert count is not None, "no count line"

    # The keyboard alone: the surname, Tab, Tab to the Database list, the
    # collection, Enter.
    pyatspi.Registry.registerEventListener(on_text_inserted, "object:text-changed:insert")
    type_text(env, SURNAME)
    keys(env, "Tab", "Tab", *(["Down"] * DATABASE_ROW), "Return")
    wait_for("the count line of the search", lambda: find(app, "label", name=EXPECTED_COUNT))
    wait_for("the count line's change told", lambda: EXPECTED_COUNT in announced)
    results = find(app, "list", name="Search results")
    assert results is not None, "no result list"
    rows = wait_for("the rows", lambda: [results.getChildAtIndex(i).name for i in range(results.childCount)])
    assert len(rows) == 10, rows
    assert all(row.startswith("SMITH, ") for row in rows), rows

    # Into the list, a row, the next page.
    keys(env, "Tab", "Down")
    wait_for("the first row selected",
             lambda: results.getChildAtIndex(0).getState().contains(pyatspi.STATE_SELECTED))
    first_page = rows[0]
    keys(env, "Next")
    wait_for("the second page",
             lambda: results.childCount > 0 and results.getChildAtIndex(0).name != first_page)
    wait_for("the page in the count line's description",
             lambda: find(app, "label", name=EXPECTED_COUNT).description == "Page 2 of 3")

    # Find Surname by keyboard: Ctrl+F, a spelling, the next way of matching
    # (from Starts with to Sounds like (Soundex)); the match stood on (the
    # Titanic's SMYTH, which Starts with found) stays, and Enter searches it.
    dialog, field = open_dialog(app, env, "ctrl+f", "Find Surname", "Surname")
    type_text(env, "Smyth")
    keys(env, "Tab", "Down")
    wait_for("the Matching choice", lambda: find(dialog, "combo box", name="Matching"))
    wait_for("the sound-alike count", lambda: find(dialog, "label", prefix="29 surnames match"))
    matches = find(dialog, "tree", name="Matching surnames")
    assert matches is not None, "no list of matches"
    cells = [matches.getChildAtIndex(i) for i in range(matches.childCount)]
    assert "SCHMIDT" in [cell.name for cell in cells], "no sound-alike in the list"
    chosen = [cell.name for cell in cells if cell.getState().contains(pyatspi.STATE_SELECTED)]
    assert chosen == ["Titanic Passenger List", "SMYTH", "1"], chosen
    keys(env, "Return")
    wait_for("the search of the match", lambda: find(app, "label", name="1 records found."))
    rows = wait_for("its row", lambda: [results.getChildAtIndex(i).name for i in range(results.childCount)])
    assert len(rows) == 1 and rows[0].startswith("SMYTH, "), rows

    # A misspelt surname in the Civil War Medal of Honor (up from the
    # Titanic) finds nobody; its close spellings are offered in the list
    # area, the next Tab stop after the Database list, and Enter searches one.
    keys(env, "alt+c")
    type_text(env, "Smtih")
    keys(env, "Tab", "Tab", "Up", "Up", "Return")
    hint = wait_for("the close spellings", lambda: find(app, "list", name="Close spellings"))
    wait_for("the spelling offered",
             lambda: hint.childCount == 1 and hint.getChildAtIndex(0).name == "SMITH, 22 people")
    assert find(app, "label", name="0 records found.") is not None, "the count line changed"
    keys(env, "Tab")
    wait_for("the focus on the spelling",
             lambda: hint.getChildAtIndex(0).getState().contains(pyatspi.STATE_FOCUSED))
    keys(env, "Return")
    wait_for("the spelling searched", lambda: find(app, "label", name=EXPECTED_COUNT))

    # Match name variants, from the First Name box's menu: Bill finds William.
    keys(env, "alt+c")
    type_text(env, "smith")
    keys(env, "Tab")
    type_text(env, "Bill")
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")

    def option_states():
        """The states of the option, found in the First Name box's menu (Shift+F10)."""
        del focused[:]
        keys(env, "shift+F10")

        def option_focused():
            keys(env, "Down")
            wait_for("the focus in the menu", lambda: focused)
            return focused[-1] if focused[-1].name == "Match name variants" else None

        option = wait_for("the option in the menu", option_focused)
        return [pyatspi.stateToString(state) for state in option.getState().getStates()]

    # (Qt's bridge says "checked" of a checked entry; it does not say "checkable".)
    assert "checked" not in option_states(), "the option is on at start"
    keys(env, "Return", "Return")
    wait_for("the variant found", lambda: find(app, "label", name="1 records found."))
    rows = wait_for("its row", lambda: [results.getChildAtIndex(i).name for i in range(results.childCount)])
    assert rows[0].startswith("SMITH, William"), rows
    assert "checked" in option_states(), "the option is not said to be on"
    keys(env, "Escape")

    # Find in Records by keyboard: Ctrl+Shift+F, a phrase, Look in (Alt+L)
    # All databases; the count is told as it changes, each person is one
    # item of the list; Enter opens More Info of the person stood on, and
    # Ctrl+Enter shows them in the main window.
    dialog, field = open_dialog(app, env, "ctrl+shift+f", "Find in Records", "Find")
    type_text(env, '"20th Maine"')
    keys(env, "alt+l", "Down")
    look_in = find(dialog, "combo box", name="Look in")
    assert look_in is not None, "no Look in"
    wait_for("Look in: All databases", lambda: look_in.description == "All databases")
    wait_for("the count of the people found", lambda: find(dialog, "label", name="4 people found."))
    wait_for("the count's change told", lambda: "4 people found." in announced)
    people = find(dialog, "list", name="People found")
    assert people is not None, "no list of people"
    rows = wait_for("the people", lambda: [people.getChildAtIndex(i).name for i in range(people.childCount)])
    assert len(rows) == 4, rows
    assert rows[0].startswith("Civil War Medal of Honor, CHAMBERLAIN, Joshua L., Rank and organization: "), rows
    assert all("20th Maine" in row for row in rows), rows
    keys(env, "alt+p")
    wait_for("the focus in the list", lambda: people.getState().contains(pyatspi.STATE_FOCUSED))
    keys(env, "Return")
    info = wait_for("More Info of the person", lambda: find(app, "dialog", name="CHAMBERLAIN, Joshua L."))
    assert "20th Maine" in info.description, info.description
    keys(env, "Escape")
    # (Qt's bridge says "focused" of the list, or of its current item.)
    wait_for("the focus back on the person",
             lambda: people.getState().contains(pyatspi.STATE_FOCUSED)
             or people.getChildAtIndex(0).getState().contains(pyatspi.STATE_FOCUSED))
    keys(env, "ctrl+Return")
    wait_for("the person searched in the main window", lambda: find(app, "label", name="2 records found."))
    rows = wait_for("their row", lambda: [results.getChildAtIndex(i).name for i in range(results.childCount)])
    assert rows[0].startswith("CHAMBERLAIN, Joshua L."), rows
    wait_for("their row selected",
             lambda: results.getChildAtIndex(0).getState().contains(pyatspi.STATE_SELECTED))
    if want_dump:
        dump(app)


if __name__ == "__main__":
    main()

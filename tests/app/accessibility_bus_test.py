#!/usr/bin/python3
"""The real program as a screen reader meets it: on an Xvfb display of its own, with a private
session bus and the accessibility bus started by it, a client through pyatspi finds the
application, reads its controls' names and roles, presses "Travel" by its action, reads the
pronunciation line of the selected row, and follows the focus through Tab.

Usage: accessibility_bus_test.py PROGRAM RUN_FOLDER. Exit 0: passed; 77: skipped (the reason
on standard output); anything else: failed. It writes the walk a screen reader would announce
to standard output."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
SYSTEM_PYTHON = "/usr/bin/python3"
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def start_display():
    """An Xvfb display of its own: the first free number from 140 on."""
    for number in range(140 + os.getpid() % 40, 240):
        if os.path.exists("/tmp/.X%d-lock" % number):
            continue
        xvfb = subprocess.Popen(["Xvfb", ":%d" % number, "-noreset", "-screen", "0",
                                 "1024x768x24"], stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        deadline = time.time() + 10
        while time.time() < deadline and xvfb.poll() is None:
            if subprocess.run(["xdpyinfo", "-display", ":%d" % number],
                              capture_output=True).returncode == 0:
                return xvfb, ":%d" % number
            time.sleep(0.1)
        xvfb.kill()
        xvfb.wait()
    return None, None


def outer(program, bundled):
    for tool in ("dbus-run-session", "Xvfb", "xdotool", "xdpyinfo"):
        if shutil.which(tool) is None:
            skip(tool + " is not installed (scripts/setup installs it)")
    if not os.path.exists(BUS_LAUNCHER):
        skip("at-spi2-core is not installed: no accessibility bus")
    probe = subprocess.run([SYSTEM_PYTHON, "-c", "import pyatspi"], capture_output=True)
    if probe.returncode != 0:
        skip("python3-pyatspi is not installed")
    if not os.path.exists(os.path.join(bundled, "data.dat")):
        skip("the bundled phrasebook is not prepared (make data)")

    folder = tempfile.mkdtemp(prefix="tolkara-a11y-")
    for name in os.listdir(bundled):
        source = os.path.join(bundled, name)
        if os.path.isfile(source):
            shutil.copy(source, folder)
    xvfb, display = start_display()
    try:
        if xvfb is None:
            skip("Xvfb did not start")
        env = dict(os.environ, DISPLAY=display, SDL_AUDIODRIVER="dummy")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        env.pop("NO_AT_BRIDGE", None)
        inner = subprocess.run(["dbus-run-session", "--", SYSTEM_PYTHON, __file__, "--inner",
                                program, folder], env=env, timeout=60, stderr=subprocess.PIPE,
                               text=True)
        if inner.returncode == SKIP:
            sys.exit(SKIP)
        if inner.returncode != 0:
            # The daemons' chatter only when something went wrong.
            sys.stderr.write(inner.stderr)
        return inner.returncode
    finally:
        xvfb.kill()
        xvfb.wait()
        shutil.rmtree(folder, ignore_errors=True)


def inner(program, folder):
    import pyatspi
    from gi.repository import GLib

    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)
            print("FAILED: " + what)

    app_process = subprocess.Popen([program], cwd=folder, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        application = None
        deadline = time.time() + 10
        while application is None and time.time() < deadline:
            for i in range(desktop.childCount):
                child = desktop.getChildAtIndex(i)
                if child is not None and child.name == "Tolkara German":
                    application = child
            if application is None:
                time.sleep(0.1)
        if application is None:
            # A bus that answers the program but never lists it: no accessibility here.
            print("FAILED: the application never appeared on the accessibility bus")
            return 1

        def controls(node, out):
            for i in range(node.childCount):
                child = node.getChildAtIndex(i)
                if child is None or child.getRole() == pyatspi.ROLE_LIST_ITEM:
                    continue
                out.append(child)
                controls(child, out)
            return out

        def find(name, role):
            for c in controls(application, []):
                if c.name == name and c.getRole() == role:
                    return c
            return None

        def wait_for(condition, seconds=5.0):
            deadline = time.time() + seconds
            while time.time() < deadline:
                if condition():
                    return True
                time.sleep(0.05)
            return condition()

        frame = application.getChildAtIndex(0)
        check(frame.getRole() == pyatspi.ROLE_FRAME and frame.name == "Tolkara German",
              "the main window is a frame named 'Tolkara German'")
        everything = controls(application, [])
        named = [c for c in everything if c.name]
        print("named controls: %d" % len(named))
        check(len(named) >= 25, "at least 25 named controls (%d)" % len(named))
        expected = [("Basic", pyatspi.ROLE_PUSH_BUTTON), ("Travel", pyatspi.ROLE_PUSH_BUTTON),
                    ("Question", pyatspi.ROLE_PUSH_BUTTON), ("Search", pyatspi.ROLE_PUSH_BUTTON),
                    ("Favourite", pyatspi.ROLE_PUSH_BUTTON), ("Relate", pyatspi.ROLE_PUSH_BUTTON),
                    ("Sound", pyatspi.ROLE_PUSH_BUTTON), ("Close", pyatspi.ROLE_PUSH_BUTTON),
                    ("Minimize", pyatspi.ROLE_PUSH_BUTTON), ("About", pyatspi.ROLE_PUSH_BUTTON),
                    ("Slower speech", pyatspi.ROLE_TOGGLE_BUTTON),
                    ("Phrases", pyatspi.ROLE_LIST), ("Sub Category", pyatspi.ROLE_COMBO_BOX)]
        for name, role in expected:
            check(find(name, role) is not None,
                  "a control named '%s' with role %s" % (name, role))

        phrases = find("Phrases", pyatspi.ROLE_LIST)
        pronunciation = [c for c in everything if c.getRole() == pyatspi.ROLE_STATIC]
        check(len(pronunciation) == 1, "one pronunciation line (static text)")
        if phrases is None or not pronunciation:
            return 1
        line = pronunciation[0]
        attributes = line.getAttributes()
        check("live:polite" in attributes, "the pronunciation line is a live region")

        def rows():
            return [phrases.getChildAtIndex(i).name for i in range(min(phrases.childCount, 5))]

        def selected_row():
            selection = phrases.querySelection()
            if selection.nSelectedChildren != 1:
                return None
            return selection.getSelectedChild(0)

        def german():
            text = line.queryText()
            return text.getText(0, text.characterCount)

        basic_rows = rows()
        basic_german = german()
        print("Basic: %d rows, first %r, German line %r" % (phrases.childCount, basic_rows[0],
                                                           basic_german))
        check(phrases.childCount > 5, "the phrase list has rows")
        check(selected_row() is not None and selected_row().name == basic_rows[0],
              "the first row is selected")
        check(basic_german != "", "the pronunciation line has text")
        print("IPA (description): %r" % line.description)
        check(line.description.startswith("h"), "the pronunciation line's description is its IPA")

        travel = find("Travel", pyatspi.ROLE_PUSH_BUTTON)
        action = travel.queryAction()
        check(action.nActions == 1 and action.getName(0) == "click", "Travel has a click action")
        action.doAction(0)
        check(wait_for(lambda: rows() != basic_rows), "pressing Travel changes the list's rows")
        check(wait_for(lambda: travel.getState().contains(pyatspi.STATE_SELECTED)),
              "Travel is the selected category")
        check(not find("Basic", pyatspi.ROLE_PUSH_BUTTON).getState().contains(
            pyatspi.STATE_SELECTED), "Basic is no longer selected")
        check(wait_for(lambda: german() != basic_german), "the German line follows Travel")
        travel_rows = rows()
        print("Travel: %d rows, first %r, German line %r" % (phrases.childCount, travel_rows[0],
                                                            german()))

        # Choosing the third row through the list's selection: its German line is shown.
        before = german()
        phrases.querySelection().selectChild(2)
        check(wait_for(lambda: selected_row() is not None and
                       selected_row().name == travel_rows[2]), "the third row is selected")
        check(wait_for(lambda: german() != before), "the third row's German line is shown")
        print("row 3: %r -> %r" % (travel_rows[2], german()))

        # Tab moves the focus; each step is reported as a focus event.
        heard = []

        def on_focus(event):
            if event.detail1 == 1:
                heard.append(event.source)

        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                 "^Tolkara_German$"], capture_output=True, text=True)
        window_id = window.stdout.split()[0] if window.stdout.split() else ""
        check(window_id != "", "the window is on the display")

        def pump(seconds):
            deadline = time.time() + seconds
            context = GLib.MainContext.default()
            while time.time() < deadline:
                while context.iteration(False):
                    pass
                time.sleep(0.02)

        def focused():
            for c in controls(application, []):
                if c.getState().contains(pyatspi.STATE_FOCUSED):
                    return c
            return None

        pump(0.3)
        walk = []
        for _ in range(6):
            subprocess.run(["xdotool", "key", "--window", window_id, "Tab"])
            pump(0.25)
            now = focused()
            walk.append(now)
        names = [("%s %s" % (c.name, c.getRoleName())) if c else "nothing" for c in walk]
        print("Tab walk: " + " | ".join(names))
        check(len(set(names)) >= 4, "Tab moves the focus through the controls")
        check(len(heard) >= 4, "focus events reach the bus (%d heard)" % len(heard))
        print("Announced: " + " | ".join(
            "%s %s" % (s.name, s.getRoleName()) for s in heard if s is not None))
        pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")

        # The search view: the keyword box is editable text that follows typing and its caret.
        find("Search", pyatspi.ROLE_PUSH_BUTTON).queryAction().doAction(0)
        check(wait_for(lambda: find("Input keyword or phrase", pyatspi.ROLE_ENTRY) is not None),
              "the search view shows the keyword box")
        entry = find("Input keyword or phrase", pyatspi.ROLE_ENTRY)
        if entry is not None:
            subprocess.run(["xdotool", "type", "--delay", "30", "hotel"])

            def typed():
                text = entry.queryText()
                return text.getText(0, text.characterCount) == "hotel" and text.caretOffset == 5
            check(wait_for(typed), "the keyword box holds what was typed, the caret after it")
            check(entry.getState().contains(pyatspi.STATE_EDITABLE), "the keyword box is editable")

        # The about box is a dialog of its own, and its Cancel button closes it.
        find("About", pyatspi.ROLE_PUSH_BUTTON).queryAction().doAction(0)
        check(wait_for(lambda: application.childCount == 2), "the about box opens as a window")
        if application.childCount == 2:
            about = application.getChildAtIndex(1)
            check(about.getRole() == pyatspi.ROLE_DIALOG and about.name == "About",
                  "the about box is a dialog named 'About'")
            texts = [c.name for c in controls(about, [])]
            print("About: " + " | ".join(texts))
            cancel = [c for c in controls(about, []) if c.getRole() == pyatspi.ROLE_PUSH_BUTTON]
            check(len(cancel) == 1, "the about box has one button")
            if cancel:
                cancel[0].queryAction().doAction(0)
                check(wait_for(lambda: application.childCount == 1), "Cancel closes the about box")
    finally:
        app_process.kill()
        out, err = app_process.communicate()
    check(out == b"" and err == b"", "the program printed nothing (%r %r)" % (out[:200], err[:200]))
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--inner":
        sys.exit(inner(sys.argv[2], sys.argv[3]))
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(outer(sys.argv[1], sys.argv[2]))

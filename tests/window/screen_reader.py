#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""What a screen reader hears of the real window, read over AT-SPI as Orca reads it.

Run inside a private D-Bus session (dbus-run-session), with the program as the argument: it
starts an Xvfb server of its own, starts the program on it with Qt's AT-SPI bridge on, and
walks the program's accessible tree on the accessibility bus. Exits 0 when the tab list holds
the eight page tabs and nothing else in the window is a page tab, and when the icon and
wallpaper boxes are push buttons whose press action opens the file dialog.
"""
import os
import subprocess
import sys
import time

PAGES = ["Desktop icons", "Wallpaper", "Mouse Pointers", "Sounds", "Theme Colors",
         "Screen Saver", "About", "Theme Info"]
BOXES = ["My Computer icon", "Network Neighbourhood icon", "Recycle Bin Full icon",
         "Recycle Bin Empty icon", "Wallpaper picture"]
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAILED:", what)


def start_xvfb():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    with os.fdopen(read) as ready:  # the server writes its display number once it is ready
        display = ready.readline().strip()
    if not display:
        sys.exit("Xvfb did not start")
    return server, ":" + display


def until(find, what, seconds=120):
    """Polls the bus until `find` answers; the limit only ends a run that went wrong."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    sys.exit("gave up waiting for " + what)


def walk(node):
    yield node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def main():
    server, display = start_xvfb()
    os.environ["DISPLAY"] = display
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1", ASAN_OPTIONS="detect_leaks=0")
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        import pyatspi  # after DISPLAY is set: it finds the accessibility bus through it

        def application():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == "skinsmith":
                    return app
            return None

        def window():
            app = application()
            return app and next((w for w in app if w.name.startswith("Skinsmith")), None)

        top = until(window, "the window on the accessibility bus")
        nodes = until(lambda: [n for n in walk(top) if n.name in BOXES] and list(walk(top)),
                      "the window's controls")
        lists = [n for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB_LIST]
        tabs = [n for n in nodes if n.getRole() == pyatspi.ROLE_PAGE_TAB]
        check(len(lists) == 1, "one page tab list, not %d" % len(lists))
        if lists:
            heard = [lists[0].getChildAtIndex(i) for i in range(lists[0].childCount)]
            check([(t.getRoleName(), t.name) for t in heard] == [("page tab", p) for p in PAGES],
                  "the tab list announces its eight tabs alone: %s"
                  % [(t.getRoleName(), t.name) for t in heard])
        check(len(tabs) == 8, "eight page tabs in the window, not %d" % len(tabs))
        pages = [n for n in nodes if n.name in PAGES and n.getRole() != pyatspi.ROLE_PAGE_TAB]
        check(len(pages) == 8, "the eight pages stand beside the list, found %d" % len(pages))

        for name in BOXES:
            box = next(n for n in nodes if n.name == name)
            action = box.queryAction() if "Action" in pyatspi.listInterfaces(box) else None
            actions = [action.getName(i) for i in range(action.nActions)] if action else []
            check(box.getRole() == pyatspi.ROLE_PUSH_BUTTON and "press" in map(str.lower, actions),
                  "%s is a push button with a press action, not a %s with %s"
                  % (name, box.getRoleName(), actions))
        # Pressing the wallpaper box through the reader picks, as Space does: the dialog opens.
        wallpaper = next(n for n in nodes if n.name == "Wallpaper picture")
        if wallpaper.getRole() == pyatspi.ROLE_PUSH_BUTTON:
            action = wallpaper.queryAction()
            names = [action.getName(i).lower() for i in range(action.nActions)]
            if "press" in names:
                action.doAction(names.index("press"))
                until(lambda: any(w.name == "Open" for w in application()), "the open-file dialog")
    finally:
        program.terminate()
        program.wait()
        server.terminate()
        server.wait()
    if failures:
        sys.exit("%d failed" % len(failures))
    print("the reader hears 8 page tabs and 5 pressable boxes")


main()

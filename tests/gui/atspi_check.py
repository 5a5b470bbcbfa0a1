#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Drives the real window over AT-SPI, as a screen reader would.

Run inside a display and a session bus, with Debian's python3 (python3-pyatspi):
    xvfb-run -a -s '-screen 0 1024x768x24 -noreset' dbus-run-session -- \
        /usr/bin/python3 tests/app/atspi_check.py build/app/lenstally
Reads every caption, reads and sets a text box, toggles a radio button, and checks the results
against the headless command line given the same actions.
"""
import json
import os
import subprocess
import sys
import time

import ctypes
import ctypes.util

import pyatspi

LENSTALLY = sys.argv[1]
failures = []
passes = []


def check(what, ok, detail=""):
    print(("ok   " if ok else "FAIL ") + what + (f": {detail}" if detail else ""))
    (passes if ok else failures).append(what)


def headless(*args):
    out = subprocess.run([LENSTALLY, *args, "--json"], capture_output=True, text=True, check=True)
    return json.loads(out.stdout)


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def close_x11_window(title):
    """Asks the window titled `title` to close, as a window manager's close button does."""
    x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XInternAtom.restype = ctypes.c_ulong
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    ids = subprocess.run(["xdotool", "search", "--name", f"^{title}$"], capture_output=True,
                         text=True).stdout.split()

    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5),
                    ("pad", ctypes.c_long * 24)]

    for window_id in ids:
        event = ClientMessage()
        event.type = 33  # ClientMessage
        event.window = int(window_id)
        event.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", False)
        event.format = 32
        event.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", False)
        x11.XSendEvent(display, ctypes.c_ulong(int(window_id)), False, ctypes.c_long(0),
                       ctypes.byref(event))
    x11.XFlush(display)
    x11.XCloseDisplay(display)
    return len(ids)


def close_and_check(what, process, title):
    """Closes the window titled `title` as a user would; its program must end with status 0."""
    closed = close_x11_window(title)
    try:
        status = process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        status = None
    check(what, closed == 1 and status == 0, f"{closed} window(s) asked to close, status {status}")


def find_window(is_ours=lambda name: name == "Calculator ", timeout=60.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and "lenstally" in (app.name or "").lower():
                for window in app:
                    if window is not None and is_ours(window.name or ""):
                        return window
        time.sleep(0.1)
    return None


def wait_for(read, expected, timeout=5.0):
    deadline = time.monotonic() + timeout
    value = read()
    while value != expected and time.monotonic() < deadline:
        time.sleep(0.05)
        value = read()
    return value


env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
window_process = subprocess.Popen([LENSTALLY], env=env)
try:
    window = find_window()
    check("the window is found by its title", window is not None)
    if window is None:
        sys.exit(1)

    nodes = list(walk(window))
    by_role = {}
    for node in nodes:
        by_role.setdefault(node.getRoleName(), []).append(node)
    names = {node.name for node in nodes}

    state = json.loads(subprocess.run([LENSTALLY, "--state"], capture_output=True, text=True,
                                      check=True).stdout)
    captions = [c["caption"] for c in state.values()
                if c["kind"] in ("label", "frame") and c["visible"]]
    missing = [c for c in captions if c not in names]
    check(f"every caption can be read ({len(captions)} shown)", not missing, f"missing {missing}" if missing else "")

    def labelled(description):
        return next(n for n in by_role.get("label", []) if n.description == description)

    start = headless()
    for description, key in [("Bandwidth per camera", "lbPerBandwidth"),
                             ("Total bandwidth", "lbTotalBandwidth"),
                             ("Estimated storage", "lbStorageSize")]:
        node = labelled(description)
        check(f"the result described as '{description}' reads its value", node.name == start[key],
              repr(node.name))

    def text_box(name):
        return next(n for n in by_role.get("text", []) if n.name == name)

    def text_of(node):
        return node.queryText().getText(0, -1)

    frame_size = text_box("Average Frame Size:")
    check("the frame size box reads the estimate", text_of(frame_size) == start["txtFrameSize"],
          repr(text_of(frame_size)))

    typed = headless("--frame-size", "20")
    frame_size.queryEditableText().setTextContents("20")
    per_camera = lambda: labelled("Bandwidth per camera").name
    got = wait_for(per_camera, typed["lbPerBandwidth"])
    check("setting the frame size text recomputes the bandwidth", got == typed["lbPerBandwidth"],
          repr(got))

    cif = next(n for n in by_role.get("radio button", []) if n.name == "CIF (352x240)")
    actions = cif.queryAction()
    action_names = [actions.getName(i) for i in range(actions.nActions)]
    toggle = next(i for i, n in enumerate(action_names) if n.lower() in ("toggle", "press", "click"))
    actions.doAction(toggle)
    clicked = headless("--frame-size", "20", "--resolution", "cif")
    got = wait_for(lambda: text_of(frame_size), clicked["txtFrameSize"])
    check("toggling CIF writes its frame-size estimate", got == clicked["txtFrameSize"], repr(got))
    got = wait_for(lambda: labelled("Estimated storage").name, clicked["lbStorageSize"])
    check("toggling CIF recomputes the storage", got == clicked["lbStorageSize"], repr(got))
    check("CIF reports itself checked",
          cif.getState().contains(pyatspi.STATE_CHECKED))

    close_and_check("closing the window ends the program with status 0", window_process,
                    "Calculator ")
finally:
    if window_process.poll() is None:
        window_process.terminate()
        window_process.wait(timeout=10)

# The planner: open a project, select a group in the table, read its results by name.
PROJECT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples",
                       "distribution-centre.json")
planner_process = subprocess.Popen([LENSTALLY, "--planner", PROJECT], env=env)
try:
    planner = find_window(lambda name: name.endswith("Lenstally Planner"))
    check("the planner is found by its title", planner is not None)
    if planner is None:
        sys.exit(1)
    report = json.loads(subprocess.run([LENSTALLY, "--project", PROJECT, "--json"],
                                       capture_output=True, text=True, check=True).stdout)
    table = next((n for n in walk(planner) if n.getRoleName() == "table"
                  and n.name == "Camera groups"), None)
    check("the groups table is found by its name", table is not None)
    table.queryTable().addRowSelection(2)

    def described(description):
        return next((n.name for n in walk(planner) if n.description == description), None)

    group = report["groups"][2]
    for description, expected in [("Bandwidth per camera", group["lbPerBandwidth"]),
                                  ("Total bandwidth", group["lbTotalBandwidth"]),
                                  ("Recorded storage", group["lbStorageSize"].strip())]:
        got = wait_for(lambda: described(description), expected)
        check(f"the selected group's '{description}' reads its value", got == expected, repr(got))
    needed = described("Drives needed") or ""
    check("the plan's drives needed can be read by name",
          needed.startswith(f'{report["storagePlan"]["drivesNeeded"]} '), repr(needed))
    close_and_check("closing the unchanged planner ends it with status 0", planner_process,
                    planner.name)
finally:
    if planner_process.poll() is None:
        planner_process.terminate()
        planner_process.wait(timeout=10)

print(f"atspi: {len(passes)} passed, {len(failures)} failed")
sys.exit(1 if failures else 0)

# SPDX-License-Identifier: MIT
"""Drives headless Chromium over its DevTools protocol, as the browser tests and benchmarks need.

One Chromium per Browser, with a fresh profile folder that is removed on close. Pages are
DevTools targets reached over the browser's one WebSocket (flattened sessions). Everything a user
does goes through the Input domain (real mouse and key events), so the page sees what it would
see from a person; the page itself is read with Runtime.evaluate and the accessibility tree.

    with Browser() as browser:
        page = browser.new_page()
        page.open("file:///.../lenstally.html")
        page.click("#cameras")
        page.type_text("12")
        page.press("Enter")
        print(page.evaluate("document.title"), page.requests)
"""

import base64
import json
import os
import pathlib
import shutil
import signal
import subprocess
import tempfile
import time

import websocket

CHROMIUM_FLAGS = [
    "--headless=new",
    "--no-sandbox",
    "--disable-gpu",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--remote-debugging-port=0",
]

# Keys by the DOM name a page sees in KeyboardEvent.key: (code, Windows key code, text typed).
# Enter types "\r": that is what makes a focused form control act on it.
KEYS = {
    "Enter": ("Enter", 13, "\r"),
    "Tab": ("Tab", 9, ""),
    "Backspace": ("Backspace", 8, ""),
    "Delete": ("Delete", 46, ""),
    "Escape": ("Escape", 27, ""),
    "Home": ("Home", 36, ""),
    "End": ("End", 35, ""),
    "ArrowUp": ("ArrowUp", 38, ""),
    "ArrowDown": ("ArrowDown", 40, ""),
    "ArrowLeft": ("ArrowLeft", 37, ""),
    "ArrowRight": ("ArrowRight", 39, ""),
    " ": ("Space", 32, " "),
}
# Modifier bits of the Input domain.
MODIFIERS = {"Alt": 1, "Control": 2, "Meta": 4, "Shift": 8}


class DevToolsError(Exception):
    pass


class Browser:
    """A headless Chromium of its own, ended (with its profile folder) on close."""

    def __init__(self, executable: str = "chromium", width: int = 1366, height: int = 768,
                 timeout: float = 30.0):
        self.timeout = timeout
        self.m_profile = tempfile.mkdtemp(prefix="lenstally-chromium-")
        self.m_process = subprocess.Popen(
            [executable, *CHROMIUM_FLAGS, f"--user-data-dir={self.m_profile}",
             f"--window-size={width},{height}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        self.m_socket = None
        self.m_next_id = 0
        self.m_events: list[dict] = []
        try:
            self.m_socket = websocket.create_connection(self.endpoint(), timeout=timeout,
                                                        suppress_origin=True)
        except BaseException:
            self.close()
            raise

    def endpoint(self) -> str:
        """The browser's WebSocket address, from the DevToolsActivePort file Chromium writes."""
        port_file = pathlib.Path(self.m_profile) / "DevToolsActivePort"
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if self.m_process.poll() is not None:
                raise DevToolsError(f"chromium ended with status {self.m_process.returncode}")
            lines = port_file.read_text().splitlines() if port_file.exists() else []
            if len(lines) >= 2:
                return f"ws://127.0.0.1:{lines[0]}{lines[1]}"
            time.sleep(0.05)
        raise DevToolsError("chromium wrote no DevToolsActivePort in time")

    def __enter__(self) -> "Browser":
        return self

    def __exit__(self, *_) -> None:
        self.close()

    def bring_to_front(self) -> None:
        """Makes this the tab on show (the one shown before is hidden: visibilitychange)."""
        self.send("Page.bringToFront")

    def close(self) -> None:
        if self.m_socket is not None:
            try:
                self.send("Browser.close")
            except (DevToolsError, OSError, websocket.WebSocketException):
                pass
            self.m_socket.close()
            self.m_socket = None
        try:
            self.m_process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(self.m_process.pid, signal.SIGKILL)
            self.m_process.wait()
        shutil.rmtree(self.m_profile, ignore_errors=True)

    def send(self, method: str, params: dict | None = None, session: str | None = None,
             timeout: float | None = None) -> dict:
        """Sends one command and returns its result; events read meanwhile are kept."""
        self.m_next_id += 1
        message = {"id": self.m_next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        self.m_socket.send(json.dumps(message))
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            reply = self.receive(deadline)
            if reply.get("id") == self.m_next_id:
                if "error" in reply:
                    raise DevToolsError(f"{method}: {reply['error'].get('message')}")
                return reply.get("result", {})

    def receive(self, deadline: float) -> dict:
        left = deadline - time.monotonic()
        if left <= 0:
            raise DevToolsError("no answer from chromium in time")
        self.m_socket.settimeout(left)
        try:
            message = json.loads(self.m_socket.recv())
        except websocket.WebSocketTimeoutException as error:
            raise DevToolsError("no answer from chromium in time") from error
        if "method" in message:
            self.m_events.append(message)
        return message

    def take_events(self, session: str) -> list[dict]:
        mine = [event for event in self.m_events if event.get("sessionId") == session]
        self.m_events = [event for event in self.m_events if event.get("sessionId") != session]
        return mine

    def wait_event(self, session: str, method: str, timeout: float | None = None) -> dict:
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            for index, event in enumerate(self.m_events):
                if event.get("sessionId") == session and event["method"] == method:
                    return self.m_events.pop(index)
            self.receive(deadline)

    def new_page(self, width: int = 1366, height: int = 768) -> "Page":
        target = self.send("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.send("Target.attachToTarget", {"targetId": target, "flatten": True})
        return Page(self, session["sessionId"], width, height, target)


class Page:
    """One tab. Records every network request and every console message and script error."""

    def __init__(self, browser: Browser, session: str, width: int, height: int, target: str):
        self.m_browser = browser
        self.m_session = session
        self.m_target = target
        self.requests: list[dict] = []  # {"url", "type"}, in the order they were sent
        self.m_opened: set[str] = set()  # the addresses open() navigated to
        self.console: list[str] = []
        self.errors: list[str] = []
        for domain in ("Page", "Runtime", "Network"):
            self.send(f"{domain}.enable")
        self.resize(width, height)

    def send(self, method: str, params: dict | None = None, timeout: float | None = None) -> dict:
        result = self.m_browser.send(method, params, self.m_session, timeout)
        self.collect()
        return result

    def collect(self) -> None:
        """Files the events read so far: requests, console output, uncaught errors."""
        for event in self.m_browser.take_events(self.m_session):
            self.note(event)

    def note(self, event: dict) -> None:
        method, params = event["method"], event.get("params", {})
        if method == "Network.requestWillBeSent":
            self.requests.append({"url": params["request"]["url"], "type": params.get("type")})
        elif method == "Runtime.consoleAPICalled":
            self.console.append(" ".join(str(arg.get("value", arg.get("description", "")))
                                         for arg in params.get("args", [])))
        elif method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.errors.append(details.get("exception", {}).get("description", details["text"]))

    def bring_to_front(self) -> None:
        """Makes this the tab on show (the one shown before is hidden: visibilitychange)."""
        self.send("Page.bringToFront")

    def close(self) -> None:
        """Closes the tab, as a person closes it (the page is told: pagehide)."""
        self.m_browser.send("Target.closeTarget", {"targetId": self.m_target})
        self.m_browser.take_events(self.m_session)

    def wait_event(self, method: str, timeout: float | None = None) -> dict:
        event = self.m_browser.wait_event(self.m_session, method, timeout)
        self.note(event)
        self.collect()
        return event

    def resize(self, width: int, height: int, mobile: bool = False) -> None:
        """The viewport in CSS pixels; mobile also turns on the meta viewport and touch."""
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": mobile})

    def open(self, url: str, timeout: float | None = None) -> None:
        """Navigates and waits for the load event."""
        self.collect()
        self.m_opened.add(url)
        reply = self.send("Page.navigate", {"url": url})
        if reply.get("errorText"):
            raise DevToolsError(f"{url}: {reply['errorText']}")
        self.wait_event("Page.loadEventFired", timeout)

    def evaluate(self, expression: str, timeout: float | None = None):
        """The expression's value (awaited when it is a promise), as JSON gives it."""
        reply = self.send("Runtime.evaluate",
                          {"expression": expression, "awaitPromise": True, "returnByValue": True,
                           "userGesture": True}, timeout)
        if "exceptionDetails" in reply:
            details = reply["exceptionDetails"]
            raise DevToolsError(details.get("exception", {}).get("description", details["text"]))
        return reply["result"].get("value")

    def wait_for(self, expression: str, timeout: float = 10.0):
        """Evaluates until the expression is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression)
            if value:
                return value
            if time.monotonic() > deadline:
                raise DevToolsError(f"still false after {timeout} s: {expression}")
            time.sleep(0.02)

    def centre(self, selector: str) -> tuple[float, float]:
        """The centre of the first element the CSS selector finds, scrolled into view."""
        box = self.evaluate(f"""(() => {{
            const element = document.querySelector({json.dumps(selector)});
            if (!element) return null;
            element.scrollIntoView({{block: "center", inline: "center"}});
            const box = element.getBoundingClientRect();
            return [box.left + box.width / 2, box.top + box.height / 2, box.width, box.height];
        }})()""")
        if box is None:
            raise DevToolsError(f"no element {selector}")
        if box[2] <= 0 or box[3] <= 0:
            raise DevToolsError(f"{selector} has no area on screen")
        return box[0], box[1]

    def click(self, selector: str, count: int = 1) -> None:
        """Moves the mouse to the element's centre and clicks (count 2: a double click)."""
        x, y = self.centre(selector)
        self.mouse("mouseMoved", x, y)
        for click in range(1, count + 1):
            self.mouse("mousePressed", x, y, click)
            self.mouse("mouseReleased", x, y, click)

    def mouse(self, kind: str, x: float, y: float, clicks: int = 0) -> None:
        params = {"type": kind, "x": x, "y": y}
        if kind != "mouseMoved":
            params.update(button="left", clickCount=clicks)
        self.send("Input.dispatchMouseEvent", params)

    def type_text(self, text: str) -> None:
        """Types each character as a key press, as a keyboard would."""
        for char in text:
            self.key(char)

    def press(self, key: str, modifiers: tuple[str, ...] = ()) -> None:
        """Presses a named key (KEYS) or a character, with modifiers such as ("Control",)."""
        self.key(key, sum(MODIFIERS[name] for name in modifiers))

    def key(self, key: str, modifiers: int = 0) -> None:
        if key in KEYS:
            code, key_code, text = KEYS[key]
        elif len(key) == 1:
            code, key_code, text = "", ord(key.upper()) if key.isalnum() else 0, key
        else:
            raise DevToolsError(f"no such key: {key}")
        if modifiers & (MODIFIERS["Control"] | MODIFIERS["Alt"] | MODIFIERS["Meta"]):
            text = ""
        down = {"type": "keyDown" if text else "rawKeyDown", "key": key, "code": code,
                "windowsVirtualKeyCode": key_code, "modifiers": modifiers}
        if text:
            down.update(text=text, unmodifiedText=text)
        self.send("Input.dispatchKeyEvent", down)
        self.send("Input.dispatchKeyEvent", {"type": "keyUp", "key": key, "code": code,
                                             "windowsVirtualKeyCode": key_code,
                                             "modifiers": modifiers})

    def drop_files(self, paths: list[str], x: float = 300, y: float = 300) -> None:
        """Drags files from the desktop onto the page and drops them at (x, y)."""
        data = {"items": [], "files": [str(path) for path in paths], "dragOperationsMask": 1}
        for kind in ("dragEnter", "dragOver", "drop"):
            self.send("Input.dispatchDragEvent", {"type": kind, "x": x, "y": y, "data": data})

    def accessibility(self) -> list[dict]:
        """Every node of the accessibility tree that is not ignored, as {role, name,
        description, value, node}: node is the DOM node's backend id (or None)."""
        nodes = []
        for node in self.send("Accessibility.getFullAXTree")["nodes"]:
            if node.get("ignored"):
                continue
            nodes.append({
                "role": node.get("role", {}).get("value", ""),
                "name": node.get("name", {}).get("value", ""),
                "description": node.get("description", {}).get("value", ""),
                "value": node.get("value", {}).get("value", ""),
                "node": node.get("backendDOMNodeId"),
            })
        return nodes

    def backend_node(self, selector: str) -> int:
        """The backend id of the element a CSS selector finds, to match accessibility nodes."""
        document = self.send("DOM.getDocument", {"depth": 0})["root"]["nodeId"]
        found = self.send("DOM.querySelector", {"nodeId": document, "selector": selector})
        if not found.get("nodeId"):
            raise DevToolsError(f"no element {selector}")
        return self.send("DOM.describeNode", {"nodeId": found["nodeId"]})["node"]["backendNodeId"]

    def screenshot(self, path: str | os.PathLike) -> None:
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        pathlib.Path(path).write_bytes(base64.b64decode(data))

    def since_navigation(self, mark: str) -> float:
        """Milliseconds from navigation start to the page's performance.mark(mark)."""
        return self.wait_for(f"""performance.getEntriesByName({json.dumps(mark)}, "mark")
                                 .map(entry => entry.startTime)[0]""")

    def network_requests(self) -> list[str]:
        """The addresses of the requests recorded so far, less data: and blob: ones (they never
        leave the page) and less the navigations open() made."""
        self.collect()
        return [request["url"] for request in self.requests
                if not request["url"].startswith(("data:", "blob:"))
                and not (request["type"] == "Document" and request["url"] in self.m_opened)]

#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""No unsaved work is lost: two tabs of lenstally.html and of an interactive page (a project
built in), in headless Chromium, edited, saved, reloaded, closed, started anew and opened over, with
kept copies recovered and discarded, in a seeded random order. After every step the copies kept in
the browser are exactly the unsaved work: each edit that was neither saved nor discarded is there,
as it was last, and nothing else is (not a project only looked at, nor one that arrived built into
a page).

    kept_work_test.py LENSTALLY_HTML EXAMPLES_DIR [SEED]
"""

import json
import pathlib
import random
import sys
import tempfile
import time
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).parent))
import kept_copies  # noqa: E402
from devtools import Browser  # noqa: E402

PAGE, EXAMPLES = (pathlib.Path(arg).resolve() for arg in sys.argv[1:3])
SEED = int(sys.argv[3]) if len(sys.argv) > 3 else random.randrange(1 << 30)
STEPS = 60
# How long a copy may take to reach the storage: the page's own limit is a second, but the
# test may share the machine with heavy builds (a slower copy is not lost work).
SETTLE = 10.0

# Replaces the page's questions and downloads: each confirm() is counted and answered as `agree`
# says; a download goes nowhere.
STUBS = """window.asked = 0; window.agree = false;
    window.confirm = () => { ++asked; return agree; };
    HTMLAnchorElement.prototype.click = function () {};"""


def interactive_page(folder: pathlib.Path) -> pathlib.Path:
    """lenstally.html with a project built in, as the desktop planner writes one: the project
    file in a JSON script element just before the page's script, each < as \\u003c."""
    project = (EXAMPLES / "warehouse.json").read_text().replace("<", "\\u003c")
    html = PAGE.read_text().replace(
        '<script id="lenstally-script">',
        f'<script type="application/json" id="lenstally-project">{project}</script>\n'
        '<script id="lenstally-script">', 1)
    page = folder / "customer-plan.html"
    page.write_text(html)
    return page


class Tab:
    """One tab and the unsaved work on its screen, as the test follows it."""

    def __init__(self, browser: Browser, name: str):
        self.browser = browser
        self.name = name
        self.page = browser.new_page()
        self.url = ""
        self.work = None  # the key of the work on screen in `owed`

    def load(self, url: str) -> None:
        self.url = url
        self.page.open(url)
        self.page.since_navigation("lenstally-offered")
        self.page.evaluate(STUBS)

    def state(self) -> tuple[str, bool]:
        """The project on screen as its file, and whether it holds unsaved changes."""
        return (self.page.evaluate("lenstally.core.page({planner: 'save'}).text"),
                self.page.evaluate("lenstally.core.page({planner: 'changed'}).changed"))


class KeptWorkTest(unittest.TestCase):
    def setUp(self):
        self.browser = Browser()
        self.folders = tempfile.TemporaryDirectory()
        self.interactive = interactive_page(pathlib.Path(self.folders.name)).as_uri()
        self.owed: dict[int, str] = {}  # unsaved work that must be kept: its file's text
        self.next_work = 0

    def tearDown(self):
        self.browser.close()
        self.folders.cleanup()

    def new_work(self) -> int:
        self.next_work += 1
        return self.next_work

    def follow(self, tab: Tab) -> None:
        """The tab's work is owed as it is now, while it holds unsaved changes."""
        text, changed = tab.state()
        if changed:
            self.owed[tab.work] = text
        else:
            self.owed.pop(tab.work, None)

    def kept(self, tab: Tab) -> list[dict]:
        return tab.page.evaluate(kept_copies.READ)

    def check(self, tab: Tab, where: str) -> None:
        """Within SETTLE seconds the copies kept are exactly the work owed."""
        expected = sorted(self.owed.values())
        deadline = time.monotonic() + SETTLE
        while True:
            kept = sorted(copy["text"] for copy in self.kept(tab))
            if kept == expected or time.monotonic() > deadline:
                break
            time.sleep(0.05)
        lost = [text[:80] for text in expected if text not in kept]
        extra = [text[:80] for text in kept if text not in expected]
        self.assertEqual(kept, expected, f"{where}: lost {lost}, kept besides {extra}")

    def planner_edit(self, tab: Tab, generate: random.Random) -> None:
        page = tab.page
        if page.evaluate("document.getElementById('planner').hidden"):
            page.click("#show-planner")
        if tab.work not in self.owed:
            # The first edit of each piece of work names it apart from every other, so each copy
            # kept is known by its text alone.
            page.click("#project-name")
            page.press("End")
            page.type_text(f" {tab.work}")
            return
        choices = ["add", "project", "undo", "redo"]
        if page.evaluate("!document.getElementById('group-name').disabled"):
            choices += ["rename", "remove"]
        what = generate.choice(choices)
        if what in ("add", "remove", "undo", "redo"):
            if page.evaluate(f"document.querySelector('[data-do=\"{what}\"]').disabled"):
                what = "add"
            page.click(f'#planner [data-do="{what}"]')
        elif what == "project":
            page.click("#project-name")
            page.press("End")
            page.type_text(generate.choice(["x", " 2"]))
        else:
            page.click("#group-name")
            page.press("End")
            page.type_text(generate.choice(["y", "-3"]))

    def replace_project(self, tab: Tab, what: str, agree: bool) -> None:
        """New, or a file opened over the project on screen: asked first when it holds unsaved
        changes (a recovered copy always does); the copy goes once the user agrees."""
        page = tab.page
        _, changed = tab.state()
        page.evaluate(f"asked = 0; agree = {json.dumps(agree)}")
        if page.evaluate("document.getElementById('planner').hidden"):
            page.click("#show-planner")
        if what == "new":
            page.click('#planner [data-do="new"]')
        else:
            document = page.send("DOM.getDocument", {"depth": 0})["root"]["nodeId"]
            node = page.send("DOM.querySelector",
                             {"nodeId": document, "selector": "input[type=file]"})["nodeId"]
            page.send("DOM.setFileInputFiles",
                      {"nodeId": node, "files": [str(EXAMPLES / "shop.json")]})
            # The chooser is emptied once the file is opened, or refused.
            page.wait_for("document.getElementById('open-project').value === ''")
        self.assertEqual(page.evaluate("asked"), int(changed), f"{what} asks first")
        if agree or not changed:
            self.owed.pop(tab.work, None)
            tab.work = self.new_work()

    def offered(self, tab: Tab, generate: random.Random):
        """A random item of the tab's offer with the copy it names, or None."""
        items = tab.page.evaluate("[...document.querySelectorAll('#restore li')]"
                                  ".map(item => [item.querySelector('span').id, item.textContent])")
        if not items:
            return None
        index = generate.randrange(len(items))
        label, text = items[index]
        copy = next((c for c in self.kept(tab) if f"kept-{c['id']}" == label), None)
        if copy is not None:
            self.assertIn(copy["name"] or "Untitled project", text)
        return index, copy

    def test_no_unsaved_edit_is_lost(self):
        generate = random.Random(SEED)
        tabs = [Tab(self.browser, "first"), Tab(self.browser, "second")]
        for tab in tabs:
            tab.load(PAGE.as_uri())
            tab.work = self.new_work()
        actions = ["edit", "edit", "edit", "edit and reload", "save", "new", "open", "reload",
                   "close", "interactive", "look", "recover", "recover", "discard"]
        for step in range(STEPS):
            tab = generate.choice(tabs)
            what = generate.choice(actions)
            where = f"seed {SEED}, step {step}, {what} in the {tab.name} tab"
            tab.page.bring_to_front()
            page = tab.page
            if what == "edit":
                self.planner_edit(tab, generate)
                self.follow(tab)
            elif what == "edit and reload":
                # Reloaded at once: the copy is written as the page goes.
                self.planner_edit(tab, generate)
                self.follow(tab)
                tab.load(tab.url)
                tab.work = self.new_work()
            elif what == "save":
                if not page.evaluate("document.getElementById('planner').hidden"):
                    page.click('#planner [data-do="save"]')
                    self.owed.pop(tab.work, None)
            elif what in ("new", "open"):
                self.replace_project(tab, what, generate.random() < 0.6)
            elif what in ("reload", "interactive"):
                # The work on screen is left behind, still owed; a built-in project is not kept
                # before it is edited.
                tab.load(tab.url if what == "reload" else self.interactive)
                tab.work = self.new_work()
            elif what == "close":
                tab.page.close()
                tab.page = self.browser.new_page()
                tab.load(PAGE.as_uri())
                tab.work = self.new_work()
            elif what == "look":
                page.click("#show-planner")
            elif what in ("recover", "discard"):
                chosen = self.offered(tab, generate)
                if chosen is None or chosen[1] is None:
                    continue
                index, copy = chosen
                # The work the copy holds; another tab may have recovered it since this tab's
                # offer was made, and holds it then.
                owner = next(k for k, v in self.owed.items() if v == copy["text"])
                left = owner not in {t.work for t in tabs}
                agree = generate.random() < 0.7
                _, changed = tab.state()
                page.evaluate(f"asked = 0; agree = {json.dumps(agree)}")
                page.evaluate(f"""[...document.querySelectorAll('#restore li')].forEach((item, i) =>
                    item.toggleAttribute('data-chosen', i === {index}))""")
                button = "restore" if what == "recover" else "discard"
                page.click(f'#restore li[data-chosen] [data-do="{button}"]')
                page.wait_for("!document.querySelector('#restore li[data-chosen]') || "
                              "(asked > 0 && !agree)")
                taken = "no longer kept" in page.evaluate(
                    "document.getElementById('planner-message').textContent")
                if what == "discard":
                    if left:
                        del self.owed[owner]
                elif page.evaluate("asked") > 0 and not agree:
                    self.assertTrue(changed, where)
                elif taken:
                    self.assertFalse(left, f"{where}: a copy left behind was not recovered")
                else:
                    # The recovered copy is the work on screen now, unsaved as it was; the work
                    # it replaced was discarded.
                    self.assertTrue(left, f"{where}: recovered a copy another tab has open")
                    self.assertEqual(page.evaluate("asked"), int(changed), where)
                    self.owed.pop(tab.work, None)
                    text, changed = tab.state()
                    self.assertEqual(text, copy["text"], where)
                    self.assertTrue(changed, f"{where}: a recovered project counts as unsaved")
                    tab.work = owner
            self.check(tab, where)
        for tab in tabs:
            self.assertEqual((tab.page.console, tab.page.errors), ([], []), tab.name)

    def test_the_project_an_earlier_page_kept_is_offered(self):
        # Pages before kept their one project in local storage: it is offered like any copy left
        # behind, and recovered, unsaved.
        tab = Tab(self.browser, "only")
        tab.load(PAGE.as_uri())
        kept = (EXAMPLES / "shop.json").read_text()
        tab.page.evaluate(f"localStorage.setItem('lenstally.project', {json.dumps(kept)})")
        tab.load(PAGE.as_uri())
        self.assertIsNone(tab.page.evaluate("localStorage.getItem('lenstally.project')"))
        self.assertEqual([copy["text"] for copy in self.kept(tab)], [kept])
        self.assertIn("Corner shop", tab.page.evaluate("document.getElementById('restore').innerText"))
        tab.page.click('#restore [data-do="restore"]')
        tab.page.wait_for("document.getElementById('project-name').value === 'Corner shop'")
        self.assertTrue(tab.state()[1])

    def test_storage_that_refuses_is_told_once(self):
        # As in a private window that keeps nothing: the page says so once an edit is not kept.
        tab = Tab(self.browser, "only")
        tab.page.send("Page.addScriptToEvaluateOnNewDocument", {"source": """
            IDBFactory.prototype.open = function () {
                throw new DOMException('The user denied permission', 'InvalidStateError');
            };"""})
        tab.load(PAGE.as_uri())
        self.assertTrue(tab.page.evaluate("document.getElementById('not-kept').hidden"))
        tab.page.click("#show-planner")
        tab.page.click('#planner [data-do="add"]')
        tab.page.wait_for("!document.getElementById('not-kept').hidden", timeout=SETTLE)
        self.assertEqual(tab.page.evaluate("document.querySelectorAll('[role=alert]:not([hidden])')"
                                           ".length"), 1)


if __name__ == "__main__":
    print(f"seed {SEED}", file=sys.stderr)
    unittest.main(argv=sys.argv[:1] + sys.argv[4:])

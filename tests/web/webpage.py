"""Ahnemetri's page in headless Chromium, driven as a user drives it.

The program draws its windows itself; the tests read the page where a user's browser and
screen reader read it: each window's title bar, and the HTML elements that stand for its
controls (buttons, labels, the slider, the name box). Keys, clicks and touches go through
Chromium's own input, as a user's would.
"""

import base64
import collections
import functools
import http.server
import json
import os
import re
import shutil
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from selenium.common.exceptions import WebDriverException

ENTER, TAB, ALT, CONTROL = Keys.ENTER, Keys.TAB, Keys.ALT, Keys.CONTROL
LEFT, RIGHT = Keys.ARROW_LEFT, Keys.ARROW_RIGHT
Answer = collections.namedtuple("Answer", "caption points")
Question = collections.namedtuple("Question", "number text left right")


class Record:
    """The reviewed record of the program's texts (tests/usertexts.txt), as a user reads them:
    captions without their access-key marks, the version as project() has it."""

    def __init__(self, path):
        self.sections = collections.defaultdict(dict)
        for line in open(path, encoding="utf-8"):
            if line.startswith("["):
                section = line.strip().strip("[]")
            elif line.strip() and not line.startswith("#"):
                key, value = line.rstrip("\n").split(" = ", 1)
                self.sections[section][key] = value[1:-1]
        cmake = open(os.path.join(os.path.dirname(path), "..", "CMakeLists.txt")).read()
        self.version = ".".join(re.search(r"VERSION (\d+)\.(\d+)\.\d+", cmake).groups())

    def text(self, section, key):
        return self.sections[section][key].replace("{version}", self.version).replace("&", "")

    def questions(self):
        """Each question's text and its answers, left and right (none for the slider's)."""
        questions = []
        for key, value in self.sections["KysymysFrm"].items():
            if key.startswith("KysymysFrame"):
                questions.append([None, []])
            elif not questions:
                continue
            elif questions[-1][0] is None and key.endswith(" text"):
                questions[-1][0] = self.text("KysymysFrm", key)
            elif key.endswith(" points"):
                caption = self.text("KysymysFrm", key.replace(" points", " text"))
                questions[-1][1].append(Answer(caption, int(value)))
        return [Question(number, text, *(answers or [None, None]))
                for number, (text, answers) in enumerate(questions, start=1)]

    def in_band(self, section, pattern, amount):
        for key, value in self.sections[section].items():
            band = re.fullmatch(pattern + r"(-?\d+)(?: to (-?\d+))?", key)
            if band and int(band[1]) <= amount <= int(band[2] or band[1]):
                return value
        raise KeyError(amount)

    def donation_points(self, amount):
        return int(self.in_band("KysymysFrm", "markkaaCmd9 points at ", amount))

    def donation_caption(self, amount):
        return self.text("KysymysFrm", f"markkaaCmd9 text at {amount}")

    def diagnosis(self, score):
        return self.in_band("Diagnoses", "", score)


class Server:
    """A static server on 127.0.0.1 for one folder, with the MIME type WebAssembly needs. As
    hosts can be set up: with a Cache-Control header on every file, and serving the site's
    compressed copies (FILE.br, FILE.gz) to a browser that takes them, for the encodings given
    in `precompressed`."""

    def __init__(self, folder, cache_control=None, precompressed=()):
        class Handler(http.server.SimpleHTTPRequestHandler):
            extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                              ".wasm": "application/wasm", ".js": "text/javascript"}
            encoding = None

            def log_message(self, *args):
                pass

            def send_head(self):
                self.encoding = None
                address = self.path.split("?")[0]
                if address.endswith("/"):
                    address += "index.html"
                path = self.translate_path(address)
                accepted = [e.split(";")[0].strip()
                            for e in self.headers.get("Accept-Encoding", "").split(",")]
                for encoding, suffix in (("br", ".br"), ("gzip", ".gz")):
                    if (encoding in precompressed and encoding in accepted
                            and os.path.isfile(path + suffix)):
                        self.encoding = encoding
                        self.compressed_type = self.guess_type(path)
                        self.path = address + suffix
                        break
                return super().send_head()

            def send_header(self, keyword, value):
                if keyword == "Content-type" and self.encoding:
                    value = self.compressed_type
                super().send_header(keyword, value)

            def end_headers(self):
                if self.encoding:
                    super().send_header("Content-Encoding", self.encoding)
                    super().send_header("Vary", "Accept-Encoding")
                if cache_control:
                    super().send_header("Cache-Control", cache_control)
                super().end_headers()

        class Quiet(http.server.ThreadingHTTPServer):
            def handle_error(self, request, address):
                pass  # a browser that goes away during a download

        self.httpd = Quiet(("127.0.0.1", 0), functools.partial(Handler, directory=folder))
        self.url = f"http://127.0.0.1:{self.httpd.server_address[1]}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        if self.thread.is_alive():
            self.httpd.shutdown()
            self.httpd.server_close()


def wait_for(condition, what, timeout=30):
    """Waits until condition() gives something true and returns it."""
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)
    return value


# The windows as the page shows them, topmost first, each with its title, whether it is active,
# its place, and the elements of its controls that are not hidden. They live in a shadow root.
WINDOWS_JS = r"""
const host = document.querySelector('#qt-shadow-container');
const box = e => { const r = e.getBoundingClientRect();
                   return { x: r.x, y: r.y, width: r.width, height: r.height }; };
return [...(host && host.shadowRoot ? host.shadowRoot.querySelectorAll('.qt-window') : [])]
  .filter(w => getComputedStyle(w).display !== 'none')
  .sort((a, b) => getComputedStyle(b).zIndex - getComputedStyle(a).zIndex)
  .map(w => ({ ...box(w), title: w.querySelector('.window-name').textContent,
    active: !w.classList.contains('inactive'),
    close: box([...w.querySelectorAll('.title-bar .image-button')]
                 .filter(b => getComputedStyle(b).display !== 'none').pop()),
    controls: [...w.querySelectorAll('.qt-window-a11y-container > *')]
      .filter(e => e.getAttribute('aria-hidden') !== 'true' && e.ariaHidden !== 'true')
      .map(e => ({ ...box(e), tag: e.tagName.toLowerCase(), type: e.getAttribute('type'),
                   text: e.getAttribute('type') === 'text' ? e.value : e.textContent,
                   value: e.getAttribute('value'), valuetext: e.getAttribute('aria-valuetext'),
                   description: e.getAttribute('aria-description') || '',
                   disabled: e.getAttribute('aria-disabled') })) }));
"""


class Page:
    """One browser, new and empty, with the site open."""

    def __init__(self, url, phone=False, before_load=None):
        self.profile = tempfile.mkdtemp(prefix="ahnemetri-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--use-angle=swiftshader",
                     "--enable-unsafe-swiftshader", "--window-size=1024,768",
                     f"--user-data-dir={self.profile}"):
            options.add_argument(flag)
        # The network's events, to read what the page loaded.
        options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.presses = 0
        self.last_tap = 0.0
        if before_load:
            self.cdp("Page.addScriptToEvaluateOnNewDocument", {"source": before_load})
        if phone:
            self.turn(390, 844)
            self.cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.driver.get(url)

    def close(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def resize(self, width=None, height=None):
        """A desktop browser's window made this size inside, or given back its own."""
        if width is None:
            self.cdp("Emulation.clearDeviceMetricsOverride")
        else:
            self.cdp("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def turn(self, width, height):
        """A phone's screen of this size, upright or turned on its side."""
        upright = height > width
        self.cdp("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": 3, "mobile": True,
            "screenOrientation": {"type": "portraitPrimary" if upright else "landscapePrimary",
                                  "angle": 0 if upright else 90}})

    def cdp(self, command, arguments=None):
        return self.driver.execute_cdp_cmd(command, arguments or {})

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    # --- What the page shows ---------------------------------------------------------------

    def windows(self):
        return self.js(WINDOWS_JS)

    def top_window(self):
        return next(iter(self.windows()), None)

    def wait_for_window(self, title):
        """Waits until the window titled so is on top and active, ready for the keyboard."""
        try:
            return wait_for(lambda: next((w for w in self.windows()[:1]
                                          if w["title"] == title and w["active"]), None), title)
        except AssertionError:
            raise AssertionError(f"expected '{title}' on top, active; the page shows "
                                 f"{[(w['title'], w['active']) for w in self.windows()]}") from None

    def wait_for_text(self, text):
        """Waits for a control with this text in the window on top, and returns it."""
        return wait_for(lambda: next((c for c in (self.top_window() or {"controls": []})["controls"]
                                      if c["text"] == text), None), f"'{text}' on the page")

    def control(self, text):
        return self.wait_for_text(text)

    def control_of_type(self, kind):
        return next(c for c in self.top_window()["controls"] if c["type"] == kind)

    def name_box(self):
        return self.control_of_type("text")

    def accessible_nodes(self):
        """What a screen reader is given of the page: the nodes of Chromium's accessibility tree
        that it does not ignore, each with its role, name, value and properties (live, ...)."""
        nodes = []
        for node in self.cdp("Accessibility.getFullAXTree")["nodes"]:
            if node.get("ignored"):
                continue
            nodes.append({"role": node.get("role", {}).get("value"),
                          "name": node.get("name", {}).get("value", ""),
                          "value": node.get("value", {}).get("value", ""),
                          **{p["name"]: p["value"].get("value")
                             for p in node.get("properties", [])}})
        return nodes

    def accessible(self, role, **wanted):
        """The first node of the accessibility tree in this role with these properties."""
        return next(n for n in self.accessible_nodes()
                    if n["role"] == role and all(n.get(k) == v for k, v in wanted.items()))

    def live_text(self):
        """The text in the page's live regions, which a screen reader speaks as it comes."""
        nodes = {n["nodeId"]: n for n in self.cdp("Accessibility.getFullAXTree")["nodes"]}

        def text(node):
            if node.get("role", {}).get("value") == "StaticText":
                return [node["name"]["value"]]
            return [t for child in node.get("childIds", []) if child in nodes
                    for t in text(nodes[child])]
        return " ".join(t for n in nodes.values()
                        if any(p["name"] == "live" for p in n.get("properties", []))
                        for t in text(n))

    def message(self):
        return self.js("return document.getElementById('message').hidden ? null"
                       " : document.getElementById('message-text').textContent;")

    def loaded_files(self):
        """The files that the page has loaded since the last call, from the host or the service
        worker: each one's address and its contents."""
        addresses, finished = {}, []
        for entry in self.driver.get_log("performance"):
            event = json.loads(entry["message"])["message"]
            if event["method"] == "Network.responseReceived":
                addresses[event["params"]["requestId"]] = event["params"]["response"]["url"]
            elif event["method"] == "Network.loadingFinished":
                finished.append(event["params"]["requestId"])
        files = {}
        for request in finished:
            if request in addresses and addresses[request].startswith("http"):
                try:
                    body = self.cdp("Network.getResponseBody", {"requestId": request})
                except WebDriverException:  # a page left before it was read: nothing loaded
                    continue
                files[addresses[request]] = (base64.b64decode(body["body"]) if body["base64Encoded"]
                                             else body["body"].encode())
        return files

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    # --- What a user does -------------------------------------------------------------------

    def keys(self, *keys):
        ActionChains(self.driver).send_keys(*keys).perform()

    def key_with(self, modifier, key):
        ActionChains(self.driver).key_down(modifier).send_keys(key).key_up(modifier).perform()

    def point(self, control):
        # Two presses on one spot within Qt's double-click time make a double click, which the
        # questionnaire keeps from answering the question that the first one brought up. A
        # user's presses seldom land on the same pixel, and neither do these.
        self.presses += 1
        return (control["x"] + control["width"] * (0.2 if self.presses % 2 else 0.8),
                control["y"] + control["height"] / 2)

    def mouse(self, kind, x, y, **more):
        self.cdp("Input.dispatchMouseEvent", {"type": kind, "x": x, "y": y, "button": "left",
                                              "clickCount": 1, **more})

    def click(self, control):
        x, y = self.point(control)
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.mouse(kind, x, y)

    def close_box(self):
        """Clicks the close box in the title bar of the window on top."""
        self.click(self.top_window()["close"])

    def drag(self, x0, y0, x1, y1):
        self.mouse("mousePressed", x0, y0)
        for step in range(1, 11):
            self.mouse("mouseMoved", x0 + (x1 - x0) * step / 10, y1, buttons=1)
        self.mouse("mouseReleased", x1, y1)

    def touch(self, kind, *points):
        self.cdp("Input.dispatchTouchEvent",
                 {"type": kind, "touchPoints": [{"x": x, "y": y} for x, y in points]})

    def tap(self, control):
        # Two taps within Qt's double-click time (400 ms) are a double tap wherever they land,
        # and the questionnaire keeps a double tap from answering the question that its first
        # tap brought up: taps come at a finger's pace.
        wait_for(lambda: time.monotonic() - self.last_tap > 0.45, "a finger's pace")
        self.touch("touchStart", self.point(control))
        self.touch("touchEnd")
        self.last_tap = time.monotonic()

    def touch_drag(self, x0, y0, x1, y1):
        # At a touch screen's pace: the finger rests before it moves, and the screen reports
        # where it is 50 times a second.
        started = time.monotonic()
        self.touch("touchStart", (x0, y0))
        for step in range(0, 21):
            wait_for(lambda: time.monotonic() - started > 0.2 + step * 0.02, "a finger's pace")
            self.touch("touchMove", (x0 + (x1 - x0) * step / 20, y1))
        self.touch("touchEnd")

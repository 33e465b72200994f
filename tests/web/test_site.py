"""Ahnemetri in a real browser: the site in build/web/site, served from a sub-folder of a static
server on 127.0.0.1, in Debian's headless Chromium. Run by scripts/web.sh:

    python3 tests/web/test_site.py BUILD_WEB [TEST ...]

Screenshots of every window go to BUILD_WEB. Each test prints its outcome; the last line is
"N passed, M failed".
"""

import base64
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

from webpage import ALT, CONTROL, ENTER, LEFT, RIGHT, TAB, Page, Record, Server, wait_for

# What the tests expect comes from the reviewed record of the program's texts
# (tests/usertexts.txt), as the desktop tests take it.
RECORD = Record(os.path.join(os.path.dirname(__file__), "..", "usertexts.txt"))
START = RECORD.text("IntroFrm", "windowTitle")
QUESTIONNAIRE = RECORD.text("KysymysFrm", "windowTitle")
ABOUT = RECORD.text("TietoaFrm", "windowTitle")
QUESTIONS = RECORD.questions()
# Enter answers the answer that has the focus when a question comes up: the left one, in
# question 6 the right one ("En nostaisi"); on the slider one step right, 1 markka.
KEYBOARD = (sum(q.right.points if q.number == 6 else q.left.points for q in QUESTIONS if q.left)
            + RECORD.donation_points(1))
# The mouse and the finger take the right answer everywhere and drag the slider to 20 markka.
POINTER = sum(q.right.points for q in QUESTIONS if q.right) + RECORD.donation_points(20)

TESTS = []


def test(function):
    TESTS.append(function)
    return function


def results(page, name, score):
    """Waits for the results of a test by this name and checks what they say of the score."""
    title = RECORD.text("StatusFrm", "windowTitle").replace("{name}", name)
    window = page.wait_for_window(title)
    shown = {c["text"] for c in window["controls"]}
    score_text = f" {score}"  # the score behind its sign position
    percent = RECORD.text("StatusFrm", "ProssaLbl text").replace("{score}", score_text)
    summary = re.escape(RECORD.text("StatusFrm", "ProssaSelLbl text")).replace(
        re.escape("{score}"), score_text).replace(re.escape("{time}"), r"\d\d:\d\d:\d\d").replace(
        re.escape("{name}"), re.escape(name))
    assert percent in shown, f"'{percent}' is not among the results' texts {shown}"
    assert any(re.fullmatch(summary, t) for t in shown), f"no summary '{summary}' in {shown}"
    # The diagnosis is the window's description, and a screen reader is told the result as the
    # window comes up: the percentage, the diagnosis and the summary line.
    diagnosis = RECORD.diagnosis(score)
    assert any(diagnosis in c["description"] for c in window["controls"]), diagnosis
    told = wait_for(lambda: diagnosis in page.live_text() and page.live_text(), "the result told")
    tip = RECORD.text("StatusFrm", "GraphicProg toolTip").replace("{score}", score_text)
    assert re.fullmatch(re.escape(f"{tip}. {diagnosis.strip()} ") + summary, told), told
    return window


def answer_all(page, way, meanwhile=None):
    """Answers the 25 questions: by keyboard with Enter, or with the right answers by mouse
    clicks or by touch, the slider dragged to its end. `meanwhile` maps the number of a question
    to what happens while it is asked, before it is answered."""
    press = {"mouse": page.click, "touch": page.tap}.get(way)
    for question in QUESTIONS:
        caption = RECORD.text("KysymysFrm", f"KysymysFrame{question.number} title")
        page.wait_for_text(caption)
        if meanwhile and question.number in meanwhile:
            meanwhile[question.number]()
        if way == "keyboard" and question.number in (1, 9, 25):
            # A screen reader is told the question as it comes up.
            wait_for(lambda: page.live_text() == f"{caption}. {question.text}", caption)
        if question.left and way == "keyboard":
            page.keys(ENTER)
        elif question.left:
            press(page.control(question.right.caption))
        elif way == "keyboard":
            # A screen reader finds the slider with its range and amount, and the amount in
            # words as its value text. Chromium's DevTools protocol leaves aria-valuetext out of
            # the tree it reports; Chromium hands it on to screen readers (AT-SPI's "valuetext").
            for keys, amount in (((RIGHT,), 1), ((RIGHT, RIGHT), 3), ((LEFT, LEFT), 1)):
                page.keys(*keys)
                page.wait_for_text(RECORD.donation_caption(amount))
                words = RECORD.donation_caption(amount).strip()
                wait_for(lambda: page.control_of_type("range")["valuetext"] == words, words)
                slider = page.accessible("slider", name="Lahjoitus markkoina")
                assert (slider["value"], slider["valuemin"]) == (amount, 0), slider
            page.keys(TAB, ENTER)
        else:
            slider = page.control_of_type("range")
            y = slider["y"] + slider["height"] / 2
            drag = page.drag if way == "mouse" else page.touch_drag
            # Qt 6.8 in a browser takes the first touch drag of the slider as a touch only; the
            # second moves it (noted in the README).
            for _ in range(1 if way == "mouse" else 2):
                drag(slider["x"] + 10, y, slider["x"] + slider["width"] + 40, y)
            press(page.wait_for_text(RECORD.donation_caption(20)))


def centred(page, name):
    """Waits until the window on top is centred on the page, whole."""
    def placed():
        width, height = page.js("return [innerWidth, innerHeight];")
        window = page.top_window()
        return (window and abs(window["x"] + window["width"] / 2 - width / 2) <= 16
                and abs(window["y"] + window["height"] / 2 - height / 2) <= 32
                and window["x"] >= 0 and window["y"] >= 0
                and window["x"] + window["width"] <= width and window["y"] + window["height"] <= height)
    wait_for(placed, f"'{name}' centred and whole: {page.top_window()}")


# Where a picture of the program is drawn in the top window, as the browser itself decodes the
# picture's PNG file: the position of its top left corner in the window's canvas, or None.
FIND_PICTURE_JS = r"""
return (async () => {
  const picture = new Image();
  picture.src = arguments[0];
  await picture.decode();
  const scratch = document.createElement('canvas');
  [scratch.width, scratch.height] = [picture.width, picture.height];
  scratch.getContext('2d').drawImage(picture, 0, 0);
  const want = new Uint32Array(scratch.getContext('2d')
    .getImageData(0, 0, picture.width, picture.height).data.buffer);
  const host = document.querySelector('#qt-shadow-container');
  const canvas = [...host.shadowRoot.querySelectorAll('.qt-window')]
    .filter(w => getComputedStyle(w).display !== 'none')
    .sort((a, b) => getComputedStyle(b).zIndex - getComputedStyle(a).zIndex)[0]
    .querySelector('canvas');
  const have = new Uint32Array(canvas.getContext('2d')
    .getImageData(0, 0, canvas.width, canvas.height).data.buffer);
  for (let y = 0; y + picture.height <= canvas.height; ++y)
    for (let x = 0; x + picture.width <= canvas.width; ++x) {
      let same = true;
      for (let row = 0; same && row < picture.height; ++row)
        for (let column = 0; same && column < picture.width; ++column)
          same = have[(y + row) * canvas.width + x + column] === want[row * picture.width + column];
      if (same)
        return [x, y];
    }
  return null;
})();
"""


def picture_url(name):
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "src", "resources", name),
              "rb") as file:
        return "data:image/png;base64," + base64.b64encode(file.read()).decode()


def ended(page):
    wait_for(lambda: "päättynyt" in (page.message() or ""), "the page to say the program ended")
    assert page.windows() == [], page.windows()


@test
def page_and_start_window(ctx):
    page = ctx.open()
    assert page.driver.title == START, page.driver.title
    for link in ("link[rel=icon]", "link[rel=manifest]"):
        status = page.js(f"return fetch(document.querySelector('{link}').href).then(r => r.status);")
        assert status == 200, (link, status)
    # The program came as its compressed copy, and the page works.
    wasm = page.js("return performance.getEntriesByType('resource')"
                   ".find(e => e.name.endsWith('.wasm')).toJSON();")
    assert 0 < wasm["encodedBodySize"] < wasm["decodedBodySize"] / 2, wasm
    centred(page, START)
    # The title picture is the PNG file's pixels, every one (the browser build carries it in
    # another format), and the title bar shows the program's icon, not Qt's.
    assert page.js(FIND_PICTURE_JS, picture_url("images/otsikko.png")), "no title picture"
    icon = page.js("return [...document.querySelector('#qt-shadow-container').shadowRoot"
                   ".querySelectorAll('.qt-window')].map(w => w.querySelector('.title-bar img')"
                   ".src);")
    assert icon and all(src.startswith("data:image/png;base64,") for src in icon), icon
    width = page.js("return innerWidth;")
    assert page.top_window()["width"] < width / 2, f"the start window fills the page"
    page.screenshot(ctx.shot("start"))
    assert page.name_box()["tag"] == "input"
    # Ctrl+W, T and N stay the browser's: seen first, read once the program has had the key.
    page.js("""window.prevented = [];
        addEventListener('keydown', e => { if (e.ctrlKey && e.key != 'Control')
            setTimeout(() => prevented.push(e.key + ':' + e.defaultPrevented)); }, true);""")
    for key in "wtn":
        page.key_with(CONTROL, key)
    prevented = wait_for(lambda: page.js("return prevented.length == 3 && prevented;"), "3 keys")
    assert prevented == ["w:false", "t:false", "n:false"], prevented
    # The start button only with a name: a click and Enter do nothing before.
    start = RECORD.text("IntroFrm", "AloitaCmd text")
    assert page.control(start)["disabled"] == "true"
    page.click(page.control(start))
    page.keys(ENTER, "Nimi")
    wait_for(lambda: page.control(start)["disabled"] == "false", "the start button enabled")
    assert page.top_window()["title"] == START and page.name_box()["text"] == "Nimi"
    page.click(page.control(start))
    page.wait_for_window(QUESTIONNAIRE)


@test
def whole_test_by_keyboard_new_test_and_lopeta(ctx):
    page = ctx.open()
    # A screen reader finds the name box named by its label.
    assert page.accessible("textbox", readonly=False, name=RECORD.text("IntroFrm", "NimiLbl text"))
    page.keys("Testi", TAB, ENTER)
    page.wait_for_window(QUESTIONNAIRE)
    page.wait_for_text(QUESTIONS[0].text)
    first = QUESTIONS[0]  # the question and its answers as a screen reader finds them
    assert page.control(first.left.caption)["tag"] == page.control(first.right.caption)["tag"] == "button"
    page.screenshot(ctx.shot("question"))

    def smaller_and_back():
        # The browser's window made smaller than the start and the results windows, then as it
        # was: the questionnaire stays whole in the middle, and the keyboard goes on there.
        page.resize(420, 300)
        centred(page, QUESTIONNAIRE)
        page.resize()
        centred(page, QUESTIONNAIRE)

    answer_all(page, "keyboard", {5: smaller_and_back})
    results(page, "Testi", KEYBOARD)
    page.screenshot(ctx.shot("results"))
    page.keys(ENTER)  # "Uusi testi": the start window with an empty name box
    page.wait_for_window(START)
    page.keys("Uusi")
    wait_for(lambda: page.name_box()["text"] == "Uusi", "the new name alone in the name box")
    page.keys(TAB, ENTER)
    answer_all(page, "keyboard")
    results(page, "Uusi", KEYBOARD)
    page.key_with(ALT, "l")  # "Lopeta"
    ended(page)
    page.screenshot(ctx.shot("ended"))
    page.driver.find_element("id", "restart").click()
    page.wait_for_window(START)
    page.key_with(CONTROL, "x")
    ended(page)


@test
def whole_test_by_mouse(ctx):
    page = ctx.open()
    page.keys("Hiiri")
    page.click(page.control(RECORD.text("IntroFrm", "AloitaCmd text")))
    answer_all(page, "mouse")
    results(page, "Hiiri", POINTER)
    page.click(page.control(RECORD.text("StatusFrm", "UusiCmd text")))
    page.wait_for_window(START)


@test
def about_window_and_close_boxes(ctx):
    page = ctx.open()
    page.key_with(ALT, "y")
    page.keys("t")
    page.wait_for_window(ABOUT)
    page.screenshot(ctx.shot("about"))
    page.keys(ENTER)
    page.wait_for_window(START)
    page.keys("Kesken", TAB, ENTER)
    page.wait_for_window(QUESTIONNAIRE)
    page.close_box()  # interrupts the test; the name stays, "Aloita testi" keeps the focus
    page.wait_for_window(START)
    page.keys(ENTER)
    answer_all(page, "keyboard")
    results(page, "Kesken", KEYBOARD)
    page.close_box()  # the results' close box starts a new test
    page.wait_for_window(START)
    page.close_box()  # the start window's ends the program
    ended(page)


@test
def name_is_never_markup(ctx):
    name = "<b>x</b><img src=y onerror=window.pwned=1>&amp;"  # 48 characters: shown cut to 26
    page = ctx.open()
    page.keys(name, TAB, ENTER)
    answer_all(page, "keyboard")
    window = results(page, name[:26] + "...", KEYBOARD)
    assert page.js("return window.pwned === undefined && !document.querySelector('#qt-shadow-"
                   "container').shadowRoot.querySelector(':is(.qt-window-a11y-container, [aria-live]) "
                   ":is(img, b)');")
    assert window["title"].endswith(f"({name[:26]}...)"), window["title"]


def whole_on_the_screen(page, ctx, name, device=(390, 844)):
    """Waits until every shown window is whole on the screen, all scaled alike and big enough
    to read: the page zoomed out as far as the largest window needs, no further."""
    def fitted():
        width, height, scale = page.js("return [innerWidth, innerHeight, visualViewport.scale];")
        windows = page.windows()
        return windows and abs(width * scale - device[0]) < 1 and abs(
            height * scale - device[1]) < 2 and all(
            0 <= w["x"] and w["x"] + w["width"] <= width and 0 <= w["y"]
            and w["y"] + w["height"] <= height and w["width"] * scale >= 0.6 * min(device)
            for w in windows)
    wait_for(fitted, f"every window whole and readable on the screen ({name}): {page.windows()}")
    page.screenshot(ctx.shot(f"phone-{name}"))


@test
def phone_sized_touch_screen_turned_mid_test(ctx):
    page = ctx.open(phone=True)
    assert page.js("return navigator.maxTouchPoints;") > 0
    # Zoomed out to show the largest window whole: the page is wider than the screen, and all
    # of it is on the screen.
    whole_on_the_screen(page, ctx, "start")
    page.tap(page.name_box())
    # An element that takes text has the focus: the on-screen keyboard comes up.
    wait_for(lambda: page.js("const e = document.activeElement;"
                             "return e.tagName == 'INPUT' && e.inputMode != 'none';"), "a text input")
    page.keys("Puhelin")
    page.tap(page.control(RECORD.text("IntroFrm", "AloitaCmd text")))
    page.wait_for_window(QUESTIONNAIRE)
    whole_on_the_screen(page, ctx, "question")

    def turn_and_back():
        page.turn(844, 390)
        whole_on_the_screen(page, ctx, "question-landscape", (844, 390))
        page.turn(390, 844)
        whole_on_the_screen(page, ctx, "question-upright")

    answer_all(page, "touch", {3: turn_and_back})
    results(page, "Puhelin", POINTER)
    whole_on_the_screen(page, ctx, "results")


def worker_active(page):
    """Waits until the service worker has kept every file of the build and is in charge."""
    wait_for(lambda: page.js("return navigator.serviceWorker.getRegistration()"
                             ".then(r => !!(r && r.active && r.active.state == 'activated'));"),
             "the service worker active")


@test
def offline_after_the_first_visit(ctx):
    page = ctx.open()
    worker_active(page)
    ctx.server.stop()
    page.driver.refresh()
    page.wait_for_window(START)
    page.keys("Verkoton", TAB, ENTER)
    page.wait_for_window(QUESTIONNAIRE)


def publish_second_build(site):
    """Publishes another build over the site in its folder: the program with one more custom
    section, each script with one more line, the page and the service worker made anew. Returns
    the digest of every file of it."""
    section = b"\x0dahnemetri-test" + b"second build"  # a name of 13 bytes, then the contents
    with open(os.path.join(site, "ahnemetri.wasm"), "ab") as wasm:
        wasm.write(b"\x00" + bytes([len(section)]) + section)
    for script in ("start.js", "qtloader.js", "ahnemetri.js"):
        with open(os.path.join(site, script), "a", encoding="utf-8") as file:
            file.write("\n// second build\n")
    seal = os.path.join(os.path.dirname(__file__), "..", "..", "cmake", "WebSiteSeal.cmake")
    subprocess.run(["cmake", f"-DSITE={site}", "-P", seal], check=True, capture_output=True)
    return {hashlib.sha256(open(os.path.join(folder, name), "rb").read()).hexdigest()
            for folder, _, names in os.walk(site) for name in names}


@test
def new_build_reaches_a_returning_visitor(ctx):
    # A host that lets browsers keep every file for ten minutes, as common static hosts do.
    root = tempfile.mkdtemp(prefix="ahnemetri-host-")
    site = os.path.join(root, "site")
    shutil.copytree(os.path.join(ctx.build, "site"), site)
    ctx.server.stop()
    ctx.server = Server(root, cache_control="public, max-age=600")
    page = ctx.open()
    worker_active(page)

    def build_loaded():
        """Which build the page has loaded since the last look: every file of one, never files
        of both (the worker's own script, which the browser checks for news, aside)."""
        loaded = {hashlib.sha256(body).hexdigest() for url, body in page.loaded_files().items()
                  if not url.endswith("/sw.js")}
        assert len(loaded) >= 5, "the page's files are not among what it loaded"
        builds = [name for name, files in (("first", first), ("second", second)) if loaded <= files]
        assert builds, f"files of both builds: {loaded}"
        return builds[0]

    first = {hashlib.sha256(body).hexdigest() for body in page.loaded_files().values()}
    second = publish_second_build(site)
    # The visit after the publication: the first build still, or already the second.
    page.driver.refresh()
    page.wait_for_window(START)
    if build_loaded() == "first":
        # The second build comes in the background while the visitor reads the page ...
        wait_for(lambda: page.js("return navigator.serviceWorker.getRegistration()"
                                 ".then(r => !!r.waiting);"), "the second build kept", 60)
        # ... and it is there at the next visit.
        page.driver.refresh()
        page.wait_for_window(START)
        assert build_loaded() == "second", "the second build has not come after two reloads"
    page.keys("Uusi versio", TAB, ENTER)
    page.wait_for_window(QUESTIONNAIRE)
    shutil.rmtree(root, ignore_errors=True)


@test
def finnish_message_without_webassembly(ctx):
    page = ctx.open(before_load="delete window.WebAssembly;", wait=False)
    wait_for(lambda: "WebAssembly" in (page.message() or ""), "the message")
    assert page.message().startswith("Ahnemetri ei toimi tässä selaimessa"), page.message()


class Context:
    def __init__(self, build):
        self.build = build
        # A host that serves the site's compressed copies as they are (nginx's gzip_static,
        # Caddy's precompressed): brotli over HTTPS, gzip here.
        self.server = Server(build, precompressed=("br", "gzip"))
        self.page = None

    def open(self, wait=True, **options):
        self.page = Page(self.server.url + "site/", **options)
        if wait:
            self.page.wait_for_window(START)
        return self.page

    def shot(self, name):
        return os.path.join(self.build, f"web-{name}.png")

    def close(self):
        if self.page:
            self.page.close()
        self.server.stop()


def main():
    build, only = sys.argv[1], sys.argv[2:]
    passed = failed = 0
    for function in TESTS:
        if only and function.__name__ not in only:
            continue
        ctx = Context(build)
        started = time.monotonic()
        try:
            function(ctx)
            passed += 1
            print(f"PASS {function.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception:  # every failure is reported, and the next test runs
            failed += 1
            print(f"FAIL {function.__name__}", flush=True)
            traceback.print_exc(limit=4)
            if ctx.page:
                ctx.page.screenshot(ctx.shot(f"failed-{function.__name__}"))
        finally:
            ctx.close()
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main())

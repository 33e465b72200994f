"""Ahnemetri in a real browser: the site in build/web/site, served from a sub-folder of a static
server on 127.0.0.1, in Debian's headless Chromium. Run by scripts/web.sh:

    python3 tests/web/test_site.py BUILD_WEB [TEST ...]

Screenshots of every window go to BUILD_WEB. Each test prints its outcome; the last line is
"N passed, M failed".
"""

import os
import re
import sys
import time
import traceback

from webpage import ALT, CONTROL, ENTER, RIGHT, TAB, Page, Record, Server, wait_for

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
    # The diagnosis is the window's description, read out as the window comes up.
    diagnosis = RECORD.diagnosis(score)
    assert any(diagnosis in c["description"] for c in window["controls"]), diagnosis
    return window


def answer_all(page, way):
    """Answers the 25 questions: by keyboard with Enter, or with the right answers by mouse
    clicks or by touch, the slider dragged to its end."""
    press = {"mouse": page.click, "touch": page.tap}.get(way)
    for question in QUESTIONS:
        page.wait_for_text(f"Kysymys {question.number}/25")
        if question.left and way == "keyboard":
            page.keys(ENTER)
        elif question.left:
            press(page.control(question.right.caption))
        elif way == "keyboard":
            page.keys(RIGHT)
            page.wait_for_text(RECORD.donation_caption(1))
            # A screen reader finds the slider as a range with its amount.
            assert page.control_of_type("range")["value"] == "1"
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
    window = page.top_window()
    width, height = page.js("return [innerWidth, innerHeight];")
    assert abs(window["x"] + window["width"] / 2 - width / 2) <= 16, "not centred"
    assert abs(window["y"] + window["height"] / 2 - height / 2) <= 32, "not centred"
    assert window["width"] < width / 2, f"the start window fills the page: {window}"
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
    page.keys("Testi", TAB, ENTER)
    page.wait_for_window(QUESTIONNAIRE)
    page.wait_for_text(QUESTIONS[0].text)
    first = QUESTIONS[0]  # the question and its answers as a screen reader finds them
    assert page.control(first.left.caption)["tag"] == page.control(first.right.caption)["tag"] == "button"
    page.screenshot(ctx.shot("question"))
    answer_all(page, "keyboard")
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
                   "container').shadowRoot.querySelector('.qt-window-a11y-container :is(img, b)');")
    assert window["title"].endswith(f"({name[:26]}...)"), window["title"]


@test
def phone_sized_touch_screen(ctx):
    page = ctx.open(phone=True)
    # Zoomed out to show the largest window whole: the page is wider than the screen, and all
    # of it is on the screen.
    width, height, scale, touch = page.js(
        "return [innerWidth, innerHeight, visualViewport.scale, navigator.maxTouchPoints];")
    assert touch > 0 and abs(width * scale - 390) < 1 and abs(height * scale - 844) < 2

    def inside(window, name):
        assert (0 <= window["x"] and window["x"] + window["width"] <= width and 0 <= window["y"]
                and window["y"] + window["height"] <= height), f"{window} is not on the screen"
        assert window["width"] * scale >= 0.6 * 390, f"'{window['title']}' is too small to read"
        page.screenshot(ctx.shot(f"phone-{name}"))

    inside(page.top_window(), "start")
    page.tap(page.name_box())
    # An element that takes text has the focus: the on-screen keyboard comes up.
    wait_for(lambda: page.js("const e = document.activeElement;"
                             "return e.tagName == 'INPUT' && e.inputMode != 'none';"), "a text input")
    page.keys("Puhelin")
    page.tap(page.control(RECORD.text("IntroFrm", "AloitaCmd text")))
    inside(page.wait_for_window(QUESTIONNAIRE), "question")
    answer_all(page, "touch")
    inside(results(page, "Puhelin", POINTER), "results")


@test
def offline_after_the_first_visit(ctx):
    page = ctx.open()
    wait_for(lambda: page.js("return caches.keys().then(k => k.some(n => n.startsWith('ahnemetri-')));"),
             "the page's files kept")
    ctx.server.stop()
    page.driver.refresh()
    page.wait_for_window(START)
    page.keys("Verkoton", TAB, ENTER)
    page.wait_for_window(QUESTIONNAIRE)


@test
def finnish_message_without_webassembly(ctx):
    page = ctx.open(before_load="delete window.WebAssembly;", wait=False)
    wait_for(lambda: "WebAssembly" in (page.message() or ""), "the message")
    assert page.message().startswith("Ahnemetri ei toimi tässä selaimessa"), page.message()


class Context:
    def __init__(self, build):
        self.build = build
        self.server = Server(build)
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

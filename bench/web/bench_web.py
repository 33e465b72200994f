"""Start-up of Ahnemetri's page beside a bare Qt Widgets window built for the browser the same way.

    python3 bench/web/bench_web.py BUILD_WEB [ROUNDS]

BUILD_WEB holds site/ (the program's site) and bench/ (the bare window's, AHNEMETRI_WEB_BENCH=1
of scripts/web.sh). Both are served by one static server on 127.0.0.1 and opened in turn, ROUNDS
times each (default 15), in one headless Chromium with its HTTP cache and service workers left
out, so that every load fetches, compiles and starts the program afresh. The time is from the
navigation to the first frame in which the start window (the bare window) is drawn and active,
ready for the keyboard, read in the page with requestAnimationFrame. Prints the medians, their ratio
(target: at most 1.2) and the weight of both .wasm files.
"""

import gzip
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "web"))
from webpage import Page, Server, wait_for  # noqa: E402

# Stamps the first animation frame in which a Qt window is on the page, active (it has the
# keyboard) and painted (a pixel in the middle of its canvas is not transparent).
READY_PROBE = r"""
(() => {
  const probe = () => {
    const host = document.querySelector('#qt-shadow-container');
    const root = host && host.shadowRoot;
    const win = root && [...root.querySelectorAll('.qt-window')]
      .find(w => getComputedStyle(w).display !== 'none');
    const canvas = win && win.querySelector('canvas');
    if (canvas && canvas.width > 0 && !win.classList.contains('inactive')) {
      const pixel = canvas.getContext('2d')
        .getImageData(canvas.width >> 1, canvas.height >> 1, 1, 1).data;
      if (pixel[3] !== 0) {
        window.startedAt = performance.now();
        return;
      }
    }
    requestAnimationFrame(probe);
  };
  requestAnimationFrame(probe);
})();
"""


def load_time(page, url):
    page.driver.get("about:blank")
    page.driver.get(url)
    return wait_for(lambda: page.js("return window.startedAt || null;"), f"{url} drawn")


def main():
    build = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    server = Server(build)
    page = Page("about:blank", before_load=READY_PROBE)
    try:
        page.cdp("Network.enable")
        page.cdp("Network.setCacheDisabled", {"cacheDisabled": True})
        page.cdp("Network.setBypassServiceWorker", {"bypass": True})
        times = {"site": [], "bench": []}
        load_time(page, server.url + "site/")  # warm-up: the browser's own start
        load_time(page, server.url + "bench/")
        for _ in range(rounds):
            for name in ("site", "bench"):
                times[name].append(load_time(page, server.url + name + "/"))
    finally:
        page.close()
        server.stop()

    program = statistics.median(times["site"])
    bare = statistics.median(times["bench"])
    print(f"start-up, navigation to the window drawn and active ({rounds} loads each, medians):")
    print(f"  Ahnemetri   {program:7.0f} ms   (min {min(times['site']):.0f}, "
          f"max {max(times['site']):.0f})")
    print(f"  bare window {bare:7.0f} ms   (min {min(times['bench']):.0f}, "
          f"max {max(times['bench']):.0f})")
    print(f"  ratio       {program / bare:7.2f}     (target 1.2)")
    for name, wasm in (("Ahnemetri", "site/ahnemetri.wasm"), ("bare window", "bench/bare.wasm")):
        data = open(os.path.join(build, wasm), "rb").read()
        print(f"  {name:11s} .wasm {len(data):9d} bytes, {len(gzip.compress(data, 9)):8d} gzip")
    return 0


if __name__ == "__main__":
    sys.exit(main())

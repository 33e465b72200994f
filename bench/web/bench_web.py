"""Start-up of Ahnemetri's page beside a bare Qt Widgets window built for the browser the same way.

    python3 bench/web/bench_web.py BUILD_WEB [ROUNDS] [SLOW_ROUNDS]

BUILD_WEB holds site/ (the program's site) and bench/ (the bare window's, AHNEMETRI_WEB_BENCH=1
of scripts/web.sh). Both are served by one static server on 127.0.0.1 and opened in turn in one
headless Chromium with its HTTP cache and service workers left out, so that every load fetches,
compiles and starts the program afresh. The time is from the navigation to the first frame in
which the start window (the bare window) is drawn and active, ready for the keyboard, read in
the page with requestAnimationFrame. Two cases, side by side in the same run:

- loopback: the files as they are, over this machine's loopback (ROUNDS loads each, default 15);
- a slow phone connection: Chromium's network emulation at 1.6 Mbit/s down, 0.75 Mbit/s up and
  150 ms round trip, with the host sending the files compressed with gzip (the site's .gz
  copies) (SLOW_ROUNDS loads each, default 3).

Prints the medians, their ratios (target: at most 1.1 in each case), what the first visit
downloads in the slow case, the weight of both .wasm files and of everything the site's first
visit fetches (target: at most 3.4 MB with gzip). Exits with 1 when a target is missed.
"""

import gzip
import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "web"))
from webpage import Page, Server, wait_for  # noqa: E402

TARGET = 1.1
WEIGHT_TARGET = 3_400_000  # bytes, gzip -9, of everything the first visit fetches
SLOW_NETWORK = {"offline": False, "latency": 150, "downloadThroughput": 1_600_000 / 8,
                "uploadThroughput": 750_000 / 8}

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

# What the page has downloaded: the bytes that came over the network, as Chromium counts them.
DOWNLOADED = "return performance.getEntriesByType('resource').concat(" \
             "performance.getEntriesByType('navigation')).reduce((n, e) => n + e.transferSize, 0);"


def site_weight(site):
    """What a first visit fetches as gzip -9 compresses it: every file of the site but the
    licences and the compressed copies."""
    total = 0
    for folder, subfolders, names in os.walk(site):
        subfolders[:] = [name for name in subfolders if name != "licenses"]
        for name in names:
            if not name.endswith((".gz", ".br")):
                with open(os.path.join(folder, name), "rb") as file:
                    total += len(gzip.compress(file.read(), 9))
    return total


def load(page, url, timeout):
    page.driver.get("about:blank")
    page.driver.get(url)
    started = wait_for(lambda: page.js("return window.startedAt || null;"), f"{url} drawn", timeout)
    return started, page.js(DOWNLOADED)


def measure(server, rounds, network=None, timeout=30):
    """The start-up times of both pages, taking turns, after one warm-up load each."""
    page = Page("about:blank", before_load=READY_PROBE)
    try:
        page.cdp("Network.enable")
        page.cdp("Network.setCacheDisabled", {"cacheDisabled": True})
        page.cdp("Network.setBypassServiceWorker", {"bypass": True})
        if network:
            page.cdp("Network.emulateNetworkConditions", network)
        times = {"site": [], "bench": []}
        downloaded = {}
        for name in times:
            load(page, server.url + name + "/", timeout)  # warm-up: the browser's own start
        for _ in range(rounds):
            for name in times:
                started, downloaded[name] = load(page, server.url + name + "/", timeout)
                times[name].append(started)
        return times, downloaded
    finally:
        page.close()


def report(title, times):
    program = statistics.median(times["site"])
    bare = statistics.median(times["bench"])
    rounds = len(times["site"])
    print(f"{title} ({rounds} loads each, medians):")
    for label, name in (("Ahnemetri", "site"), ("bare window", "bench")):
        print(f"  {label:11s} {statistics.median(times[name]):7.0f} ms   "
              f"(min {min(times[name]):.0f}, max {max(times[name]):.0f})")
    ratio = program / bare
    print(f"  ratio       {ratio:7.2f}     (target {TARGET})")
    return ratio, program


def main():
    build = sys.argv[1]
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    slow_rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    server = Server(build, precompressed=("gzip",))
    plain = Server(build)
    try:
        loopback, _ = measure(plain, rounds)
        slow, downloaded = measure(server, slow_rounds, SLOW_NETWORK, timeout=120)
    finally:
        server.stop()
        plain.stop()

    print("start-up, navigation to the window drawn and active")
    fast_ratio, _ = report("on loopback", loopback)
    slow_ratio, wait = report("on a slow phone connection (1.6 Mbit/s, 150 ms, gzip)", slow)
    print(f"  first visit: {wait / 1000:.1f} s to the start window, "
          f"{downloaded['site']} bytes downloaded (bare window: {downloaded['bench']})")
    for name, wasm in (("Ahnemetri", "site/ahnemetri.wasm"), ("bare window", "bench/bare.wasm")):
        data = open(os.path.join(build, wasm), "rb").read()
        print(f"  {name:11s} .wasm {len(data):9d} bytes, {len(gzip.compress(data, 9)):8d} gzip")
    weight = site_weight(os.path.join(build, "site"))
    print(f"  everything the first visit fetches: {weight} bytes gzip (target at most "
          f"{WEIGHT_TARGET})")
    return 0 if fast_ratio <= TARGET and slow_ratio <= TARGET and weight <= WEIGHT_TARGET else 1


if __name__ == "__main__":
    sys.exit(main())

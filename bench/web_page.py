"""Figures of the page: sizes, start-up and a scene's frame time under SwiftShader, beside the
native build's frame time on llvmpipe in the same run. Not a test: it asserts nothing.

web_page.py SITE_DIR DEMO_CAPTURE DATA_DIR"""
import gzip
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
from cdp import Browser, Server  # noqa: E402

SCENES = {"scene 2 (Background)": 45.0, "scene 5 (gras12.2)": 71.0, "scene 8 (ball8)": 120.0}
RUNS = 5


def sizes(site):
    for name in ("demo.wasm", "demo.js", "demo_page.js", "index.html"):
        raw = open(os.path.join(site, name), "rb").read()
        print("%-13s %8d bytes raw, %8d gzip -9" % (name, len(raw), len(gzip.compress(raw, 9))))


def start_up(site):
    loads, firsts = [], []
    for _ in range(RUNS):
        server, browser = Server(site), Browser()
        try:
            t0 = time.monotonic()
            browser.open(server.url)
            browser.wait("!$('play').disabled", "the start button")
            loads.append(time.monotonic() - t0)
            browser.js("Module.webPage.clickAt = performance.now(); $('play').click()", True)
            firsts.append(browser.wait("Module.webPage.passes >= 2 && Module.webPage.firstFrame - "
                                       "Module.webPage.clickAt", "the first frame") / 1000)
        finally:
            browser.close()
            server.close()
    print("page open to Play enabled (8 MB from 127.0.0.1, wasm compiled): median %.2f s of %s"
          % (statistics.median(loads), ["%.2f" % x for x in loads]))
    print("click to the first frame drawn: median %.2f s of %s"
          % (statistics.median(firsts), ["%.2f" % x for x in firsts]))


FRAME = """(() => {
  const gl = Module.ctx, px = new Uint8Array(4), ms = [];
  for (let i = 0; i <= %d; i++) {
    const a = performance.now();
    Module._web_frame_at(%g);
    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);
    if (i) ms.push(performance.now() - a);
  }
  return ms.sort((x, y) => x - y)[ms.length >> 1];
})()"""


def frame_times(site, capture, data):
    server, browser = Server(site), Browser()
    try:
        browser.open(server.url + "?at=0")
        browser.wait("window.webFrame", "the page")
        for name, t in SCENES.items():
            ms = browser.js(FRAME % (RUNS, t))
            print("%-22s SwiftShader (page, 1024x512, clock replay included): %.1f ms" % (name, ms))
    finally:
        browser.close()
        server.close()
    out = subprocess.run([capture, "--data", data, "--bench"], capture_output=True, text=True).stdout
    print("llvmpipe (demo-capture --bench, same run):")
    print(out)


if __name__ == "__main__":
    sizes(sys.argv[1])
    start_up(sys.argv[1])
    frame_times(*sys.argv[1:4])

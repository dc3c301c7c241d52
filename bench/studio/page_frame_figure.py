"""The page's studio frame figure (the overlay's "frame ... ms med ... ms p99", the scene's last
second) for each scene at each preview scale, in headless Chromium on SwiftShader as the page's
tests run it: the studio opened, a scene's start looped with L, S pressed to the scale, SECONDS of
playing, the figure read off the overlay. The scales take turns, their order turned every scene.

  bench/studio/page_frame_figure.py [--seconds N] [--scenes "1 2 3"] [--scales "1 2 4"]
  (the page built first: cmake --build --preset web)"""
import argparse
import os
import re
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(root, "tests", "web"))
from cdp import Browser, Server  # noqa: E402

FIGURE = re.compile(r"frame +([0-9.]+) ms med +([0-9.]+) ms p99")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--seconds", type=float, default=6)
    parser.add_argument("--scenes", default="1 2 3 4 5 6 7 8")
    parser.add_argument("--scales", default="1 2 4")
    args = parser.parse_args()
    scales = [int(s) for s in args.scales.split()]
    server, browser = Server(os.path.join(root, "build-web", "site")), Browser()
    rows = []
    try:
        browser.open(server.url + "?studio")
        browser.wait("!$('studio').disabled", "the studio's button")
        browser.js("$('studio').click()", gesture=True)
        browser.wait("studio.view", "the studio")
        browser.js("$('canvas').focus()")
        divisor = 1
        for turn, scene in enumerate(args.scenes.split()):
            browser.key(scene, "Digit" + scene, 48 + int(scene))
            browser.key("l", "KeyL", 76)  # loop the scene, so the figure is its own
            figures = {}
            for scale in scales[turn % len(scales):] + scales[:turn % len(scales)]:
                while divisor != scale:
                    browser.key("s", "KeyS", 83)
                    divisor = {1: 2, 2: 4, 4: 1}[divisor]
                browser.wait("studio.view.divisor === %d" % scale, "the scale")
                time.sleep(args.seconds)  # a benchmark measures for a while
                figures[scale] = FIGURE.search(browser.js("studio.view.text")).groups()
            browser.key("l", "KeyL", 76)
            rows.append((scene, figures))
            print("scene %s: %s" % (scene, "  ".join("1/%d %s / %s ms" % (s, *figures[s])
                                                      for s in scales)), flush=True)
    finally:
        browser.close()
        server.close()
    print("\n| scene | " + " | ".join("1/%d median / p99 ms" % s for s in scales) + " |")
    print("|---:|" + "---:|" * len(scales))
    for scene, figures in rows:
        print("| %s | %s |" % (scene, " | ".join("%s / %s" % figures[s] for s in scales)))


if __name__ == "__main__":
    main()

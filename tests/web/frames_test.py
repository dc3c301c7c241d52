"""The page's frames at fixed loop times against demo-capture --at of the same times, and a page
that loads without a console error, WebGL complaint or exception, with all ten programs linked.

frames_test.py SITE_DIR DEMO_CAPTURE DATA_DIR [SHOTS_DIR]"""
import base64
import os
import re
import subprocess
import sys
import tempfile

from cdp import Browser, Server

# One moment inside each scene the demo shows (scene 1 with a credits card up).
TIMES = [7.0, 45.0, 56.0, 64.0, 71.0, 82.0, 95.0, 120.0]
# Rasterisers differ in the last bits of the noise's mipmaps and of sin() in the post pass's grain:
# the page against llvmpipe measures 35 to 41 dB here. Textures with red and blue swapped measure
# 20 to 28 dB, nine controllers turned to 0.6 measure 18 to 21 dB where the scene reads them.
MIN_PSNR = 32.0


def psnr(a, b):
    out = subprocess.run(["ffmpeg", "-hide_banner", "-i", a, "-i", b, "-lavfi", "psnr", "-f",
                          "null", "-"], capture_output=True, text=True).stderr
    match = re.search(r"average:([0-9.]+|inf)", out)
    if not match:
        raise AssertionError("ffmpeg compared nothing:\n" + out[-2000:])
    return float(match.group(1))


def main(site, capture, data, shots=None):
    work = tempfile.mkdtemp(prefix="avada-kedabra-web.")
    # The native frames are rendered while the browser starts and draws its own.
    natives = {t: os.path.join(work, "native_%g.png" % t) for t in TIMES}
    native_run = subprocess.Popen(
        ["sh", "-c", " && ".join(
            "'%s' --data '%s' --out '%s' --at %g --size 1024x512" % (capture, data, natives[t], t)
            for t in TIMES)], stdout=subprocess.DEVNULL)
    server, browser = Server(site), Browser()
    failures = []
    try:
        browser.open(server.url + "?at=%g" % TIMES[0])
        browser.wait("window.webFrame || !document.getElementById('failure').hidden", "a frame")
        linked = browser.js("Module._web_programs_linked()")
        if linked != 10:
            failures.append("%d of the 10 programs linked" % linked)
        for t in TIMES:
            frame = browser.js("Module._web_frame_at(%g) && $('canvas').toDataURL('image/png')" % t)
            page = os.path.join(work, "page_%g.png" % t)
            with open(page, "wb") as f:
                f.write(base64.b64decode(frame.split(",", 1)[1]))
        if native_run.wait() != 0:
            raise AssertionError("demo-capture --at failed")
        for t in TIMES:
            page = os.path.join(work, "page_%g.png" % t)
            db = psnr(page, natives[t])
            print("%6.1f s: %.2f dB" % (t, db))
            if db < MIN_PSNR:
                failures.append("at %g s the page's frame is %.2f dB from the native one" % (t, db))
            if shots:
                os.makedirs(shots, exist_ok=True)
                subprocess.run(["cp", page, os.path.join(shots, "scene_at_%g.png" % t)])
        failures += ["console: " + e for e in browser.errors()]
    finally:
        browser.close()
        server.close()
        subprocess.run(["rm", "-rf", work])
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))

"""The studio on the page as a maker uses it: it opens, seeks and pauses on the picture's keys alone,
and its frame is demo-capture --at's; a slider moves a controller, the frame follows and the line
holds it; an edit in the editor changes the frame; a broken edit marks its line while the last good
program draws, through good, broken, broken again, mended; the work survives a reload; two tabs
never overwrite each other unseen; Copy link, opened in a fresh profile, shows the same frame, and
demo-capture --link renders it; a link near the length limit survives the round trip whole.

studio_test.py SITE_DIR DEMO_CAPTURE DATA_DIR"""
import base64
import json
import os
import random
import string
import subprocess
import sys
import tempfile

import numpy

from cdp import Browser, Server
from frames_test import psnr

MIN_PSNR = 34.0  # as the page's frames against the capture tool's (frames_test.py)
SIZE = "1024x576"  # the studio's window, natively and on the page
TINT = ("    gl_FragColor = vec4(col, 1.0);\n}",
        "    gl_FragColor = vec4(col + vec3(0.4, 0.0, 0.0), 1.0);\n}")
# The picture once the next frame is drawn (read in the same frame, before it is composited away).
NEXT_FRAME = ("new Promise((done) => requestAnimationFrame(() => "
              "done($('canvas').toDataURL('image/png'))))")
VIEW = "studio.view && studio.view"


def open_studio(browser, url, button="studio"):
    browser.open(url)
    browser.wait("!$('%s').disabled" % button, "the studio's button")
    browser.js("$('%s').click()" % button, gesture=True)
    browser.wait(VIEW, "the studio's first frame")
    browser.js("$('canvas').focus()")


def frame(browser, path):
    data = browser.js(NEXT_FRAME)
    with open(path, "wb") as f:
        f.write(base64.b64decode(data.split(",", 1)[1]))
    return path


def pixels(path):
    out = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt",
                          "rgb24", "-"], capture_output=True, check=True).stdout
    return numpy.frombuffer(out, numpy.uint8).reshape(576, 1024, 3).astype(float)


def capture(tool, data, at_ms, out, *more):
    # From the output's folder, where a link's folder (links/ID/) is made.
    subprocess.run([tool, "--data", data, "--size", SIZE, "--out", out, "--at", "%.3f" % (at_ms / 1000)]
                   + list(more), check=True, stdout=subprocess.DEVNULL, cwd=os.path.dirname(out))
    return out


def rebuilds(browser):
    browser.js("0")  # takes in the console's messages so far
    return sum("studio: rebuilt" in text for _, text in browser.console)


def edit(browser, name, old, new):
    """Replaces text in a file through the editor, as typing or pasting would, and waits for the
    rebuild it brings (the studio says each on its console); returns the view's failure."""
    before = rebuilds(browser)
    browser.js("""(() => { const e = studio.editor; $('file').value = %s; e.show(%s);
        const text = e.view.state.doc.toString(), at = text.lastIndexOf(%s);
        if (at < 0) throw new Error('not in the file');
        e.view.dispatch({ changes: { from: at, to: at + %d, insert: %s } }); })()""" % (
        json.dumps(name), json.dumps(name), json.dumps(old), len(old), json.dumps(new)))
    browser.until(lambda: rebuilds(browser) > before, "the rebuild")
    browser.js(NEXT_FRAME)
    return browser.js(VIEW + ".failure")


def maker(site, tool, data):
    tool, data = os.path.abspath(tool), os.path.abspath(data)
    work = tempfile.mkdtemp(prefix="avada-kedabra-studio.")
    at = lambda name: os.path.join(work, name)
    server, browser = Server(site), Browser(["--window-size=1600,900"])
    try:
        browser.grant_clipboard(server.url)
        browser.call("Emulation.setFocusEmulationEnabled", enabled=True)
        open_studio(browser, server.url + "?studio")
        # Scene 8's start, 2 s on, paused: keys on the picture.
        browser.key("8", "Digit8", 56)
        browser.key("ArrowRight", "ArrowRight", 39)
        browser.key(" ", "Space", 32)
        view = browser.wait(VIEW + ".paused && studio.view.scene === 8 && studio.view", "the pause")
        t = view["loop_ms"]
        assert t == round(round(101183 * 60 / 1000 + 120) * 1000 / 60), t
        # Typing in the editor moves nothing and keeps the browser's keys.
        browser.js("studio.editor.focus()")
        browser.key("ArrowRight", "ArrowRight", 39)
        browser.key(" ", "Space", 32)
        assert browser.js(VIEW + ".loop_ms") == t and browser.js(VIEW + ".paused")
        browser.js("studio.editor.view.dispatch({ changes: { from: 0, to: 1 } }); studio.revert($('file').value)")
        browser.js("$('canvas').focus()")
        plain = frame(browser, at("plain.png"))
        db = psnr(plain, capture(tool, data, t, at("plain_native.png")))
        print("the paused studio against demo-capture --at %d ms: %.2f dB" % (t, db))
        assert db >= MIN_PSNR, db

        # A slider: the controller in data-byte steps, the frame where the scene reads it, the line.
        knob = browser.wait("studio.view.reads.length && studio.view.reads[0].controller", "a knob")
        browser.js("""(() => { const s = document.querySelector('#knobs tbody tr input');
            s.value = 127; s.dispatchEvent(new Event('input')); })()""")
        browser.wait(VIEW + ".reads[0].value === 1 && studio.view.reads[0].touched", "the knob's value")
        turned = frame(browser, at("turned.png"))
        assert psnr(turned, plain) < 30, "the frame did not follow the slider"
        assert "%d:1.00(127)" % knob in browser.js("studio.tunedLine()")

        # The orb tinted red: its frame changes; broken, broken again, mended: the line marked, the
        # last good program drawing, the clock where it was.
        assert edit(browser, "ball8.shader", *TINT) == ""
        tinted = frame(browser, at("tinted.png"))
        red = pixels(tinted)[..., 0].mean() - pixels(turned)[..., 0].mean()
        assert red >= 20, "the tint raised red by %.1f" % red
        for broken in ("\nthis is no GLSL\n", "\nnor is this\n"):
            failure = edit(browser, "ball8.shader", "    gl_FragColor = vec4(col + vec3",
                           broken + "    gl_FragColor = vec4(col + vec3")
            text = browser.js("studio.editor.text('ball8.shader')")
            line = text.split("\n").index(broken.strip()) + 1
            assert "ball8.shader:%d:" % line in failure, (line, failure)
            assert browser.js("studio.editor.marks('ball8.shader')") == [[line, failure.split(": ", 1)[1]]]
            assert psnr(frame(browser, at("broken.png")), tinted) == float("inf")
            mended = edit(browser, "ball8.shader", broken, "")
        assert mended == "", mended
        assert browser.js("studio.editor.marks('ball8.shader')") == [], "a stale mark"
        # y rebuilds from the editor's texts, an edit still in its pause too: nothing is fetched.
        asked = len(server.requests)
        browser.js("studio.editor.show('simpleTex.shader'); studio.editor.view.dispatch("
                   "{ changes: { from: studio.editor.view.state.doc.length, insert: '//' } })")
        browser.key("y", "KeyY", 89)
        assert browser.js("Object.keys(studio.pending).length === 0 && Module.FS.readFile("
                          "'/data/simpleTex.shader', { encoding: 'utf8' }).endsWith('//')")
        browser.js("studio.revert('simpleTex.shader'); studio.flush()")
        assert len(server.requests) == asked, server.requests[asked:]
        assert browser.js(VIEW + ".loop_ms") == t and browser.js(VIEW + ".paused")
        assert psnr(frame(browser, at("mended.png")), tinted) == float("inf")

        # A reload (or a closed tab) goes on where the maker was.
        browser.wait("localStorage.length >= 3 && studio.tuning.includes('%d:1.00')" % knob, "the keeping")
        open_studio(browser, server.url + "?studio")
        browser.wait(VIEW + ".loop_ms === %d && studio.view.paused" % t, "the same moment, paused")
        assert browser.js("studio.editor.text('ball8.shader')").endswith(TINT[1] + "\n")
        assert "%d:1.00(127)" % knob in browser.js("studio.tunedLine()")
        reloaded = frame(browser, at("reloaded.png"))
        assert psnr(reloaded, tinted) >= MIN_PSNR

        # Another tab writes the tuning (its storage event, as the browser sends it to this tab):
        # this one says so and writes nothing over it until the maker chooses.
        browser.js("localStorage.setItem(store.prefix + 'tuning', JSON.stringify({ rev: 99, value: '2:0.00(0) ' }));"
                   "window.dispatchEvent(new StorageEvent('storage', { key: store.prefix + 'tuning' }))")
        assert "Another tab" in browser.wait("!$('notice').hidden && $('notice').innerText", "the notice")
        assert not browser.js("store.write('tuning', 'x')")
        assert browser.js("store.read('tuning').value") == "2:0.00(0) "
        browser.js("$('notice').querySelectorAll('button')[1].click()")  # keep mine
        assert browser.js("store.read('tuning').rev") == 100

        # The moment as a link: on the clipboard; demo-capture --link renders it.
        browser.js("$('copy-link').click()")
        link = browser.wait("$('link-note').textContent.includes('clipboard') && $('link-out').value",
                            "the link")
        assert browser.js("navigator.clipboard.readText()") == link
        with open(at("link.txt"), "w") as f:
            f.write(link)
        linked = capture(tool, data, t, at("linked_native.png"), "--link-file", at("link.txt"))
        db = psnr(reloaded, linked)
        print("the studio's frame against demo-capture --link: %.2f dB" % db)
        assert db >= MIN_PSNR, db
        red = pixels(linked)[..., 0].mean() - pixels(at("plain_native.png"))[..., 0].mean()
        assert red >= 20, "demo-capture --link: the tint raised red by %.1f" % red
        assert not browser.errors(), browser.errors()
        browser.close()

        # Opened in a fresh profile: the start screen says what it changes; the same frame.
        browser = Browser(["--window-size=1600,900"])
        browser.open(link)
        about = browser.wait("!$('link-about').hidden && $('link-about').innerText", "the link's account")
        assert "changes 1 shader file and 1 controller (ball8.shader)" in about and "paused" in about, about
        browser.js("$('studio').click()", gesture=True)
        browser.wait(VIEW + ".loop_ms === %d && studio.view.paused" % t, "the link's moment")
        db = psnr(frame(browser, at("opened.png")), linked)
        print("the link opened in a fresh profile against demo-capture --link: %.2f dB" % db)
        assert db >= MIN_PSNR, db
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()
        subprocess.run(["rm", "-rf", work])


def longest_link(site):
    """Nine files of noise, each nearly as long as the demo reads: a link of about 1.8 million
    characters (the limit is 2,097,152), made by the page and opened by another, every byte whole."""
    random.seed(7)
    texts = {}
    server, browser = Server(site), Browser()
    try:
        open_studio(browser, server.url + "?studio")
        for name in browser.js("served.names.slice(0, 9)"):
            noise = "".join(random.choice(string.ascii_letters + string.digits + "+/")
                            for _ in range(199990))
            texts[name] = "// " + noise + "\n"
            browser.js("studio.editor.load(%s, %s); studio.typed(%s, %s)" % (
                json.dumps(name), json.dumps(texts[name]), json.dumps(name), json.dumps(texts[name])))
        browser.js("$('copy-link').click()")
        link = browser.wait("$('link-note').textContent && $('link-out').value", "the link")
        print("the longest link: %d characters" % len(link))
        assert 1800000 < len(link) <= 2097152, len(link)
        browser.close()
        browser = Browser()
        browser.open(link)
        browser.wait("!$('link-about').hidden", "the link's account")
        browser.js("$('studio').click()", gesture=True)
        browser.wait(VIEW, "the studio")
        for name, text in texts.items():
            assert browser.js("studio.editor.text(%s)" % json.dumps(name)) == text, name
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    maker(*sys.argv[1:4])
    print("maker passed")
    longest_link(sys.argv[1])
    print("longest_link passed")

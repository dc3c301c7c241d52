"""The page played as a user would: the start click, the music and the frames going on, a MIDI
controller turned through a stub of Web MIDI, the screen kept awake, Esc ending it with the tuned
line on the clipboard and on the page; the same on a plain-HTTP host, where the page has no
clipboard; a box at the start holding the start; a lost context ending the demo with its line; the
screen's CSS pixels and the drawing buffer's size.

play_test.py SITE_DIR"""
import os
import shutil
import sys
import tempfile
import urllib.parse

from cdp import Browser, Server

# One input port that the test plays through.
MIDI_STUB = """
navigator.requestMIDIAccess = () => {
  window.stubInput = { state: 'connected', onmidimessage: null };
  window.stubAccess = { inputs: new Map([['stub', window.stubInput]]), onstatechange: null };
  return Promise.resolve(window.stubAccess);
};
"""
# A second port plugged in while the demo runs.
PLUG_IN = """
window.laterInput = { state: 'connected', onmidimessage: null };
stubAccess.inputs.set('later', laterInput);
stubAccess.onstatechange({ port: laterInput });
"""
# A screen wake lock that logs what the page asks of it, or refuses.
WAKE_STUB = """
window.wakeLog = [];
Object.defineProperty(navigator, 'wakeLock', { configurable: true, value: { request: (type) => {
  wakeLog.push('request ' + type);
  if (window.wakeRefused) return Promise.reject(new DOMException('not allowed', 'NotAllowedError'));
  const lock = new EventTarget();
  lock.release = () => { wakeLog.push('release'); return Promise.resolve(); };
  window.wakeHeld = lock;
  return Promise.resolve(lock);
} } });
"""
SHOWN = "!document.getElementById('%s').hidden && document.getElementById('%s').innerText"
TUNED = "?tuning=" + urllib.parse.quote("2:0.50(64) ")


def start(browser, url, before_load=None):
    browser.open(url, before_load)
    browser.wait("!$('play').disabled", "the start button")
    browser.js("$('play').click()", gesture=True)


def played_and_tuned(site):
    """A run with a preloaded tuning and a controller turned, ended with Esc."""
    server, browser = Server(site), Browser()
    try:
        browser.grant_clipboard(server.url)
        start(browser, server.url + TUNED, MIDI_STUB + WAKE_STUB)
        browser.wait("!!(window.stubInput && window.stubInput.onmidimessage)", "the MIDI port opened")
        browser.js("stubInput.onmidimessage({ data: new Uint8Array([0xB0, 7, 127]) })")
        browser.js(PLUG_IN)
        browser.js("laterInput.onmidimessage({ data: new Uint8Array([0x90, 60, 0]) })")
        passes = browser.wait("Module.webPage.passes > 5 && Module.webPage.passes", "frames")
        browser.wait("Module.webPage.audio && Module.webPage.audio.currentTime > 0.5",
                     "the music's position moving on")
        assert browser.js("Module._web_programs_linked()") == 10, "not every program linked"
        # The browser lets the lock go when the page is hidden; shown again, the page takes it again.
        browser.wait("window.wakeHeld", "the wake lock")
        browser.js("wakeHeld.dispatchEvent(new Event('release')); "
                   "document.dispatchEvent(new Event('visibilitychange'))")
        browser.wait("wakeLog.length === 2", "the wake lock taken again")
        browser.key("Escape", "Escape", 27)
        shown = browser.wait(SHOWN % ("end", "end"), "the end screen")
        line = "2:0.50(64) 7:1.00(127) 60:0.00(0) "
        assert line.strip() in shown, "the end screen shows " + shown
        assert "Play again" in shown
        browser.wait("Module.webPage.clipboard === 'copied'", "the copy")
        assert browser.js("navigator.clipboard.readText()") == line
        assert browser.js("Module.webPage.passes") > passes
        assert browser.js("Module.webPage.audio === null"), "the music did not stop"
        assert browser.js("wakeLog") == ["request screen"] * 2 + ["release"], browser.js("wakeLog")
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()


def plain_http_host(site):
    """Served as http://demo.test/ the page is no secure context and has no clipboard: the line
    stays on the page and the button copies the selected line the old way."""
    server = Server(site)
    browser = Browser(["--host-resolver-rules=MAP demo.test 127.0.0.1"])
    try:
        url = server.url.replace("127.0.0.1", "demo.test")
        start(browser, url + TUNED)
        assert browser.js("window.isSecureContext") is False and browser.js("!navigator.clipboard")
        browser.wait("Module.webPage.passes > 3", "frames")
        browser.key("Escape", "Escape", 27)
        shown = browser.wait(SHOWN % ("end", "end"), "the end screen")
        assert "2:0.50(64)" in shown and "did not let the page copy" in shown, shown
        browser.call("Emulation.setFocusEmulationEnabled", enabled=True)
        browser.js("window.copied = []; const copy = document.execCommand.bind(document); "
                   "document.execCommand = (c) => { const r = copy(c); copied.push(c, r); return r; }; "
                   "$('copy').click()", gesture=True)
        assert browser.js("copied") == ["copy", True], browser.js("copied")
        assert browser.js("getSelection().toString()") == "2:0.50(64) "
        assert browser.js("Module.webPage.clipboard") == "copied"
        assert "on the clipboard" in browser.js(SHOWN % ("end", "end"))
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()


def held_by_a_box(site):
    """A shader that does not compile at the start: its box holds the music and the clock until it
    is closed, as the native box does; a refused wake lock says nothing."""
    folder = tempfile.mkdtemp(prefix="avada-kedabra-site.")
    shutil.copytree(site, folder, dirs_exist_ok=True)
    with open(os.path.join(folder, "data", "ball8.shader"), "a") as f:
        f.write("\nthis is no GLSL\n")
    server, browser = Server(folder), Browser()
    try:
        start(browser, server.url, WAKE_STUB + "window.wakeRefused = true;")
        said = browser.wait(SHOWN % ("box", "box"), "the compile error")
        assert "ball8.shader" in said, said
        passes = browser.wait("Module.webPage.passes > 5 && Module.webPage.passes", "frames")
        held = browser.js("Module.webPage.last")
        browser.wait("Module.webPage.passes > %d" % (passes + 10), "frames behind the box")
        assert browser.js("Module.webPage.last") == held, "the clock ran behind the box"
        assert browser.js("Module.webPage.audio.paused && Module.webPage.audio.currentTime === 0"), \
            "the music played behind the box"
        browser.js("$('box-close').click()", gesture=True)
        browser.wait("Module.webPage.audio.currentTime > 0.3", "the music after the box")
        browser.wait("Module.webPage.last > %f" % (held + 300), "the clock after the box")
        assert browser.js("wakeLog") == ["request screen"]
        assert browser.js("$('failure').hidden")
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()
        shutil.rmtree(folder)


def context_lost(site):
    """A lost WebGL context ends the demo as Esc would: the tuned line on the end screen."""
    server, browser = Server(site), Browser()
    try:
        browser.grant_clipboard(server.url)
        start(browser, server.url + TUNED)
        browser.wait("Module.webPage.passes > 5", "frames")
        browser.js("Module.ctx.getExtension('WEBGL_lose_context').loseContext()")
        shown = browser.wait(SHOWN % ("end", "end"), "the end screen")
        assert "graphics context away" in shown and "2:0.50(64)" in shown, shown
        assert browser.js("$('failure').hidden && Module.webPage.audio === null"), "not ended"
    finally:
        browser.close()
        server.close()


def screen_pixels(site):
    """A screen of 9000 x 1000 CSS pixels at two device pixels each: the canvas takes the CSS
    pixels, as the native demo takes the screen's logical size, and the browser's cap on the
    drawing buffer (8192 wide here) is the viewport, not the canvas's size."""
    server, browser = Server(site), Browser()
    try:
        browser.call("Emulation.setDeviceMetricsOverride", width=1024, height=576,
                     deviceScaleFactor=2, mobile=False, screenWidth=9000, screenHeight=1000)
        start(browser, server.url)
        browser.wait("Module.webPage.passes > 3", "frames")
        assert browser.js("[$('canvas').width, $('canvas').height]") == [9000, 1000]
        buffer = browser.js("[0, 0, Module.ctx.drawingBufferWidth, Module.ctx.drawingBufferHeight]")
        assert buffer[2] < 9000, "no cap to test against: %s" % buffer
        assert browser.js("Array.from(Module.ctx.getParameter(Module.ctx.VIEWPORT))") == buffer
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    for test in (played_and_tuned, plain_http_host, held_by_a_box, context_lost, screen_pixels):
        test(sys.argv[1])
        print(test.__name__, "passed")

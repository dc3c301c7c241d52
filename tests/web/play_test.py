"""The page played as a user would: the start click, the music and the frames going on, a MIDI
controller turned through a stub of Web MIDI, Esc ending it with the tuned line on the clipboard
and on the page; and what the page refuses or cannot do, each said on the page.

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
SHOWN = "!document.getElementById('%s').hidden && document.getElementById('%s').innerText"


def start(browser, url, before_load=None):
    browser.open(url, before_load)
    browser.wait("!$('play').disabled", "the start button")
    browser.js("$('play').click()", gesture=True)


def played_and_tuned(site):
    """A run with a preloaded tuning and a controller turned, ended with Esc."""
    server, browser = Server(site), Browser()
    try:
        browser.grant_clipboard(server.url)
        start(browser, server.url + "?tuning=" + urllib.parse.quote("2:0.50(64) "), MIDI_STUB)
        browser.wait("!!(window.stubInput && window.stubInput.onmidimessage)", "the MIDI port opened")
        browser.js("stubInput.onmidimessage({ data: new Uint8Array([0xB0, 7, 127]) })")
        browser.js(PLUG_IN)
        browser.js("laterInput.onmidimessage({ data: new Uint8Array([0x90, 60, 0]) })")
        passes = browser.wait("Module.webPage.passes > 5 && Module.webPage.passes", "frames")
        browser.wait("Module.webPage.audio && Module.webPage.audio.currentTime > 0.5",
                     "the music's position moving on")
        assert browser.js("Module._web_programs_linked()") == 10, "not every program linked"
        browser.key("Escape", "Escape", 27)
        shown = browser.wait(SHOWN % ("end", "end"), "the end screen")
        line = "2:0.50(64) 7:1.00(127) 60:0.00(0) "
        assert line.strip() in shown, "the end screen shows " + shown
        assert "Play again" in shown
        browser.wait("Module.webPage.clipboard === 'copied'", "the copy")
        assert browser.js("navigator.clipboard.readText()") == line
        assert browser.js("Module.webPage.passes") > passes
        assert browser.js("Module.webPage.audio === null"), "the music did not stop"
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()


def refused(site):
    """A malformed tuning, a missing data file, a broken shader rebuilt with y, a lost context."""
    folder = tempfile.mkdtemp(prefix="avada-kedabra-site.")
    shutil.copytree(site, folder, dirs_exist_ok=True)
    server, browser = Server(folder), Browser()
    try:
        start(browser, server.url + "?tuning=" + urllib.parse.quote("2:0.50(64 "))
        reason = browser.wait(SHOWN % ("failure", "failure"), "the refusal")
        assert "tuning" in reason and "2:0.50(64" in reason, reason

        shutil.copytree(os.path.join(folder, "data"), os.path.join(folder, "partial"))
        os.remove(os.path.join(folder, "partial", "gras20.shader"))
        browser.open(server.url + "?data=partial")
        said = browser.wait(SHOWN % ("failure", "failure"), "the missing file's page")
        assert "partial/gras20.shader" in said and "404" in said, said

        start(browser, server.url)
        browser.wait("Module.webPage.passes > 5", "frames")
        shader = os.path.join(folder, "data", "ball8.shader")
        with open(shader, "a") as f:
            f.write("\nthis is no GLSL\n")
        # The message names the file's own line, whatever the page put in front of it.
        line = open(shader).read().split("\n").index("this is no GLSL") + 1
        browser.key("y", "KeyY", 89)
        said = browser.wait(SHOWN % ("box", "box"), "the compile error")
        assert "ball8.shader" in said and "ERROR: 0:%d:" % line in said, said
        passes = browser.js("Module.webPage.passes")
        browser.wait("Module.webPage.passes > %d" % (passes + 10), "frames after the error")

        browser.js("Module.ctx.getExtension('WEBGL_lose_context').loseContext()")
        said = browser.wait(SHOWN % ("failure", "failure"), "the lost context's page")
        assert "lost" in said, said
    finally:
        browser.close()
        server.close()
        shutil.rmtree(folder)


def no_webgl(site):
    server, browser = Server(site), Browser(["--disable-3d-apis"])
    try:
        browser.open(server.url)
        said = browser.wait(SHOWN % ("failure", "failure"), "the page without WebGL")
        assert "WebGL" in said, said
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    for test in (played_and_tuned, refused, no_webgl):
        test(sys.argv[1])
        print(test.__name__, "passed")

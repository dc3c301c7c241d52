"""The whole demo played in the page to its natural end: the music leads to 151 s, the end screen
comes with no key pressed, shows the tuned line and copies it with its button.

whole_test.py SITE_DIR [SHOTS_DIR]"""
import base64
import os
import sys

from cdp import Browser, Server
from play_test import MIDI_STUB, SHOWN, start

SHOTS = [20, 80, 125]  # seconds of music


def main(site, shots=None):
    server, browser = Server(site), Browser()
    try:
        browser.grant_clipboard(server.url)
        start(browser, server.url, MIDI_STUB)
        browser.wait("!!(window.stubInput && window.stubInput.onmidimessage)", "the MIDI port")
        browser.js("stubInput.onmidimessage({ data: new Uint8Array([0xB0, 12, 64]) })")
        for at in SHOTS:
            browser.wait("Module.webPage.audio.currentTime > %d" % at, "%d s of music" % at, 200)
            if shots:
                os.makedirs(shots, exist_ok=True)
                png = browser.call("Page.captureScreenshot", format="png")["data"]
                with open(os.path.join(shots, "played_at_%d_s.png" % at), "wb") as f:
                    f.write(base64.b64decode(png))
        shown = browser.wait(SHOWN % ("end", "end"), "the end screen", 200)
        assert "12:0.50(64)" in shown and "Copy the line" in shown, shown
        assert browser.js("Module.webPage.last") > 151000, "ended before 151 s"
        print("frames: %d, clipboard at the end: %s" % (browser.js("Module.webPage.passes"),
                                                       browser.js("Module.webPage.clipboard")))
        # The button is pressed in a page that has the focus, as a reader's would.
        browser.call("Emulation.setFocusEmulationEnabled", enabled=True)
        browser.js("$('copy').click()", gesture=True)
        browser.wait("Module.webPage.clipboard === 'copied'", "the button's copy")
        assert browser.js("navigator.clipboard.readText()") == "12:0.50(64) "
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    main(*sys.argv[1:])
    print("passed")

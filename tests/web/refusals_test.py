"""What the page does with what it cannot play as given, each said on the page or gone on from as
the native demo does: a data file missing (the credits image, the music, a shader), a shader that
does not compile rebuilt with y, data from another origin (named, fetched only when the user says
so), an address that is no http(s) folder, a file larger than the demo reads, a malformed tuning, a
moment out of range, a driver without full floats, a browser without WebGL.

refusals_test.py SITE_DIR"""
import os
import shutil
import sys
import tempfile
import urllib.parse

from cdp import Browser, Server
from play_test import SHOWN, start

FAILURE = SHOWN % ("failure", "failure")
HALF_FLOATS = """WebGLRenderingContext.prototype.getShaderPrecisionFormat =
    () => ({ rangeMin: 15, rangeMax: 15, precision: 0 });"""


def copy_site(site):
    folder = tempfile.mkdtemp(prefix="avada-kedabra-site.")
    shutil.copytree(site, folder, dirs_exist_ok=True)
    return folder


def without(folder, name, missing):
    shutil.copytree(os.path.join(folder, "data"), os.path.join(folder, name))
    os.remove(os.path.join(folder, name, missing))


def goes_on_without(site):
    """No credits image: no word, the run goes on; no music: the picture runs on the page's clock;
    no shader file: its box names it and the demo plays on."""
    folder = copy_site(site)
    for name, missing in (("nocredits", "credits.tga"), ("nomusic", "tune.mp3"),
                          ("noshader", "gras20.shader")):
        without(folder, name, missing)
    server, browser = Server(folder), Browser()
    try:
        for name in ("nocredits", "nomusic"):
            start(browser, server.url + "?data=" + name)
            browser.wait("Module.webPage.passes > 5 && Module.webPage.last > 300", "frames on the clock")
            assert browser.js("$('box').hidden && $('failure').hidden"), name
            assert browser.js("!!Module.webPage.audio") == (name != "nomusic"), name
        start(browser, server.url + "?data=noshader")
        said = browser.wait(SHOWN % ("box", "box"), "the missing shader's box")
        assert "noshader/gras20.shader" in said and "404" in said and "plays on" in said, said
        browser.js("$('box-close').click()", gesture=True)
        browser.wait("Module.webPage.last > 300", "the demo going on")
        assert browser.js("$('failure').hidden")

        # y fetches the files anew; one that no longer compiles shows its line, the demo plays on.
        shader = os.path.join(folder, "noshader", "ball8.shader")
        with open(shader, "a") as f:
            f.write("\nthis is no GLSL\n")
        shutil.copy(os.path.join(folder, "data", "gras20.shader"), os.path.join(folder, "noshader"))
        line = open(shader).read().split("\n").index("this is no GLSL") + 1
        browser.key("y", "KeyY", 89)
        said = browser.wait(SHOWN % ("box", "box") + ".includes('ball8')", "the compile error")
        said = browser.js(SHOWN % ("box", "box"))
        assert "ERROR: 0:%d:" % line in said, said
        passes = browser.js("Module.webPage.passes")
        browser.wait("Module.webPage.passes > %d" % (passes + 10), "frames after the error")
        # The browser's own word on each missing file is all.
        assert not [e for e in browser.errors() if "404" not in e], browser.errors()
    finally:
        browser.close()
        server.close()
        shutil.rmtree(folder)


def foreign_data(site):
    """A folder on another origin is named, and fetched only once the user says so; a folder given
    by any other scheme, or a file larger than the demo reads, is refused with its reason."""
    folder = copy_site(site)
    with open(os.path.join(folder, "data", "gras20.shader"), "a") as f:
        f.write("\n" * (200000 - os.path.getsize(os.path.join(folder, "data", "gras20.shader"))))
    server, elsewhere, browser = Server(site), Server(folder, cors=True), Browser()
    try:
        for given in ("data:text/plain,void", "javascript:void(0)//"):
            browser.open(server.url + "?data=" + urllib.parse.quote(given))
            said = browser.wait(FAILURE, "the refusal of " + given)
            assert "http or https only" in said and given.split(":")[0] in said, said

        host = elsewhere.url.split("/")[2]
        browser.open(server.url + "?data=" + urllib.parse.quote(elsewhere.url + "data/"))
        shown = browser.wait(SHOWN % ("start", "start") + ".includes('data from')", "the notice")
        browser.wait("!$('load').hidden", "the load button")
        assert host in browser.js("$('start').innerText") and not elsewhere.requests
        browser.js("$('load').click()", gesture=True)
        said = browser.wait(FAILURE, "the refusal of the large file")
        assert "gras20.shader" in said and "200,000 bytes" in said and "199,999" in said, said
        assert elsewhere.requests, "nothing was fetched"

        os.truncate(os.path.join(folder, "data", "gras20.shader"), 199999)
        start_at = server.url + "?data=" + urllib.parse.quote(elsewhere.url + "data/")
        browser.open(start_at)
        browser.wait("!$('load').hidden", "the load button")
        browser.js("$('load').click()", gesture=True)
        browser.wait("!$('play').disabled", "the start button")
        browser.js("$('play').click()", gesture=True)
        browser.wait("Module.webPage.passes > 5", "frames from the other origin's data")
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()
        elsewhere.close()
        shutil.rmtree(folder)


def refused(site):
    """A malformed tuning or moment, half floats, no WebGL: each a page that says why."""
    server, browser = Server(site), Browser()
    try:
        start(browser, server.url + "?tuning=" + urllib.parse.quote("2:0.50(64 "))
        said = browser.wait(FAILURE, "the tuning's refusal")
        assert "tuning" in said and "2:0.50(64" in said, said
        for at in ("30000000", "152.5", "-1", "soon"):
            browser.open(server.url + "?at=" + at)
            said = browser.wait(FAILURE, "the refusal of ?at=" + at)
            assert "?at=%s: expected a loop time from 0 to 152 seconds" % at in said, said
        browser.open(server.url, HALF_FLOATS)
        said = browser.wait(FAILURE, "the page for half floats")
        assert "highp" in said, said
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()
    server, browser = Server(site), Browser(["--disable-3d-apis"])
    try:
        browser.open(server.url)
        said = browser.wait(FAILURE, "the page without WebGL")
        assert "WebGL" in said, said
    finally:
        browser.close()
        server.close()


if __name__ == "__main__":
    for test in (goes_on_without, foreign_data, refused):
        test(sys.argv[1])
        print(test.__name__, "passed")

"""What the page does with what it cannot play as given, each said on the page or gone on from as
the native demo does: a data file missing (the credits image, the music, a shader), a shader that
does not compile rebuilt with y, data from another origin (named, fetched only when the user says
so), an address that is no http(s) folder, a file larger than the demo reads, a malformed tuning, a
moment out of range, a driver without full floats, a browser without WebGL; a link malformed, cut
short, of another version, that does not decompress, too large inflated, with an edit of no shader
file, or made against other data (named, opened only when the user says so), and the audience form.

refusals_test.py SITE_DIR"""
import base64
import os
import shutil
import sys
import tempfile
import urllib.parse
import zlib

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


def fnv1a_64(data):
    h = 0xcbf29ce484222325
    for byte in data:
        h = ((h ^ byte) * 0x100000001b3) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def link(url, served, time_ms=64000, edits=(), version=1, play="", body=None):
    """A link as the page writes it (or with the body given), for the page to refuse or open."""
    if body is None:
        body = "avada-kedabra moment\ntime %d\npaused 0\ntuning 4:1.00(127) \n" % time_ms
        body += "".join("served %s %s\n" % item for item in served)
        body += "".join("file %s %d\n%s\n" % (name, len(text), text) for name, text in edits)
        body = (body + "end\n").encode()
    z = base64.urlsafe_b64encode(zlib.compress(body)).decode().rstrip("=")
    return url + "#v=%d%s&z=%s" % (version, play and "&play=" + play, z)


def links(site):
    """Each link the page cannot open is refused on the page with its reason, nothing applied; one
    made against other data is named and opened only on the user's word; the audience form plays."""
    names = ["verystart.shader", "showTex.shader", "cloudstuff.1.shader", "gras20.shader",
             "gras10.shader", "gras12.2.shader", "ball8.shader", "Background.shader",
             "simpleTex.shader", "credits.tga", "tune.mp3"]
    served = [(n, fnv1a_64(open(os.path.join(site, "data", n), "rb").read())) for n in names]
    server, browser = Server(site), Browser()
    try:
        assert browser.js("0") == 0 and len(served) == 11
        whole = link(server.url, served)
        z = whole.split("&z=")[1]
        cut = whole[:len(whole) - len(z)] + z[:(len(z) - 20) // 4 * 4]  # whole base64 groups
        for given, says in (
                (server.url + "#v=1&z=*", "base64url"),
                (cut, "does not decompress"),
                (link(server.url, served, version=2), "version 2"),
                (server.url + "#v=1&z=" + base64.urlsafe_b64encode(b"no zlib here").decode(),
                 "does not decompress"),
                (link(server.url, served, body=b"\0" * (9 * 199999 + 65537)), "more than a link"),
                (link(server.url, served, edits=[("nope.shader", "void main() {}")]), "nope.shader")):
            browser.open("about:blank")  # a new fragment alone loads no page
            browser.open(given)
            said = browser.wait(FAILURE, "the refusal of " + given[:100])
            assert "The link was refused" in said and says in said, (given[:100], said)

        other = [(n, "0" * 16 if n == "gras20.shader" else h) for n, h in served]
        browser.open("about:blank")
        browser.open(link(server.url, other, edits=[("ball8.shader", "this is no GLSL\n")]))
        browser.wait(SHOWN % ("start", "start") + ".includes('other data')", "the flag")
        said = browser.js("$('start').innerText")
        assert "gras20.shader differs" in said and "1 shader file and 1 controller" in said, said
        assert browser.js("$('studio').textContent").startswith("Open anyway")

        # The audience form: the demo from the moment, muted, without the studio's panels.
        browser.open("about:blank")
        browser.open(link(server.url, served, time_ms=100000, play="muted"))
        browser.wait("$('play').textContent === 'Play from 100.000 s'", "the audience's button")
        browser.js("$('play').click()", gesture=True)
        browser.wait(VIEW_PASSES, "the demo from the moment")
        assert browser.js("Module.webPage.audio.muted && getComputedStyle($('code')).display === 'none'")
        assert not browser.errors(), browser.errors()
    finally:
        browser.close()
        server.close()


VIEW_PASSES = "studio.view && studio.view.loop_ms > 100000 && Module.webPage.passes > 3"


if __name__ == "__main__":
    for test in (goes_on_without, foreign_data, refused, links):
        test(sys.argv[1])
        print(test.__name__, "passed")

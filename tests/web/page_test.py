#!/usr/bin/python3
"""The show's web page in headless Chromium:
  page_test.py loads RUN_DIR           loads without a console error and asks for a gesture
  page_test.py still RUN_DIR WORK S... ?still=S against the native capture's first frame at S
                                       (WORK/sS.png), below 1 % of pixels off by more than 8 levels
  page_test.py live RUN_DIR            a live run reports its frames, and Escape ends it
  page_test.py ends RUN_DIR            started a second before the end (?from), the show ends by
                                       itself and the page says so
  page_test.py silent RUN_DIR          tracks that do not decode are silent and the show goes on
  page_test.py no-webgl2 RUN_DIR       without WebGL 2 the page says so"""

import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from page import Browser, Server

GESTURE_LINE = "click or press a key to start"
ENDED_LINE = "The show has ended."
VOICE_TWO = 1  # the show's sounds by their order (sound/SoundDeck.h)
END_SOUND = 5

# Pixels of the page's still and of the native frame, compared in the page: the share of pixels
# whose red, green or blue differs by more than 8 levels, and the largest difference.
COMPARE = """
const done = arguments[arguments.length - 1];
const picture = new Image();
picture.onerror = () => done({error: 'the native frame does not load'});
picture.onload = () => {
  const shown = document.getElementById('canvas');
  const pixels = (source) => {
    const c = document.createElement('canvas');
    c.width = 1920; c.height = 1080;
    const g = c.getContext('2d');
    g.drawImage(source, 0, 0);
    return g.getImageData(0, 0, 1920, 1080).data;
  };
  if (shown.width !== 1920 || shown.height !== 1080) {
    done({error: 'the canvas is ' + shown.width + 'x' + shown.height});
    return;
  }
  const a = pixels(shown), b = pixels(picture);
  let off = 0, largest = 0;
  for (let k = 0; k < a.length; k += 4) {
    const d = Math.max(Math.abs(a[k] - b[k]), Math.abs(a[k + 1] - b[k + 1]), Math.abs(a[k + 2] - b[k + 2]));
    if (d > 8) ++off;
    if (d > largest) largest = d;
  }
  done({share: off / (a.length / 4), largest: largest});
};
picture.src = arguments[0];
"""


# What the page's package holds: the fonts' and the sounds' files, the first line of each shader.
PACKAGE = """
const names = (folder) => FS.readdir(folder).filter((name) => name[0] !== '.').sort();
const first = (path) => FS.readFile(path, {encoding: 'utf8'}).split('\\n')[0];
return {fonts: names('fonts'), sounds: names('sounds'),
        shaders: [first('shaders/theSingularVertexC.vs'), first('shaders/ScrollerShaderE.frag')]};
"""


def loads(run_dir):
    with Server(run_dir) as server, Browser() as browser:
        browser.driver.get(server.url + "index.html")
        browser.wait_for_line(GESTURE_LINE, 60)
        errors = browser.errors()
        assert not errors, "console errors:\n" + "\n".join(errors)
        decoded = browser.driver.execute_script("return Object.keys(Module.tolvaSound.decoded).sort()")
        assert decoded == ["sounds/endOfTolva.wav", "sounds/klez.wav"], "tracks decoded: %r" % decoded
        package = browser.driver.execute_script(PACKAGE)
        assert not [f for f in package["fonts"] if f.endswith(".ttf")], "fonts packaged: %r" % package["fonts"]
        assert [f for f in package["fonts"] if f.endswith(".glyphs")], "no glyph export packaged"
        assert package["sounds"] == ["endOfTolva.opus", "klez.opus"], "sounds packaged: %r" % package["sounds"]
        assert package["shaders"] == ["#version 300 es"] * 2, "the shader pair packaged: %r" % package["shaders"]
        print("the page loads, decodes both tracks and asks for a gesture, no console error")


def still(run_dir, work, seconds):
    failures = []
    with Server(run_dir, extra=work) as server, Browser() as browser:
        for s in seconds:
            browser.driver.get(server.url + "index.html?still=" + s)
            browser.wait_for_console("tolva: still %s drawn" % s, 150)
            result = browser.driver.execute_async_script(COMPARE, server.url + "extra/s%s.png" % s)
            if "error" in result:
                failures.append("still %s: %s" % (s, result["error"]))
                continue
            print("still %s: %.4f %% of pixels differ by more than 8 levels (largest difference %d)"
                  % (s, 100 * result["share"], result["largest"]))
            if result["share"] >= 0.01:
                failures.append("still %s differs from the native frame in %.2f %% of its pixels"
                                % (s, 100 * result["share"]))
        errors = browser.errors()
        if errors:
            failures.append("console errors:\n" + "\n".join(errors))
    assert not failures, "\n".join(failures)


def live(run_dir):
    with Server(run_dir) as server, Browser() as browser:
        browser.driver.get(server.url + "index.html")
        browser.wait_for_line(GESTURE_LINE, 60)
        ActionChains(browser.driver).move_by_offset(200, 200).click().perform()
        time.sleep(4)
        cursor = browser.driver.execute_script(
            "return getComputedStyle(document.getElementById('canvas')).cursor")
        assert cursor == "none", "the cursor shows over the running show (%r)" % cursor
        played = browser.driver.execute_script(
            "return [Module.tolvaSound.context.state, Module.tolvaSound.played]")
        assert played[0] == "running", "the sound is %s" % played[0]
        assert {"id": VOICE_TWO, "offset": 0} in played[1], "the first voice did not start: %r" % played[1]
        ActionChains(browser.driver).send_keys(Keys.ESCAPE).perform()
        frames = browser.wait_for_console("frames in", 30)
        count = int(frames.split("tolva: ")[1].split()[0])
        assert count > 0, frames
        print(frames.split("tolva: ")[1].rstrip('"'))
        browser.wait_for_line(ENDED_LINE, 10)
        steps = [e["message"] for e in browser.seen if "a step" in e["message"]]
        assert steps, "no scene's step time was reported"
        errors = browser.errors()
        assert not errors, "console errors:\n" + "\n".join(errors)


def ends(run_dir):
    with Server(run_dir) as server, Browser() as browser:
        browser.driver.get(server.url + "index.html?from=344")
        browser.wait_for_line(GESTURE_LINE, 150)  # after the run-up
        ActionChains(browser.driver).move_by_offset(200, 200).click().perform()
        browser.wait_for_console("tolva: the show has ended", 150)
        browser.wait_for_line(ENDED_LINE, 10)
        # The closing track started with the last scene, about 28.6 s before: it plays on from there.
        played = browser.driver.execute_script("return Module.tolvaSound.played")
        assert any(p["id"] == END_SOUND and 27 < p["offset"] < 30 for p in played), \
            "the closing track did not start where the show stood: %r" % played
        frames = browser.wait_for_console("frames in", 1)
        assert int(frames.split("tolva: ")[1].split()[0]) > 0, frames
        assert not any("a step" in e["message"] and "scene 8" not in e["message"] for e in browser.seen), \
            "a scene other than the last ran after the run-up"
        errors = browser.errors()
        assert not errors, "console errors:\n" + "\n".join(errors)
        print("the show ended by itself: " + frames.split("tolva: ")[1].rstrip('"'))


# Before any script of the page: tracks that do not decode, as damaged files do not.
UNDECODABLE = """
OfflineAudioContext.prototype.decodeAudioData = function () {
  return Promise.reject(new DOMException('damaged', 'EncodingError'));
};
"""
KLEZ_SOUND = 4


def silent(run_dir):
    with Server(run_dir) as server, Browser() as browser:
        browser.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": UNDECODABLE})
        # A second after the first track starts.
        browser.driver.get(server.url + "index.html?from=62.5")
        browser.wait_for_line(GESTURE_LINE, 100)  # after the run-up
        ActionChains(browser.driver).move_by_offset(200, 200).click().perform()
        browser.wait_for_console("tolva: first frame", 120)
        time.sleep(2)
        ActionChains(browser.driver).send_keys(Keys.ESCAPE).perform()
        frames = browser.wait_for_console("frames in", 30)
        assert int(frames.split("tolva: ")[1].split()[0]) > 1, frames
        played = browser.driver.execute_script("return Module.tolvaSound.played")
        assert not any(p["id"] == KLEZ_SOUND for p in played), "a track that did not decode played: %r" % played
        errors = browser.errors()
        assert not errors, "console errors:\n" + "\n".join(errors)
        print("undecodable tracks are silent, the show goes on: " + frames.split("tolva: ")[1].rstrip('"'))


# Before any script of the page: a browser that offers no WebGL 2 context.
NO_WEBGL2 = """
const getContext = HTMLCanvasElement.prototype.getContext;
HTMLCanvasElement.prototype.getContext = function (kind, ...rest) {
  return kind === 'webgl2' ? null : getContext.call(this, kind, ...rest);
};
"""


def no_webgl2(run_dir):
    with Server(run_dir) as server, Browser() as browser:
        browser.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": NO_WEBGL2})
        browser.driver.get(server.url + "index.html")
        browser.wait_for_line("This browser has no WebGL 2, which the show needs.", 30)
        print("without WebGL 2 the page says so")


def main(argv):
    command, run_dir = argv[1], argv[2]
    if command == "loads":
        loads(run_dir)
    elif command == "still":
        still(run_dir, argv[3], argv[4:])
    elif command == "live":
        live(run_dir)
    elif command == "ends":
        ends(run_dir)
    elif command == "silent":
        silent(run_dir)
    elif command == "no-webgl2":
        no_webgl2(run_dir)
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)

#!/usr/bin/python3
"""The browser edition in headless Chromium, served from 127.0.0.1: the title screen's
pixels, Enter, the arrows, a bomb, P, Q, a click, the page losing focus, a pad, the sounds
reaching Web Audio, the console clean; the time to the first frame and the browser clock's
precision.

    /usr/bin/python3 tests/web/browser_test.py build/web
"""
import functools
import http.server
import statistics
import sys
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

site = sys.argv[1]


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


Quiet.extensions_map = {**Quiet.extensions_map, ".wasm": "application/wasm"}
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
url = f"http://127.0.0.1:{server.server_address[1]}/"

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for arg in ["--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1000,720",
            "--autoplay-policy=no-user-gesture-required", "--mute-audio"]:
    options.add_argument(arg)
options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def pixel(x, y):
    """The colour of the game's picture pixel (x, y) as the canvas shows it."""
    return tuple(driver.execute_script("""
        const v = Module.mbView(), c = document.getElementById('game');
        const d = c.getContext('2d').getImageData(v.offsetX + arguments[0] * v.scale + (v.scale >> 1),
                                                  v.offsetY + arguments[1] * v.scale + (v.scale >> 1), 1, 1).data;
        return [d[0], d[1], d[2]];""", x, y))


def red_x(x0, y0, w, h):
    """The mean x of the pure red pixels (the player) in a rectangle of the picture, or None."""
    return driver.execute_script("""
        const v = Module.mbView(), c = document.getElementById('game');
        const [x0, y0, w, h] = arguments;
        const d = c.getContext('2d').getImageData(v.offsetX, v.offsetY, 849 * v.scale, 565 * v.scale).data;
        let sum = 0, n = 0;
        for (let y = y0; y < y0 + h; ++y) for (let x = x0; x < x0 + w; ++x) {
          const i = ((y * v.scale) * 849 * v.scale + x * v.scale) * 4;
          if (d[i] === 255 && d[i + 1] === 0 && d[i + 2] === 0) { sum += x; ++n; }
        }
        return n ? sum / n : null;""", x0, y0, w, h)


def key(k, hold=0.0):
    ActionChains(driver).key_down(k).perform()
    if hold:
        time.sleep(hold)
    ActionChains(driver).key_up(k).perform()


def frame():
    time.sleep(0.1)  # the next animation frame


try:
    driver.get(url)
    for _ in range(100):
        if driver.execute_script("return typeof Module !== 'undefined' && Module.firstFrameAt !== undefined"):
            break
        time.sleep(0.05)
    check(driver.title == "RMO Mazeblast", f"the page's title: {driver.title!r}")
    first = driver.execute_script("""
        const nav = performance.getEntriesByType('navigation')[0];
        return Module.firstFrameAt - nav.loadEventStart;""")
    # The sounds are made at the first key, not before the first frame; the bound is for a
    # cold browser on a busy machine.
    check(first < 1500, f"title screen drawn {first:.0f} ms after the page's load event")
    frame()
    check(pixel(355, 285) == (0, 255, 0), f"green start button: {pixel(355, 285)}")
    check(pixel(60, 124) == (192, 0, 0), f"dark-red pillar: {pixel(60, 124)}")
    check(pixel(40, 100) == (0, 0, 0), f"black field: {pixel(40, 100)}")
    yellow = sum(pixel(x, 25) == (255, 255, 0) for x in range(180, 660, 4))
    check(yellow > 5, f"yellow title: {yellow} of 120 pixels on its middle row")

    # The browser's clock as the page uses it, on the still title screen: a timeout asked for a
    # learned lead before each due time, a tick run when less than 2 ms ahead of it.
    late = driver.execute_async_script("""
        const done = arguments[arguments.length - 1], late = {16: [], 77: [], 1000: []};
        const start = performance.now(), due = {16: start + 16, 77: start + 77, 1000: start + 1000};
        let lead = 0, wanted = -1;
        (function pump() {
          const now = performance.now();
          if (wanted >= 0 && now < wanted - 2) return setTimeout(pump, wanted - lead - now);
          if (wanted >= 0) lead = Math.min(8, Math.max(0, lead + 0.25 * (now - wanted)));
          for (const i of [16, 77, 1000]) {
            if (due[i] > now + 2) continue;
            late[i].push(now - due[i]);
            due[i] += i;
            if (due[i] <= now) due[i] = now + i;
          }
          if (now - start > 12000) return done(late);
          wanted = Math.min(...Object.values(due));
          setTimeout(pump, Math.max(0, wanted - lead - performance.now()));
        })();""")
    for interval, values in late.items():
        off = sorted(abs(v) for v in values)
        print(f"     ticks every {interval} ms: {len(values)}, from their due time by median "
              f"{statistics.median(off):.2f} ms, 99th percentile "
              f"{off[min(len(off) - 1, int(len(off) * 0.99))]:.2f} ms")

    key(Keys.ENTER)
    frame()
    check(pixel(355, 285) == (0, 0, 0), "Enter pressed the start button, and it went")
    time.sleep(4.3)
    before = red_x(280, 472, 288, 33)
    key(Keys.ARROW_RIGHT, 0.5)
    frame()
    after = red_x(280, 472, 288, 33)
    check(before is not None and after is not None and after > before + 20,
          f"the right arrow walked the player: {before} -> {after}")

    key("p")
    frame()
    paused = sum(pixel(x, 540) == (255, 255, 0) for x in range(352, 497, 2))
    check(paused > 3, f"P shows Paused!: {paused} yellow pixels")
    key("p")
    key("q")
    frame()
    check(pixel(355, 531) == (0, 255, 255), f"Q shows New game: {pixel(355, 531)}")

    # A click on the button presses it.
    canvas = driver.find_element(By.ID, "game")
    v = driver.execute_script("return Module.mbView()")
    dpr = driver.execute_script("return window.devicePixelRatio")
    size = canvas.size
    cx = (v["offsetX"] + 400 * v["scale"]) / dpr - size["width"] / 2
    cy = (v["offsetY"] + 535 * v["scale"]) / dpr - size["height"] / 2
    ActionChains(driver).move_to_element_with_offset(canvas, cx, cy).click().perform()
    frame()
    check(pixel(355, 285) == (0, 255, 0), "a click on New game brought the start button back")

    # The page losing the focus pauses play, as P does; P alone resumes.
    key(Keys.ENTER)
    time.sleep(4.3)
    driver.execute_script("window.dispatchEvent(new Event('blur'))")
    frame()
    paused = sum(pixel(x, 540) == (255, 255, 0) for x in range(352, 497, 2))
    check(paused > 3, f"the page losing the focus paused play: {paused} yellow pixels")
    driver.execute_script("window.dispatchEvent(new Event('focus'))")
    key("p")

    # A pad with the standard mapping, as the Gamepad API shows one: Start pauses, as on the
    # desktop.
    driver.execute_script("""
        const pad = {index: 0, mapping: 'standard', axes: [0, 0, 0, 0],
                     buttons: Array.from({length: 17}, () => ({pressed: false}))};
        navigator.getGamepads = () => [pad];
        window.fakePad = pad;
        window.dispatchEvent(new Event('gamepadconnected'));
        pad.buttons[9].pressed = true;""")
    time.sleep(0.2)
    paused = sum(pixel(x, 540) == (255, 255, 0) for x in range(352, 497, 2))
    check(paused > 3, f"a pad's Start paused play: {paused} yellow pixels")
    driver.execute_script("window.fakePad.buttons[9].pressed = false")
    time.sleep(0.1)
    driver.execute_script("window.fakePad.buttons[9].pressed = true")
    time.sleep(0.1)
    driver.execute_script("window.fakePad.buttons[9].pressed = false")
    time.sleep(0.1)
    paused = sum(pixel(x, 540) == (255, 255, 0) for x in range(352, 497, 2))
    check(paused == 0, "and Start again resumed it")

    # A bomb, and the player walking off: its burst reaches Web Audio. Then ten seconds of
    # play with nothing else on the page's thread, for the game's own ticks.
    driver.execute_script("Module.lateness = []")
    key(Keys.SPACE)
    key(Keys.ARROW_LEFT, 0.4)
    time.sleep(10)
    heard = driver.execute_script("return Module.heard")
    check("drop" in heard and "burst" in heard, f"the bomb was heard through Web Audio: {heard}")
    by_period = {}
    for period, late in driver.execute_script("return Module.lateness"):
        by_period.setdefault(period, []).append(abs(late))
    for period, off in sorted(by_period.items()):
        off.sort()
        print(f"     the game's ticks every {period} ms: {len(off)}, from their due time by median "
              f"{statistics.median(off):.2f} ms, 99th percentile {off[int(len(off) * 0.99)]:.2f} ms")

    errors = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
    check(not errors, f"no error in the console: {errors}")
finally:
    driver.quit()
    server.shutdown()

print(f"{len(failures)} failed" if failures else "browser test passed")
sys.exit(1 if failures else 0)

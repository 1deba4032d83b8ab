#!/usr/bin/python3
"""The browser edition on phones and a tablet, in headless Chromium's emulation with real
touch events: the picture's share of the screen, the touch controls beside or below it and
named for assistive technology, the pad walking, turning and letting go wherever the finger
leaves, a bomb dropped by a second finger while the first walks, pause, quit, sound, the
game's own buttons tapped on the picture, a vibration on the burst, the console clean, and
the main thread's load on the phone.

    /usr/bin/python3 tests/web/touch_test.py build/web [FOLDER for the layouts' screenshots]
"""
import base64
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from page import (evenness, load_shift, save_replay, verified_natively, accessible_buttons, check, chromium, console_errors, count, finish, frame,  # noqa: E402
                  MAIN_THREAD_BOUND, main_thread_share, on_page, open_page, paused, pixel, red_x,
                  serve)

url = serve(sys.argv[1])
shots = sys.argv[2] if len(sys.argv) > 2 else None
NAMES = {"Up", "Down", "Left", "Right", "Bomb", "Pause", "Quit", "Sound"}
UP, DOWN, LEFT, RIGHT = 4, 2, 3, 1  # the game's ways, as it numbers them


class Fingers:
    """Touches on the screen through the DevTools protocol, as a touch screen sends them."""

    def __init__(self, driver):
        self.driver, self.points = driver, {}

    def send(self, kind):
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"x": x, "y": y, "id": i} for i, (x, y) in self.points.items()]})

    def down(self, finger, x, y):
        self.points[finger] = (x, y)
        self.send("touchStart")

    def move(self, finger, x, y):
        self.points[finger] = (x, y)
        self.send("touchMove")

    def up(self, finger):
        # The protocol lifts a finger left out of the points it is sent; an end lifts them all.
        del self.points[finger]
        self.send("touchMove" if self.points else "touchEnd")

    def cancel(self):
        self.points = {}
        self.send("touchCancel")

    def tap(self, x, y, finger=9):
        self.down(finger, x, y)
        time.sleep(0.05)
        self.up(finger)
        frame()


def middle(driver, element_id):
    r = driver.execute_script(f"return document.getElementById('{element_id}').getBoundingClientRect()")
    return r["left"] + r["width"] / 2, r["top"] + r["height"] / 2


def direction(driver):
    return driver.execute_script("return Module._mb_direction()")


def player_x(driver):
    """Where the player stands on the bottom row, near his start cell: no brick ever stands
    on that row from column 8 to 16."""
    return red_x(driver, 280, 472, 288, 33)


def layout(driver, name, size):
    """The picture's share of the screen's limiting side, and the controls beside or below it."""
    v = driver.execute_script("return Module.mbView()")
    share = max(v["width"] / size[0], v["height"] / size[1])
    check(share >= 0.9, f"{name}: the picture {v['width']:.0f} x {v['height']:.0f} fills "
          f"{100 * share:.1f} % of the screen's limiting side ({v['mode']}, "
          f"{v['scale']:.3f} device pixels a game pixel)")
    touch_shown = not driver.execute_script("return document.getElementById('touch').hidden")
    keys_hidden = driver.execute_script("return getComputedStyle(document.getElementById('keys')).display") == "none"
    names = accessible_buttons(driver)
    check(touch_shown and keys_hidden and NAMES <= names,
          f"{name}: touch controls instead of the keys line, each a button named {sorted(NAMES & names)}")
    sizes = driver.execute_script("""return Array.from(document.querySelectorAll('#touch button'))
        .map((b) => Math.min(b.getBoundingClientRect().width, b.getBoundingClientRect().height));""")
    check(min(sizes) >= 48, f"{name}: every control at least 48 CSS pixels: the least {min(sizes)}")
    over = driver.execute_script("return document.querySelectorAll('#touch .over').length")
    check(over == 0, f"{name}: no control over the picture where the screen has room: {over}")
    if shots:
        dpr = driver.execute_script("return devicePixelRatio")
        shot = driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png", "clip": {
            "x": 0, "y": 0, "width": size[0], "height": size[1], "scale": 1 / dpr}})
        with open(os.path.join(shots, f"{name.replace(' ', '-')}.png"), "wb") as f:
            f.write(base64.b64decode(shot["data"]))


def start(driver, fingers, name):
    fingers.tap(*on_page(driver, 424, 296))
    check(pixel(driver, 355, 285) == (0, 0, 0), f"{name}: a tap on Start the game pressed it")
    time.sleep(4.3)


def walks(driver, fingers, name):
    before = player_x(driver)
    fingers.down(1, *middle(driver, "right"))
    way = direction(driver)
    time.sleep(0.5)
    after = player_x(driver)
    fingers.up(1)
    # Gone from the watched stretch of his row (None) is far walked: a busy machine may look
    # late.
    check(way == RIGHT and before is not None and (after is None or after > before + 20),
          f"{name}: the pad's Right walked the player: {before} -> {after}")


def phone_landscape():
    size = (844, 390)
    driver = chromium(phone=(*size, 3))
    fingers = Fingers(driver)
    try:
        load_shift(driver, url, "phone landscape: ")
        m = evenness(driver)
        check(m["sprite_error"] < 0.02 and m["blended"] <= 1,
              f"phone landscape at a device pixel ratio of 3: scale {m['scale']:.3f} in device "
              f"pixels (drawn {m['times']} times larger, then smoothed), the sprites "
              f"{m['sprite_error']:.4f} from the ideal, {m['blended']} blended pixel at an edge")
        layout(driver, "phone landscape", size)
        start(driver, fingers, "phone landscape")
        walks(driver, fingers, "phone landscape")

        # Paused, the game takes the pad's arrows and no tick moves him: sliding from Right
        # onto Up turns him; the finger slid far off the pad still holds it, and lifted there,
        # lets go; a cancelled touch lets go too.
        fingers.tap(*middle(driver, "pause"))
        check(paused(driver), "the Pause button paused play")
        fingers.down(1, *middle(driver, "right"))
        frame()
        was = direction(driver)
        fingers.move(1, *middle(driver, "up"))
        frame()
        check(was == RIGHT and direction(driver) == UP,
              f"sliding from Right onto Up turned him: way {was} -> {direction(driver)}")
        fingers.move(1, size[0] - 4, 4)
        frame()
        held = direction(driver)
        fingers.up(1)
        frame()
        check(held != 0 and direction(driver) == 0,
              f"a finger lifted far outside the pad let go of it: way {held} -> {direction(driver)}")
        fingers.down(1, *middle(driver, "left"))
        frame()
        held = direction(driver)
        fingers.cancel()
        frame()
        check(held == LEFT and direction(driver) == 0, "a cancelled touch let go of the pad")
        fingers.tap(*middle(driver, "pause"))
        at = player_x(driver)
        time.sleep(0.4)
        check(not paused(driver) and player_x(driver) == at,
              f"the Pause button resumed play, and he stands: {at} -> {player_x(driver)}")

        # One finger walks while another drops a bomb: the bomb, then its flames, while he moves.
        fingers.down(1, *middle(driver, "left"))
        time.sleep(0.1)
        fingers.down(2, *middle(driver, "bomb"))
        time.sleep(0.05)
        fingers.up(2)
        frame()
        bomb = count(driver, (255, 255, 255), 24, 60, 800, 440)
        # The first finger still holds Left: the game walks him that way, or a brick has
        # stopped him (the game then stands him still) with the pad still held.
        walking = direction(driver) or (LEFT if driver.execute_script(
            "return document.getElementById('left').classList.contains('held')") else 0)
        at = player_x(driver)
        flames = moved = way = 0
        for _ in range(30):
            time.sleep(0.05)
            flames = count(driver, (255, 128, 0), 24, 60, 800, 440)
            if flames > 20:
                moved = player_x(driver)
                way = driver.execute_script("return document.getElementById('left').classList.contains('held')")
                break
        fingers.up(1)
        check(bomb > 20 and walking == LEFT, f"a second finger dropped a bomb while the first walked: "
              f"{bomb} bomb pixels, way {walking}")
        # Gone from the watched stretch of his row (None) is far walked too; a brick may have
        # stopped him since, with the finger still on Left. On a busy machine he may have
        # left that stretch before the bomb was seen.
        check(flames > 20 and way and (moved != at or at is None),
              f"the bomb's flames seen while he walked on: {flames} flame pixels, Left held {way}, "
              f"player at {at} -> {moved}")
        vibrated = driver.execute_script("return Module.vibrated")
        check(40 in vibrated or 200 in vibrated, f"a short vibration on the burst: {vibrated}")

        # His own bomb catches him where he stands, if the first did not; "Play next life" is
        # tapped on the picture.
        fingers.tap(*middle(driver, "bomb"))
        shown = False
        for _ in range(80):
            time.sleep(0.1)
            shown = pixel(driver, 355, 347) == (255, 128, 0)
            if shown:
                break
        check(shown, "caught: Play next life shown")
        fingers.tap(*on_page(driver, 424, 360))
        check(pixel(driver, 355, 347) == (0, 0, 0), "a tap on Play next life pressed it")
        time.sleep(4.3)

        # Quit on the screen; New game and Start the game tapped on the picture; the sound off
        # and on.
        fingers.tap(*middle(driver, "quit"))
        check(pixel(driver, 355, 531) == (0, 255, 255), "the Quit button ended the game: New game")
        fingers.tap(*on_page(driver, 424, 540))
        check(pixel(driver, 355, 285) == (0, 255, 0), "a tap on New game brought the title back")
        fingers.tap(*middle(driver, "sound"))
        off = driver.execute_script("return [Module._mb_muted(), document.getElementById('sound').ariaPressed]")
        fingers.tap(*middle(driver, "sound"))
        on = driver.execute_script("return [Module._mb_muted(), document.getElementById('sound').ariaPressed]")
        check(off == [1, "false"] and on == [0, "true"], f"the Sound button turned the sound off and on: {off}, {on}")

        # Five seconds of a new game with no input, for the load of the page's main thread
        # (bench/page_main_thread.py takes ten).
        start(driver, fingers, "phone landscape, a second game")
        share = main_thread_share(driver, 5)
        check(share < MAIN_THREAD_BOUND, f"the page's main thread on the phone: busy "
              f"{100 * share:.1f} % of the time (at most {100 * MAIN_THREAD_BOUND:.0f} %)")
        # Turned upright: the picture and the controls follow.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": size[1], "height": size[0], "deviceScaleFactor": 3, "mobile": True})
        time.sleep(0.3)
        v = driver.execute_script("return Module.mbView()")
        check(v["mode"] == "below" and v["width"] >= 0.9 * size[1],
              f"turned upright, the picture follows: {v['width']:.0f} x {v['height']:.0f}, "
              f"controls {v['mode']} it")
        # The game played with fingers, saved with a tap on Save replay, verifies natively.
        verified_natively(save_replay(driver, lambda b: fingers.tap(*middle(driver, b))),
                          "phone, touch")
        # Watched again, its speed set with a finger; Quit leaves the watching.
        fingers.tap(*middle(driver, "watch-replay"))
        frame()
        fingers.tap(*middle(driver, "replay-speed"))
        frame()
        said = driver.execute_script("return document.getElementById('status').textContent")
        check(said == "watching a replay at 2x" and "Speed 2x" in accessible_buttons(driver),
              f"the speed button doubled the speed of the watching: '{said}'")
        fingers.tap(*middle(driver, "quit"))
        frame()
        check(not driver.execute_script("return Module._mb_watching()"), "Quit left the watching")
        errors = console_errors(driver)
        check(not errors, f"phone landscape: no error in the console: {errors}")
    finally:
        driver.quit()


def other(name, size, ratio):
    driver = chromium(phone=(*size, ratio))
    fingers = Fingers(driver)
    try:
        open_page(driver, url)
        frame()
        layout(driver, name, size)
        start(driver, fingers, name)
        walks(driver, fingers, name)
        errors = console_errors(driver)
        check(not errors, f"{name}: no error in the console: {errors}")
    finally:
        driver.quit()


phone_landscape()
other("phone portrait", (390, 844), 3)
other("tablet", (1024, 768), 2)
finish("touch test")

#!/usr/bin/python3
"""The browser edition on a desktop, in headless Chromium, served from 127.0.0.1: the title
screen's pixels, Enter, the arrows, a bomb, P, Q, a click, the page losing focus, a pad, the
sounds reaching Web Audio, no touch controls; the picture whole at every window size; only
what changed drawn, and drawn right; the page installable and playing offline; the console
clean; the time to the first frame, the browser clock's precision and the main thread's load.

    /usr/bin/python3 tests/web/browser_test.py build/web
"""
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from hostile_link import hostile_link  # noqa: E402
from page import (SIM, evenness, load_shift,  # noqa: E402
                  save_replay, status, verified_natively,
                  accessible_buttons, check, chromium, console_errors, count, finish, frame,
                  MAIN_THREAD_BOUND, main_thread_share, on_page, open_page, paused, pixel, red_x,
                  serve, picture_hash, golden_picture)

# A copy of the site, so that a new build can be put in its place.
site = os.path.join(tempfile.mkdtemp(), "web")
shutil.copytree(sys.argv[1], site)
url = serve(site)
size = sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(site) for f in files)
check(size <= 400 * 1024, f"the page's files: {size} bytes (at most 400 KB)")
driver = chromium(window=(1000, 800))


def key(k, hold=0.0):
    ActionChains(driver).key_down(k).perform()
    if hold:
        time.sleep(hold)
    ActionChains(driver).key_up(k).perform()


def viewport():
    return driver.execute_script("return [innerWidth, innerHeight]")


def whole_picture_in_view(what):
    v = driver.execute_script("return Module.mbView()")
    w, h = viewport()
    check(v["left"] >= 0 and v["top"] >= 0 and v["left"] + v["width"] <= w + 0.01
          and v["top"] + v["height"] <= h + 0.01,
          f"{what}: the whole picture in the {w} x {h} page: {v['width']:.0f} x {v['height']:.0f} "
          f"at ({v['left']:.0f}, {v['top']:.0f}), scale {v['scale']:.3f}")
    return v


def new_game():
    key("q")
    frame()
    x, y = on_page(driver, 424, 540)
    ActionChains(driver).move_by_offset(0, 0).perform()
    body = driver.find_element(By.TAG_NAME, "body")
    ActionChains(driver).move_to_element_with_offset(body, x - viewport()[0] / 2,
                                                     y - viewport()[1] / 2).click().perform()
    frame()
    key(Keys.ENTER)
    time.sleep(4.3)


try:
    load_shift(driver, url)
    check(driver.title == "RMO Mazeblast", f"the page's title: {driver.title!r}")
    served = driver.execute_script("""return performance.getEntriesByType('resource')
        .filter((e) => /[.](wasm|js)$/.test(e.name)).map((e) => [e.name.split('/').pop(),
        e.encodedBodySize, e.decodedBodySize])""")
    check(served and all(packed < whole * 0.7 for _, packed, whole in served),
          f"the page's script and game came compressed: {served}")
    first = driver.execute_script("""
        const nav = performance.getEntriesByType('navigation')[0];
        return Module.firstFrameAt - nav.loadEventStart;""")
    # The sounds are made at the first key, not before the first frame; the bound is for a
    # cold browser on a busy machine.
    check(first < 5000, f"title screen drawn {first:.0f} ms after the page's load event")
    frame()
    check(pixel(driver, 355, 285) == (0, 255, 0), f"green start button: {pixel(driver, 355, 285)}")
    check(pixel(driver, 60, 124) == (192, 0, 0), f"dark-red pillar: {pixel(driver, 60, 124)}")
    check(pixel(driver, 40, 100) == (0, 0, 0), f"black field: {pixel(driver, 40, 100)}")
    yellow = count(driver, (255, 255, 0), 180, 25, 480, 1)
    check(yellow > 20, f"yellow title: {yellow} pixels on its middle row")
    title = picture_hash(driver)
    check(title == golden_picture("title"),
          f"the title screen is the game's own picture, its golden hash: {title}")
    v = whole_picture_in_view("1000 x 800 window")
    check(v["scale"] == 1, f"a whole-number scale where it fills the window well: {v['scale']}")
    # A 1920 x 1080 page: a fraction, each game pixel the same size and every edge sharp.
    driver.set_window_size(1920, 1080 + 143)
    time.sleep(0.4)
    m = evenness(driver)
    check(m["scale"] > 1.8 and m["share"] > 0.99 and m["sprite_error"] < 0.02 and m["blended"] <= 1,
          f"at 1920 x 1080, scale {m['scale']:.3f} (drawn {m['times']} times larger, then "
          f"smoothed): the sprites {m['sprite_error']:.4f} from the ideal (nearest neighbour "
          f"made 0.04), {m['blended']} blended pixel at an edge")
    driver.set_window_size(1000, 800)
    time.sleep(0.4)
    check(driver.execute_script("return document.getElementById('touch').hidden")
          and "Up" not in accessible_buttons(driver)
          and driver.find_element(By.ID, "keys").is_displayed(),
          "on a desktop with a mouse: the keys line, no touch controls")

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
          if (now - start > 6000) return done(late);
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
    check(pixel(driver, 355, 285) == (0, 0, 0), "Enter pressed the start button, and it went")
    made = driver.execute_script("return [Module.soundsSynthesizedIn, Module.soundsMadeIn]")
    print(f"     the sounds synthesized after the first frame in {made[0]:.1f} ms; put into Web "
          f"Audio's buffers at the first key in {made[1]:.1f} ms")
    time.sleep(4.3)
    before = red_x(driver, 280, 472, 288, 33)
    key(Keys.ARROW_RIGHT, 0.5)
    frame()
    after = red_x(driver, 280, 472, 288, 33)
    check(before is not None and after is not None and after > before + 20,
          f"the right arrow walked the player: {before} -> {after}")

    key("p")
    frame()
    check(paused(driver), "P shows Paused!")
    # Paused, nothing moves: the picture drawn a rectangle at a time is the picture drawn whole.
    kept = driver.execute_script("return document.getElementById('game').toDataURL()")
    driver.execute_script("Module._mb_paint_all(); Module.mbView();")
    key(Keys.SHIFT)  # any event: the next frame is drawn whole
    frame()
    whole = driver.execute_script("return document.getElementById('game').toDataURL()")
    check(kept == whole, "the picture kept between frames, drawn only where it changed, is the "
          "picture drawn whole")
    key("p")
    key("q")
    frame()
    check(pixel(driver, 355, 531) == (0, 255, 255), f"Q shows New game: {pixel(driver, 355, 531)}")

    # A click on the button presses it.
    canvas = driver.find_element(By.ID, "game")
    x, y = on_page(driver, 400, 535)
    rect = driver.execute_script("return document.getElementById('game').getBoundingClientRect()")
    ActionChains(driver).move_to_element_with_offset(
        canvas, x - rect["left"] - rect["width"] / 2, y - rect["top"] - rect["height"] / 2).click().perform()
    frame()
    check(pixel(driver, 355, 285) == (0, 255, 0), "a click on New game brought the start button back")

    # The page losing the focus pauses play, as P does; P alone resumes.
    key(Keys.ENTER)
    time.sleep(4.3)
    driver.execute_script("window.dispatchEvent(new Event('blur'))")
    frame()
    check(paused(driver), "the page losing the focus paused play")
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
    check(paused(driver), "a pad's Start paused play")
    for pressed in ("false", "true", "false"):
        driver.execute_script(f"window.fakePad.buttons[9].pressed = {pressed}")
        time.sleep(0.1)
    check(not paused(driver), "and Start again resumed it")
    driver.execute_script("""navigator.getGamepads = () => [];
        window.dispatchEvent(new Event('gamepaddisconnected'));""")

    # A bomb, and the player walking off: its burst reaches Web Audio. Then ten seconds of
    # play with nothing else on the page's thread, for the game's own ticks and the load of
    # the page's main thread at scale 1.
    driver.execute_script("Module.lateness = []")
    key(Keys.SPACE)
    key(Keys.ARROW_LEFT, 0.4)
    share1 = main_thread_share(driver, 10)
    heard = driver.execute_script("return Module.heard")
    if "drop" not in heard and "caught" in heard:
        # An enemy placed near the start cell caught him first: the next life drops it.
        key(Keys.ENTER)
        time.sleep(4.6)
        key(Keys.SPACE)
        key(Keys.ARROW_LEFT, 0.4)
        time.sleep(3)
        heard = driver.execute_script("return Module.heard")
    check("drop" in heard and "burst" in heard, f"the bomb was heard through Web Audio: {heard}")
    by_period = {}
    for period, late in driver.execute_script("return Module.lateness"):
        by_period.setdefault(period, []).append(abs(late))
    for period, off in sorted(by_period.items()):
        off.sort()
        print(f"     the game's ticks every {period} ms: {len(off)}, from their due time by median "
              f"{statistics.median(off):.2f} ms, 99th percentile {off[int(len(off) * 0.99)]:.2f} ms")
    print(f"     the page's main thread at scale 1: busy {100 * share1:.1f} % of the time")

    # Twice the size: the compositor scales, the page's thread draws no more. A game of level
    # 1 with no input, five seconds (bench/page_main_thread.py takes ten).
    driver.set_window_size(1800, 1400)
    time.sleep(0.3)
    v = whole_picture_in_view("1800 x 1400 window")
    check(v["scale"] == 2, f"scale 2 where it fits: {v['scale']}")
    new_game()
    share2 = main_thread_share(driver, 5)
    check(share2 < MAIN_THREAD_BOUND, f"the page's main thread at scale 2: busy "
          f"{100 * share2:.1f} % of the time (at most {100 * MAIN_THREAD_BOUND:.0f} %)")

    # At 1920 x 1080 as well, where the picture is smoothed from twice its size.
    driver.set_window_size(1920, 1080 + 143)
    time.sleep(0.3)
    share3 = main_thread_share(driver, 5)
    check(share3 < MAIN_THREAD_BOUND, f"the page's main thread at 1920 x 1080: busy "
          f"{100 * share3:.1f} % of the time (at most {100 * MAIN_THREAD_BOUND:.0f} %)")

    # A small window: the whole picture, scaled by a fraction, title and bottom line in view.
    driver.set_window_size(700, 643)
    time.sleep(0.3)
    whole_picture_in_view("700 x 500 page")
    shot = driver.get_screenshot_as_png()
    with open(os.path.join(os.environ.get("TMPDIR", "/tmp"), "mazeblast-700x500.png"), "wb") as f:
        f.write(shot)
    seen = driver.execute_script("""
        const c = document.getElementById('game'), d = Module.mbPicture.getContext('2d');
        const title = d.getImageData(180, 10, 480, 30).data, bottom = d.getImageData(0, 536, 849, 29).data;
        const any = (data, r, g, b) => { for (let i = 0; i < data.length; i += 4)
            if (data[i] === r && data[i + 1] === g && data[i + 2] === b) return true; return false; };
        const box = c.getBoundingClientRect();
        return any(title, 255, 255, 0) && any(bottom, 0, 255, 0) && box.top >= 0 && box.bottom <= innerHeight;""")
    check(seen, "in a 700 x 500 page the title and the bottom line are both in view")

    errors = console_errors(driver)
    check(not errors, f"no error in the console, online: {errors}")

    # Installable: the manifest parses, with the icons it names.
    manifest = driver.execute_cdp_cmd("Page.getAppManifest", {})
    data = json.loads(manifest.get("data") or "{}")
    check(not manifest.get("errors") and data.get("name") == "RMO Mazeblast",
          f"the manifest parses: {manifest.get('errors')}, name {data.get('name')!r}")
    sizes = driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        Promise.all(arguments[0].map((icon) => new Promise((ok) => {
          const i = new Image(); i.onload = () => ok(`${i.naturalWidth}x${i.naturalHeight}`);
          i.onerror = () => ok('broken'); i.src = icon.src; }))).then(done);""", data.get("icons", []))
    check(sorted(sizes) == ["192x192", "512x512"], f"the manifest's icons: {sizes}")

    # Offline: after one visit the service worker keeps every file; with the network cut, a
    # reload draws the title and a game starts.
    controlled = False
    for _ in range(100):
        controlled = driver.execute_script("return !!navigator.serviceWorker.controller")
        if controlled:
            break
        time.sleep(0.1)
    check(controlled, "the service worker took the page")
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": True, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    driver.refresh()
    open_page(driver, url)
    frame()
    check(pixel(driver, 355, 285) == (0, 255, 0), "offline, a reload drew the title screen")
    key(Keys.ENTER)
    time.sleep(1.2)
    check(pixel(driver, 355, 285) == (0, 0, 0) and count(driver, (255, 255, 0), 300, 200, 250, 200) > 50,
          "offline, Enter started a game: the countdown")
    errors = console_errors(driver)
    check(not errors, f"no error in the console, offline: {errors}")

    # Online again, and a new build on the host: the visit that finds it still plays the kept
    # one and takes the new one in the background; the visit after plays the new one.
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": False, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    with open(os.path.join(site, "index.html")) as f:
        page = f.read().replace("<title>", '<meta name="build" content="next">\n<title>')
    with open(os.path.join(site, "index.html"), "w") as f:
        f.write(page)
    with open(os.path.join(site, "sw.js")) as f:
        worker = re.sub(r"const CACHE = '[^']*'", "const CACHE = 'mazeblast-next'", f.read())
    with open(os.path.join(site, "sw.js"), "w") as f:
        f.write(worker)
    is_new = "return !!document.querySelector('meta[name=build]')"
    # One visit: a second at once could already find the new worker in charge.
    open_page(driver, url)
    kept = driver.execute_script(is_new)

    def new_cache_kept():
        """The caches, once only the new build's is left, or after ten seconds."""
        for _ in range(100):
            caches = driver.execute_async_script("caches.keys().then(arguments[0])")
            if caches == ["mazeblast-next"]:
                break
            time.sleep(0.1)
        return caches

    def new_worker_settled():
        """Waits, up to ten seconds, until the new worker has taken over and claimed this tab."""
        for _ in range(100):
            if driver.execute_async_script("""navigator.serviceWorker.getRegistration().then(
                (r) => arguments[0](!!r && !r.installing && !r.waiting && !!r.active &&
                                    r.active.state === 'activated' &&
                                    navigator.serviceWorker.controller === r.active),
                () => arguments[0](false))"""):
                return
            time.sleep(0.1)

    caches = new_cache_kept()
    new_worker_settled()
    # The visit after, in a tab of its own: headless Chromium now and then never finishes
    # loading a page that a new worker claimed while it loaded. Such a tab is closed, and the
    # worker is asked from the first tab, which is loaded, to look again.
    first_tab = driver.current_window_handle
    driver.set_page_load_timeout(60)
    fresh = False
    for attempt in range(3):
        try:
            driver.switch_to.new_window("tab")
            open_page(driver, url)
            fresh = driver.execute_script(is_new)
        except TimeoutException:
            print("     the visit after the new build did not finish loading in 60 s")
        if fresh:
            break
        driver.close()
        driver.switch_to.window(first_tab)
        driver.execute_async_script("""navigator.serviceWorker.getRegistration()
            .then((r) => r && r.update()).then(() => arguments[0](), () => arguments[0]())""")
        caches = new_cache_kept()
        new_worker_settled()
    check(not kept and fresh, f"a new build replaced the kept one at a later visit "
          f"(visit {attempt + 2}): caches {caches}")
    errors = console_errors(driver)
    check(not errors, f"no error in the console, at the new build: {errors}")
finally:
    driver.quit()


# Replays, in a browser of their own. A minute of random keys makes a link of at most 700
# characters a minute that verifies natively; a window's recording, linked by mazeblast-sim,
# plays in the page eight times as fast to the same verdict; a link of the old form still
# plays; a link opened in the middle of a game is watched, left with Q, and the game comes back
# as it was, its recording verifying natively; hostile links and files are refused in one line
# within a second, the page's memory and tasks measured.
driver = chromium(window=(1000, 800))


def play_randomly(seconds):
    """Random keys, as the window's replay test plays: walks, bombs, pauses and Enter."""
    pick = random.Random(21)
    held, end, presses = None, time.time() + seconds, 0
    arrows = [Keys.ARROW_LEFT, Keys.ARROW_RIGHT, Keys.ARROW_UP, Keys.ARROW_DOWN]
    while time.time() < end:
        action = pick.randrange(20)
        if action < 6:
            if held:
                ActionChains(driver).key_up(held).perform()
            held = pick.choice(arrows)
            ActionChains(driver).key_down(held).perform()
            presses += 1
        elif action < 8 and held:
            ActionChains(driver).key_up(held).perform()
            held = None
        elif action < 11:
            key(Keys.SPACE)
            presses += 1
        elif action == 11:
            key("p")
            time.sleep(0.3)
            key("p")
            presses += 2
        elif action < 14:
            key(Keys.ENTER)  # presses whatever button is shown
            presses += 1
        time.sleep(pick.randrange(4) / 10)
    if held:
        ActionChains(driver).key_up(held).perform()
    return presses


def wait_status(prefix, seconds=10):
    said = ""
    for _ in range(int(seconds * 20)):
        said = status(driver)
        if said.startswith(prefix):
            break
        time.sleep(0.05)
    return said


def copy_link(seconds):
    """Presses Copy link and gives the link it made, or '' if none came in time."""
    driver.execute_script("Module.lastLink = ''")
    driver.find_element(By.ID, "copy-link").click()
    for _ in range(int(seconds / 0.05)):
        link = driver.execute_script("return Module.lastLink") or ""
        if link:
            return link
        time.sleep(0.05)
    return ""


def memory():
    """The page's script heap and the game's memory, in MB."""
    heap = driver.execute_cdp_cmd("Runtime.getHeapUsage", {})["usedSize"]
    return (heap + driver.execute_script("return HEAPU8.length")) / 1048576


def watch_tasks():
    driver.execute_script("""
        window.longestTask = 0;
        new PerformanceObserver((list) => {
          for (const e of list.getEntries()) longestTask = Math.max(longestTask, e.duration);
        }).observe({type: 'longtask'});""")


def pause_in_play():
    """A game started (or a life played on) and paused while he walks: a field where no enemy
    catches him on his first steps."""
    # Enter on a page button the mouse last pressed would press that button again.
    driver.execute_script("document.getElementById('game').focus()")
    for _ in range(4):
        key(Keys.ENTER)
        time.sleep(4.5)
        key(Keys.ARROW_RIGHT, 0.3)
        key("p")
        frame()
        if paused(driver) and driver.execute_script("return UTF8ToString(Module._mb_played())").split()[2] != "0":
            return True
        time.sleep(3)  # caught: his fall, then the next life
    return False


def picture():
    return driver.execute_script("return document.getElementById('game').toDataURL()")


try:
    open_page(driver, url)
    frame()
    names = accessible_buttons(driver)
    check(all(n in names for n in ["Save replay", "Watch replay", "Open replay", "Copy link"]),
          f"the replay controls, by name: {names}")
    key(Keys.ENTER)
    time.sleep(4.5)  # "GO!"
    presses = play_randomly(60)
    # The recording began with the page.
    played = driver.execute_script("return (performance.now() - Module.firstFrameAt) / 1000")
    link = copy_link(5)
    fragment = link[link.find("#") + 1:]
    natively = subprocess.run([SIM, "--replay", link], capture_output=True, text=True)
    per_minute = len(fragment) * 60 / played
    check(natively.returncode == 0 and natively.stdout.startswith("replay verified: ")
          and per_minute <= 700,
          f"a minute of random keys ({presses} presses, {presses / 60:.1f} a second): a link of "
          f"{len(fragment)} characters after its '#', {per_minute:.0f} a minute (at most 700), "
          f"verified natively: {natively.stdout.strip()}{natively.stderr.strip()}")
    verified_natively(save_replay(driver, lambda b: driver.find_element(By.ID, b).click()),
                      "desktop")

    # A window's recording, linked as the page links, watched eight times as fast.
    window_mzr = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../replays/window.mzr")
    window_link = subprocess.run([SIM, "--link", window_mzr], capture_output=True, text=True).stdout.strip()
    want = subprocess.run([SIM, "--replay", window_link], capture_output=True, text=True).stdout.strip()
    driver.get("about:blank")
    open_page(driver, url + window_link)
    wait_status("watching a replay")
    # Copy link acts on what is on the screen: the link watched.
    copied = copy_link(2)
    check(copied.endswith(window_link), f"Copy link while watching gives the link watched: "
          f"{copied[-40:]!r}")
    for _ in range(3):
        key("=")
    speed = status(driver)
    started = time.time()
    said = wait_status("replay ", 30)
    check(speed == "watching a replay at 8x" and said == want and want.startswith("replay verified"),
          f"the window's recording as a link of {len(window_link)} characters, watched at 8x "
          f"('{speed}') in {time.time() - started:.1f} s: '{said}' (natively: '{want}')")
    check(not driver.execute_script("return Module._mb_watching()")
          and driver.execute_script("return location.hash") == "",
          "at its end the watching gave the title screen back, and the link left the address")

    # A game in progress, paused; a link opened in its tab is watched; Q gives the game back
    # exactly as it was, still paused; P plays on, and its recording verifies natively.
    pause_in_play()
    time.sleep(0.4)
    kept, score = picture(), driver.execute_script("return UTF8ToString(Module._mb_played())").split()[1:]
    driver.execute_script("location.hash = arguments[0]", window_link)
    said = wait_status("watching a replay")
    time.sleep(1)
    key("q")
    time.sleep(0.4)
    back, score_back = picture(), driver.execute_script("return UTF8ToString(Module._mb_played())").split()[1:]
    check(said == "watching a replay at 1x" and back == kept and score_back == score,
          f"a link opened mid-game was watched ('{said}'), Q gave the game back as it was: the "
          f"same picture, score, lives and level {score_back}: '{status(driver)}'")
    key("p")
    frame()
    resumed = not paused(driver)
    ActionChains(driver).key_down(Keys.ARROW_LEFT).perform()
    time.sleep(0.2)
    way = driver.execute_script("return Module._mb_direction()")
    # Opened while he walks, the link pauses the game; it comes back paused.
    driver.execute_script("location.hash = arguments[0]", window_link)
    ActionChains(driver).key_up(Keys.ARROW_LEFT).perform()
    check(resumed and way == 3, f"P played on: Paused! gone ({resumed}), and Left walked him "
          f"(way {way})")
    wait_status("watching a replay")
    key("q")
    frame()
    check(paused(driver), "a link opened in play paused the game, and it came back paused")
    verified_natively(save_replay(driver, lambda b: driver.find_element(By.ID, b).click()),
                      "the game around two watchings")

    # Hostile: a link of 50,000 characters that would unpack past 64 MB of recording, and a
    # file larger than any recording. Each is one line within seconds (a quiet machine takes
    # about a second and a half for the link, 4.6 s with both cores busy; the bound holds on a
    # slower one), no task holds the page, and the game in progress stays as it was.
    hostile = hostile_link()
    kept = picture()
    watch_tasks()
    m0 = memory()
    driver.execute_script("""window.peak = 0; window.sampler = setInterval(() => {
        peak = Math.max(peak, performance.memory.usedJSHeapSize + HEAPU8.length); }, 20);""")
    started = time.time()
    driver.execute_script("location.hash = arguments[0]", hostile)
    said = wait_status("the link is larger", 30)
    took = time.time() - started
    m1 = memory()
    peak = driver.execute_script("clearInterval(sampler); return peak") / 1048576
    longest = driver.execute_script("return longestTask")
    check(said == "the link is larger than any recording (64 MB)" and took < 20
          and picture() == kept and peak - m0 < 48 and longest < 500,
          f"a hostile link of {len(hostile)} characters: '{said}' in {took:.2f} s; memory "
          f"{m0:.0f} -> {m1:.0f} MB, at most {peak:.0f} MB; the longest task {longest:.0f} ms")
    folder = tempfile.mkdtemp()
    big = os.path.join(folder, "big.mzr")
    with open(big, "wb") as f:
        f.write(b"# RMO Mazeblast replay, format 1\n")
        f.truncate(65 * 1048576)
    started = time.time()
    driver.find_element(By.ID, "replay-file").send_keys(big)
    said = wait_status("big.mzr", 5)
    check(said == "big.mzr is larger than any recording (64 MB)" and time.time() - started < 5
          and picture() == kept, f"a file of 65 MB: '{said}' in {time.time() - started:.2f} s")
    # A file of 5 MB, all its presses at one moment: read and watched in slices (the longest
    # task about 85 ms on a quiet machine, 600 with both cores busy and a build beside them).
    many = os.path.join(folder, "many.mzr")
    with open(many, "wb") as f:
        f.write(b"# RMO Mazeblast replay, format 1\nseed 1\nfloor 16\n" +
                b"at 0.000001 press 32\n" * (5 * 1048576 // 21))
    watch_tasks()
    driver.find_element(By.ID, "replay-file").send_keys(many)
    said = wait_status("replay verified", 30)
    longest = driver.execute_script("return longestTask")
    check(said == "replay verified: 0 checks; the recording ends at 0.000 s" and longest < 1500,
          f"a file of 5 MB of presses at one moment, read and watched in slices: '{said}', the "
          f"longest task {longest:.0f} ms")
    shutil.rmtree(folder)
    # Links of the text deflated, as links were made for a few hours before their own form,
    # are refused as any link of another form is.
    for broken, says in [("#replay=s8koyc2x4wIA", "the link holds no replay: a link of format 1, "
                          "not one this game reads (2)"),
                         ("#replay=@@", "the link holds no replay: it is not base64url"),
                         ("#replay=_wIAAAAAAA", "the link holds no replay: it is damaged or cut off")]:
        driver.execute_script("location.hash = arguments[0]", broken)
        said = wait_status("the link", 5)
        check(said == says and picture() == kept, f"{broken[:24]}: '{said}', the game as it was")
    errors = console_errors(driver)
    check(not errors, f"no error in the console, with replays: {errors}")
finally:
    driver.quit()

finish("browser test")

"""What the browser tests share: the page served from 127.0.0.1, headless Chromium driven by
Selenium (on a desktop or in phone emulation with touch), checks that count failures, and
reading the game's picture from its canvas."""
import base64
import json
import os
import re
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tools"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import serve_web  # noqa: E402
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)
    return ok


def finish(name):
    print(f"{len(failures)} failed" if failures else f"{name} passed")
    sys.exit(1 if failures else 0)


def serve(site):
    """Serves the folder on a free port of 127.0.0.1, as setup.sh web serves it; its address."""
    host = serve_web.server(site)
    threading.Thread(target=host.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{host.server_address[1]}/"


def chromium(window=None, phone=None):
    """Headless Chromium: a desktop window of that size, or a phone or tablet given as
    (width, height, device pixel ratio) with touch."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ["--headless=new", "--no-sandbox", "--disable-gpu",
                "--autoplay-policy=no-user-gesture-required", "--mute-audio",
                "--enable-precise-memory-info"]:
        options.add_argument(arg)
    if window:
        options.add_argument(f"--window-size={window[0]},{window[1]}")
    if phone:
        options.add_experimental_option("mobileEmulation", {"deviceMetrics": {
            "width": phone[0], "height": phone[1], "pixelRatio": phone[2], "touch": True}})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def watch_shifts(driver):
    """From the next page on, every layout shift is kept in window.shifts, with what moved
    from where to where and when."""
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
        window.shifts = [];
        const named = (n) => n ? (n.id ? '#' + n.id : n.nodeName) : '?';
        const box = (r) => `${r.x},${r.y} ${r.width}x${r.height}`;
        new PerformanceObserver((list) => {
          for (const e of list.getEntries())
            shifts.push({value: e.value, at: Math.round(e.startTime), moved: e.sources.map(
                (s) => `${named(s.node)} ${box(s.previousRect)} -> ${box(s.currentRect)}`)});
        }).observe({type: 'layout-shift', buffered: true});"""})


def layout_shift(driver):
    """The page's cumulative layout shift so far, and what moved (empty where nothing did)."""
    shifts = driver.execute_script("return window.shifts")
    if shifts is None:
        return float("nan"), "not watched"
    return sum(s["value"] for s in shifts), "; ".join(
        f"at {s['at']} ms {', '.join(s['moved'])}" for s in shifts)


def load_shift(driver, url, label=""):
    """Opens the page watching its layout shifts and checks that nothing moved as it loaded.
    Headless Chromium on a machine busy with builds once measured 0.005 there, where quiet
    runs, Lighthouse's throttled phone and twentyfold CPU throttling all measure 0: a shift is
    printed with what moved, and the page loaded once more must then show none."""
    watch_shifts(driver)
    open_page(driver, url)
    frame()
    shift, moved = layout_shift(driver)
    if shift != 0:
        print(f"     {label}layout shift {shift} at the first load: {moved}; loaded again")
        open_page(driver, url)
        frame()
        shift, moved = layout_shift(driver)
    check(shift == 0, f"{label}nothing moved as the page loaded: layout shift {shift}"
          + (f" ({moved})" if moved else ""))


def open_page(driver, url):
    driver.get(url)
    for _ in range(200):
        if driver.execute_script("return typeof Module !== 'undefined' && Module.firstFrameAt !== undefined"):
            return
        time.sleep(0.05)


def frame():
    time.sleep(0.1)  # the next animation frame


def pixel(driver, x, y):
    """The colour of the game's picture pixel (x, y)."""
    return tuple(driver.execute_script(
        "return Array.from(Module.mbPicture.getContext('2d')"
        ".getImageData(arguments[0], arguments[1], 1, 1).data.slice(0, 3));", x, y))


def picture_hash(driver):
    """The game's picture as tests/pictures.sh hashes it: SHA-256 of its pixels' R, G, B bytes,
    row after row; its first 16 digits."""
    import hashlib
    import io
    from PIL import Image
    png = driver.execute_script("return Module.mbPicture.toDataURL()").split(",")[1]
    pixels = Image.open(io.BytesIO(base64.b64decode(png))).convert("RGB").tobytes()
    return hashlib.sha256(pixels).hexdigest()[:16]


def golden_picture(name):
    """A screen's golden hash (tests/pictures/golden.txt)."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "pictures", "golden.txt")
    with open(path) as f:
        return dict(line.split() for line in f if line.strip())[name]


def count(driver, rgb, x0, y0, w, h):
    """How many pixels of a colour a rectangle of the picture holds."""
    return driver.execute_script("""
        const [r, g, b, x0, y0, w, h] = arguments;
        const d = Module.mbPicture.getContext('2d').getImageData(x0, y0, w, h).data;
        let n = 0;
        for (let i = 0; i < d.length; i += 4) n += d[i] === r && d[i + 1] === g && d[i + 2] === b;
        return n;""", *rgb, x0, y0, w, h)


def red_x(driver, x0, y0, w, h):
    """The mean x of the pure red pixels (the player) in a rectangle of the picture, or None."""
    return driver.execute_script("""
        const [x0, y0, w, h] = arguments;
        const d = Module.mbPicture.getContext('2d').getImageData(x0, y0, w, h).data;
        let sum = 0, n = 0;
        for (let i = 0; i < d.length; i += 4)
          if (d[i] === 255 && d[i + 1] === 0 && d[i + 2] === 0) { sum += x0 + (i / 4) % w; ++n; }
        return n ? sum / n : null;""", x0, y0, w, h)


def paused(driver):
    return sum(pixel(driver, x, 540) == (255, 255, 0) for x in range(352, 497, 2)) > 3


def on_page(driver, x, y):
    """Where the picture's pixel (x, y) stands on the page, in CSS pixels."""
    v = driver.execute_script("return Module.mbView()")
    return v["left"] + (x + 0.5) * v["width"] / 849, v["top"] + (y + 0.5) * v["height"] / 565


def console_errors(driver):
    return [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]


# The most of the page's main thread a level in play may take in these tests: a bound that
# catches a page that never rests, far above what a machine with both cores busy measures.
# Drawing only what changed takes 1-4 % on a quiet machine and up to 12.4 % with both cores
# busy beside the other tests (a full redraw of every changed frame took 15-18 % on a quiet
# one). The budget of 6 % is kept on a quiet machine by bench/page_main_thread.py.
MAIN_THREAD_BOUND = 0.40


def main_thread_share(driver, seconds):
    """The share of the page's main thread spent in tasks over the coming seconds."""
    def metrics():
        return {m["name"]: m["value"] for m in driver.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]}
    driver.execute_cdp_cmd("Performance.enable", {})
    m0 = metrics()
    time.sleep(seconds)
    m1 = metrics()
    return (m1["TaskDuration"] - m0["TaskDuration"]) / (m1["Timestamp"] - m0["Timestamp"])


def accessible_buttons(driver):
    """The names of every button the page shows to assistive technology."""
    nodes = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    return {n.get("name", {}).get("value") for n in nodes
            if n.get("role", {}).get("value") == "button" and not n.get("ignored")}


# The native scripted driver, which verifies what the page saves.
SIM = os.environ.get("MAZEBLAST_SIM", os.path.join(os.path.dirname(__file__), "../../build/release/mazeblast-sim"))


def save_replay(driver, press):
    """Presses Save replay with `press(element_id)` and returns the path of the file the page
    downloaded, or None."""
    folder = tempfile.mkdtemp()
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": folder})
    press("save-replay")
    for _ in range(100):
        done = [f for f in os.listdir(folder) if f.endswith(".mzr")]
        if done:
            return os.path.join(folder, done[0])
        time.sleep(0.1)
    return None


def verified_natively(path, what):
    """Checks the saved replay with the native driver: every check holds."""
    if not path:
        check(False, f"{what}: Save replay downloaded a file")
        return
    name = os.path.basename(path)
    check(re.fullmatch(r"mazeblast-\d{8}-\d{6}\.mzr", name) is not None,
          f"{what}: Save replay downloaded {name}")
    run = subprocess.run([SIM, "--replay", path], capture_output=True, text=True)
    check(run.returncode == 0 and re.fullmatch(r"replay verified: \d+ checks\n", run.stdout) is not None
          and not run.stdout.startswith("replay verified: 0 "),
          f"{what}: the native mazeblast-sim verified the page's replay: {run.stdout.strip()}"
          f"{run.stderr.strip()} (status {run.returncode}, {os.path.getsize(path)} bytes)")


def status(driver):
    return driver.execute_script("return document.getElementById('status').textContent")


def evenness(driver):
    """How evenly and sharply the page shows the title screen, measured on the screen's own
    pixels against the game's picture area-averaged to them (tests/evenness.py)."""
    import evenness as measure  # noqa: E402 (numpy and PIL, for this alone)
    v = driver.execute_script("return Object.assign(Module.mbView(), {dpr: devicePixelRatio})")
    dpr = v["dpr"]
    shot = driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png", "clip": {
        "x": 0, "y": 0, "width": driver.execute_script("return innerWidth"),
        "height": driver.execute_script("return innerHeight"), "scale": 1}, "captureBeyondViewport": False})
    folder = tempfile.mkdtemp()
    with open(os.path.join(folder, "screen.png"), "wb") as f:
        f.write(base64.b64decode(shot["data"]))
    picture = driver.execute_script("return Module.mbPicture.toDataURL()")
    with open(os.path.join(folder, "picture.png"), "wb") as f:
        f.write(base64.b64decode(picture.split(",")[1]))
    dump = subprocess.run([SIM], input="dump\n", capture_output=True, text=True).stdout
    box = (round(v["left"] * dpr), round(v["top"] * dpr), round(v["width"] * dpr),
           round(v["height"] * dpr))
    m = measure.measure(measure.load(os.path.join(folder, "screen.png")),
                        measure.load(os.path.join(folder, "picture.png")), box,
                        measure.sprites_of(json.loads(dump)), exact=True)
    m["times"] = v["times"]
    return m

#!/usr/bin/python3
"""How busy the browser edition keeps the page's main thread: ten seconds of a level-1 game
with no input, in headless Chromium, at scale 1 and 2 on a desktop and on a phone (844 x 390
CSS pixels at a device pixel ratio of 3), as the share of the time spent in tasks (DevTools'
Performance.getMetrics, TaskDuration). Run by hand after building the `web` preset:

    /usr/bin/python3 bench/page_main_thread.py build/web [RUNS]
"""
import os
import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
from page import chromium, main_thread_share, open_page, serve  # noqa: E402

url = serve(sys.argv[1])
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 1
for where, kind in [("scale 1", {"window": (1000, 800)}), ("scale 2", {"window": (1800, 1400)}),
                    ("phone", {"phone": (844, 390, 3)})]:
    shares = []
    for _ in range(runs):
        driver = chromium(**kind)
        try:
            open_page(driver, url)
            ActionChains(driver).key_down(Keys.ENTER).key_up(Keys.ENTER).perform()
            time.sleep(4.3)  # the countdown
            shares.append(100 * main_thread_share(driver, 10))
            scale = driver.execute_script("return Module.mbView().scale")
        finally:
            driver.quit()
    print(f"{where} ({scale:.2f} device pixels a game pixel): main thread busy "
          + ", ".join(f"{s:.1f}" for s in shares) + " %")

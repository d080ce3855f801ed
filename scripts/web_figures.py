"""Figures of the web page in headless Chromium: updates and renders a second over 10 s in the
title menu and in play, and the time of one render of the game's heaviest played frame (from
the frame benchmark page). Usage: web_figures.py <repository root> (serves build-web/ and
build-web-bench/ from there)."""
import functools
import http.server
import re
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *arguments):
        pass


def browser():
    options = webdriver.ChromeOptions()
    for argument in ['--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                     '--enable-unsafe-swiftshader', '--no-first-run',
                     '--disable-background-networking', '--disable-component-update',
                     '--disable-sync', '--disable-quic',
                     '--user-data-dir=' + tempfile.mkdtemp(prefix='vexadrome-figures-')]:
        options.add_argument(argument)
    options.binary_location = '/usr/bin/chromium'
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                           {'width': 640, 'height': 480, 'deviceScaleFactor': 1, 'mobile': False})
    return driver


def game(driver):
    return driver.execute_script('return Module.calledRun ? Module.nxPage.probe() : {}')


def rates(driver, seconds, during=None):
    """Updates and renders a second over `seconds`, with `during(elapsed)` called meanwhile."""
    first, start = game(driver), time.time()
    while time.time() - start < seconds:
        if during:
            during(time.time() - start)
        time.sleep(0.05)
    last, elapsed = game(driver), time.time() - start
    return ((last['updates'] - first['updates']) / elapsed,
            (last['renders'] - first['renders']) / elapsed)


def main():
    root = sys.argv[1]
    server = http.server.ThreadingHTTPServer(
        ('127.0.0.1', 0), functools.partial(QuietHandler, directory=root))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    base = 'http://127.0.0.1:%d/' % server.server_address[1]

    driver = browser()
    driver.get(base + 'build-web/index.html')
    while game(driver).get('mode') != 1 or game(driver).get('loading') != 0:
        time.sleep(0.1)
    time.sleep(1)
    menu = rates(driver, 10)
    ActionChains(driver).key_down(Keys.ENTER).pause(0.1).key_up(Keys.ENTER).perform()
    while game(driver).get('mode') != 10:
        time.sleep(0.1)
    held = [None]

    def steer(elapsed):
        # Back and forth between the paddles, a second each way, as a player keeps the ball busy.
        key = Keys.ARROW_LEFT if int(elapsed) % 2 == 0 else Keys.ARROW_RIGHT
        if key != held[0]:
            if held[0]:
                ActionChains(driver).key_up(held[0]).perform()
            ActionChains(driver).key_down(key).perform()
            held[0] = key
    play = rates(driver, 10, steer)
    driver.quit()

    driver = browser()
    driver.get(base + 'build-web-bench/bench_web_frame.html')
    frame = None
    deadline = time.time() + 300
    while frame is None and time.time() < deadline:
        for entry in driver.get_log('browser'):
            found = re.search(r'web_frame records=(\d+) render_us=([\d.]+) calls_us=([\d.]+)',
                              entry['message'])
            if found:
                frame = found.groups()
        time.sleep(0.5)
    driver.quit()
    server.shutdown()

    print('title menu: %.1f updates/s, %.1f renders/s over 10 s' % menu)
    print('in play:    %.1f updates/s, %.1f renders/s over 10 s' % play)
    if frame:
        print('heaviest played frame (%s records): one render %s us in the browser, '
              '%s us of it in the page\'s own calls' % frame)
    else:
        print('heaviest played frame: the benchmark page gave no figure')


if __name__ == '__main__':
    main()

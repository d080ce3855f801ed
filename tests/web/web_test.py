"""The web page in a real headless Chromium, served by a local static server: loading, the title
menu against the desktop build's picture, keys with sound, play, pause, saves across a reload,
a gamepad, a touch screen, refused storage and the refused Ogg file.
Usage: web_test.py <web build folder> <repository root> [unittest arguments]"""
import base64
import functools
import http.server
import os
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

SITE, ROOT = sys.argv[1], sys.argv[2]
MENU, IN_GAME = 1, 10

# Counts the sounds OpenAL hands to the page's audio context, from before the page's scripts run.
COUNT_SOUNDS = """
  window.soundsStarted = 0;
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function () {
    window.soundsStarted += 1; return start.apply(this, arguments); };"""

# The share of 16 x 16 blocks of two equal-sized pictures whose mean difference per channel
# exceeds `limit` levels.
COMPARE = """
  const [first, second, limit, done] = arguments;
  const pixels = (source) => new Promise((resolve) => {
    const image = new Image(), canvas = document.createElement('canvas');
    image.onload = () => {
      [canvas.width, canvas.height] = [image.width, image.height];
      canvas.getContext('2d').drawImage(image, 0, 0);
      resolve(canvas.getContext('2d').getImageData(0, 0, image.width, image.height));
    };
    image.src = 'data:image/png;base64,' + source;
  });
  Promise.all([pixels(first), pixels(second)]).then(([a, b]) => {
    if (a.width !== b.width || a.height !== b.height) return done(1);
    const sums = new Map();
    for (let k = 0; k < a.data.length; k++) if (k % 4 !== 3) {
      const pixel = k >> 2, block = ((pixel / a.width / 16) | 0) * 1000 + ((pixel % a.width) >> 4);
      sums.set(block, (sums.get(block) || 0) + Math.abs(a.data[k] - b.data[k]));
    }
    done([...sums.values()].filter((sum) => sum / 768 > limit).length / sums.size);
  });"""


class Page:
    """One browser with a fresh profile, showing the game at 640 x 480 CSS pixels."""

    def __init__(self, url, touch=False, before_load=''):
        options = webdriver.ChromeOptions()
        for argument in ['headless=new', 'no-sandbox', 'use-angle=swiftshader',
                         'enable-unsafe-swiftshader', 'no-first-run', 'disable-sync',
                         'disable-background-networking', 'disable-component-update',
                         'disable-quic', 'user-data-dir=' + tempfile.mkdtemp(prefix='vexadrome-')]:
            options.add_argument('--' + argument)
        options.binary_location = '/usr/bin/chromium'
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.cdp('Emulation.setDeviceMetricsOverride',
                 width=640, height=480, deviceScaleFactor=1, mobile=touch)
        if touch:
            self.cdp('Emulation.setTouchEmulationEnabled', enabled=True, maxTouchPoints=5)
        self.cdp('Page.addScriptToEvaluateOnNewDocument', source=COUNT_SOUNDS + before_load)
        self.url, self.log = url, []
        self.load()

    def cdp(self, command, **parameters):
        return self.driver.execute_cdp_cmd(command, parameters)

    def load(self):
        self.driver.get(self.url)
        self.wait(lambda game: game['mode'] == MENU and game['loading'] == 0, 30)
        time.sleep(1)  # the menu slides in

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def game(self):
        return self.js('return Module.calledRun ? Module.nxPage.probe() : {}')

    def wait(self, condition, seconds=5.0):
        deadline = time.time() + seconds
        while not (game := self.game()) or not condition(game):
            if time.time() > deadline:
                raise AssertionError('gave up waiting; the game is at %s' % game)
            time.sleep(0.05)
        return game

    def key(self, key, hold=0.1, settle=0.0):
        ActionChains(self.driver).key_down(key).pause(hold).key_up(key).perform()
        time.sleep(settle)

    def touch(self, kind, *points):
        self.cdp('Input.dispatchTouchEvent', type=kind,
                 touchPoints=[{'x': x, 'y': y, 'id': n} for n, (x, y) in enumerate(points)])

    def console(self, text=None, level=None):
        self.log += self.driver.get_log('browser')
        return [entry for entry in self.log
                if (text is None or text in entry['message']) and level in (None, entry['level'])]


class WebPageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        quiet = type('Quiet', (http.server.SimpleHTTPRequestHandler,),
                     {'log_message': lambda *_: None})  # the test's output is the test's
        handler = functools.partial(quiet, directory=SITE)
        cls.server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = 'http://127.0.0.1:%d/index.html' % cls.server.server_address[1]

    @classmethod
    def tearDownClass(cls):
        cls.server.shutdown()

    def open(self, **options):
        page = Page(self.url, **options)
        self.addCleanup(page.driver.quit)
        return page

    def test_loads_into_the_title_menu_like_the_desktop_build(self):
        page = self.open()
        self.assertEqual(page.js('return document.title'), 'Vexadrome')
        self.assertEqual(page.js('return document.getElementById("progress").value'), 1)
        self.assertEqual(page.console(level='SEVERE'), [])
        # Once the menu has slid in, the pictures agree but for the browser's and the desktop
        # driver's rounding in blending and filtering (a few levels) and the few small things
        # that move (the cog, the logo's shine). So: at most 3% of the 16 x 16 blocks may differ
        # by more than 16 levels on average; a missing texture, a wrong blend or colour order
        # or a shifted layout changes far more.
        with open(os.path.join(ROOT, 'docs/pictures/menu.png'), 'rb') as picture:
            desktop = base64.b64encode(picture.read()).decode()
        shot = page.driver.find_element('id', 'canvas').screenshot_as_base64
        self.assertLessEqual(page.driver.execute_async_script(COMPARE, shot, desktop, 16), 0.03)

    def test_keys_move_the_carousel_with_sound_and_play_pause_and_resume(self):
        page = self.open()
        selected, sounds = page.game()['menuSel'], page.js('return window.soundsStarted')
        page.key(Keys.ARROW_RIGHT)
        page.wait(lambda game: game['menuSel'] == selected + 1)
        self.assertGreater(page.js('return window.soundsStarted'), sounds)
        self.assertEqual(page.js('return AL.currentCtx.audioCtx.state'), 'running')
        # A page has nothing to quit to: back in the title menu and F4 leave it running.
        page.key(Keys.ESCAPE)
        page.key(Keys.F4, settle=0.3)
        page.wait(lambda game: game['mode'] == MENU)
        page.key(Keys.ENTER)
        start = page.wait(lambda game: game['mode'] == IN_GAME)
        time.sleep(0.5)
        page.key(Keys.ARROW_LEFT, 0.4)
        self.assertLess(page.game()['ballX'], start['ballX'])
        page.key(Keys.ESCAPE)
        page.wait(lambda game: game['paused'] == 1)
        time.sleep(0.5)  # the pause panel slides in
        page.key(Keys.ESCAPE)
        page.wait(lambda game: game['paused'] == 0)
        # Fullscreen is the page's: when the page leaves it (the player's Escape) the game knows.
        page.key(Keys.F11, settle=0.5)
        page.js('if (document.fullscreenElement) document.exitFullscreen()')
        page.wait(lambda game: game['fullscreen'] == 0)
        # Without Ogg Vorbis in the page, an Ogg file is refused and the console says why.
        page.js('Module.FS.writeFile("/data/tune.ogg", "OggS")')
        self.assertEqual(page.js('return Module.ccall("nx_web_LoadSound", "number", ["string"],'
                                 ' ["zarnik://data/tune.ogg"])'), 0)
        self.assertEqual(len(page.console('Ogg Vorbis sounds are not supported in this build')), 1)
        self.assertEqual(page.console(level='SEVERE'), [])

    def test_losing_focus_saves_and_a_reload_keeps_the_scores(self):
        page = self.open()
        stored = ('return new Promise((done) => { const open = indexedDB.open("/saves");'
                  ' open.onsuccess = () => { const get = open.result.transaction("FILE_DATA")'
                  '.objectStore("FILE_DATA").get("/saves/.zarnikstate");'
                  ' get.onsuccess = () => done(get.result ? get.result.timestamp : null); }; })')
        self.assertIsNone(page.js(stored))
        page.js('window.dispatchEvent(new Event("blur"))')
        page.wait(lambda game: game['suspended'])
        deadline = time.time() + 5
        while page.js(stored) is None and time.time() < deadline:
            time.sleep(0.1)
        self.assertIsNotNone(page.js(stored))
        page.js('window.dispatchEvent(new Event("focus"))')
        page.wait(lambda game: not game['suspended'])

        page.key(Keys.ENTER)
        page.wait(lambda game: game['mode'] == IN_GAME)
        time.sleep(0.5)
        for turn in range(12):  # at each paddle in turn until a hit scores
            page.key(Keys.ARROW_LEFT if turn % 2 == 0 else Keys.ARROW_RIGHT, 1.0)
            if (score := page.game()['score']) > 0:
                break
        self.assertGreater(score, 0)
        page.key(Keys.ESCAPE, settle=0.5)  # the pause menu, then its quit button
        page.key(Keys.ARROW_LEFT, settle=0.3)
        page.key(Keys.ENTER)
        self.assertIn(score, page.wait(lambda game: game['mode'] == MENU, 10)['highScores'])
        time.sleep(1)
        page.load()
        self.assertIn(score, page.game()['highScores'])

    def test_a_gamepad_moves_the_carousel(self):
        page = self.open(before_load="""
          const buttons = Array.from({length: 17}, () => ({pressed: false, value: 0}));
          window.pad = {id: 'pad', index: 0, connected: true, mapping: 'standard',
                        axes: [0, 0, 0, 0], buttons: buttons, timestamp: 0};
          navigator.getGamepads = () => [window.pad];""")
        selected = page.game()['menuSel']
        page.js('window.pad.buttons[15] = {pressed: true, value: 1}')  # d-pad right
        time.sleep(0.3)
        page.js('window.pad.buttons[15] = {pressed: false, value: 0}')
        page.wait(lambda game: game['menuSel'] == selected + 1)

    def test_a_touch_screen_plays_with_the_on_screen_pad(self):
        page = self.open(touch=True)
        self.assertTrue(page.js('return Module.nxPage.touchScreen'))
        page.touch('touchStart', (250, 310))  # the selected game type's card
        page.touch('touchEnd')
        start = page.wait(lambda game: game['mode'] == IN_GAME)
        self.assertEqual(page.js('return AL.currentCtx.audioCtx.state'), 'running')
        time.sleep(0.5)
        # The pad stands at its saved place, 64 units in from the lower left corner.
        page.touch('touchStart', (32, 416))  # its left arrow
        time.sleep(0.4)
        page.touch('touchEnd')
        self.assertLess(page.game()['ballX'], start['ballX'])

    def test_refused_storage_is_said_once_and_the_game_plays(self):
        page = self.open(before_load='indexedDB.open = () => { throw new Error("refused"); };')
        page.js('window.dispatchEvent(new Event("blur"))')
        page.wait(lambda game: game['suspended'])
        self.assertEqual(len(page.console('will not be kept')), 1)


if __name__ == '__main__':
    unittest.main(argv=sys.argv[:1] + sys.argv[3:], verbosity=2)

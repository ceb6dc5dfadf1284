"""Headless Chromium on a page folder served on localhost, through Selenium:
what the browser checks, the page's speed measurement and its screenshot share.

Chromium runs on SwiftShader (WebGL without a GPU), offline, with a profile
of its own that is thrown away afterwards, and without its sandbox, which
root and many test machines cannot give it."""

import contextlib
import functools
import http.server
import os
import shutil
import subprocess
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common import utils

CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'
CHROMIUM_FLAGS = [
    '--headless=new',
    '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader',
    '--disable-background-networking',
    '--disable-component-update',
    '--disable-sync',
    '--no-first-run',
    '--disable-quic',
    '--disable-gpu-driver-bug-workarounds',
    # chromedriver speaks to Chromium over a pipe, not by the name localhost.
    '--remote-debugging-pipe',
]

PHONE_USER_AGENT = ('Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) '
                    'Chrome/130.0 Mobile Safari/537.36')


class LoopbackService(Service):
    """chromedriver reached at 127.0.0.1 rather than by the name localhost,
    which a bare system without /etc/hosts cannot resolve."""

    @property
    def service_url(self):
        return 'http://127.0.0.1:%d' % self.port

    def is_connectable(self):
        return utils.is_connectable(self.port, '127.0.0.1')


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def page_with_scenes(page, web_scenes, work):
    """A copy of the page in `work`, with the benchmark scenes that web_scenes
    writes in its scenes/ folder; returns the copy's folder."""
    site = os.path.join(work, 'site')
    shutil.copytree(page, site)
    os.mkdir(os.path.join(site, 'scenes'))
    subprocess.run([web_scenes, 'write', os.path.join(site, 'scenes')], check=True)
    return site


@contextlib.contextmanager
def served(folder):
    """Serves `folder` on a free localhost port; yields the base address."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield 'http://127.0.0.1:%d/' % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


@contextlib.contextmanager
def chromium(width=1000, height=700, downloads=None, prefs=None, phone=None):
    """A headless Chromium session; `downloads` is the folder for downloads,
    `prefs` the profile's own settings, `phone` a (width, height, pixel ratio)
    to emulate a phone's touch screen at."""
    profile = tempfile.mkdtemp(prefix='grainvox-chromium-')
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for flag in CHROMIUM_FLAGS:
        options.add_argument(flag)
    options.add_argument('--user-data-dir=' + profile)
    options.add_argument('--window-size=%d,%d' % (width, height))
    # The browser only opens our own page on loopback; its sandbox needs user
    # namespaces, which root, a chroot, a container or AppArmor may deny.
    options.add_argument('--no-sandbox')
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    settings = dict(prefs or {})
    if downloads:
        settings.update({'download.default_directory': downloads, 'download.prompt_for_download': False})
    if settings:
        options.add_experimental_option('prefs', settings)
    if phone:
        phone_width, phone_height, ratio = phone
        options.add_experimental_option('mobileEmulation', {
            'deviceMetrics': {'width': phone_width, 'height': phone_height, 'pixelRatio': ratio, 'touch': True},
            'userAgent': PHONE_USER_AGENT})
    driver = webdriver.Chrome(service=LoopbackService(CHROMEDRIVER), options=options)
    try:
        if downloads:
            driver.execute_cdp_cmd('Page.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
        yield driver
    finally:
        driver.quit()
        shutil.rmtree(profile, ignore_errors=True)


def wait_for(condition, timeout, what, poll=0.05):
    """Polls `condition` until it returns something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError('waited %.0f s for %s' % (timeout, what))
        time.sleep(poll)


def open_page(driver, address, frames=3, timeout=60):
    """Loads the page and waits until it is ready and has drawn `frames` frames."""
    driver.get(address)
    wait_for(lambda: driver.execute_script(
        'return !!(window.grainvoxPage && grainvoxPage.isReady() && grainvoxPage.frames() >= %d)' % frames),
        timeout, 'the page to start at ' + address)


def frames(driver):
    return driver.execute_script('return grainvoxPage.frames()')

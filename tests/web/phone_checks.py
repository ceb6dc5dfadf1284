"""The page on a phone, as a link and offline, for browser_checks.py: in the
desktop session, the pointer picks the same cell at any pixel ratio, a shared
link opens the same box in a fresh tab, hostile links are refused and leave
the kept box, a starter scene loads; in a phone-emulated session (390 x 844
CSS pixels, 3 device pixels each, touch through the DevTools protocol), the
drawing buffer, the whole floor in portrait, pouring, turning and pinching
by touch, and the page playing on with its server gone."""

import base64
import os
import time
import zlib

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

import browser
import pictures

PHONE = (390, 844, 3)
DRAWN_RATIO = 2           # the page's cap on device pixels per CSS pixel
EDGE = 4                  # canvas columns at each side that show nothing of the floor
MOST_TOOLBAR_SHARE = 0.1  # of the phone's height
FINGER = (0.5, 0.52)      # where the finger pours, as a share of the canvas: on the floor
AROUND_FINGER = 80        # half the side of the square looked at, drawing-buffer pixels
SAND_AROUND_FINGER = 600
GESTURE_STEPS = 10
WRITTEN_SECONDS = 1.5       # the page keeps a changed box within a second


def check(condition, what):
    if not condition:
        raise AssertionError(what)
    print('ok:', what)


def base64url(data):
    return base64.urlsafe_b64encode(data).decode().rstrip('=')


def packed(data):
    squeeze = zlib.compressobj(9, zlib.DEFLATED, -15)  # raw deflate, as the page packs
    return base64url(squeeze.compress(data) + squeeze.flush())


def same_cell_at_any_ratio(s, size):
    """The pointer aims the pen at the same cell whatever the drawing buffer's pixel ratio."""
    pens = []
    for ratio in (1, DRAWN_RATIO):
        s.open('empty&paused&%s&ratio=%d' % (size, ratio))
        canvas = s.driver.find_element(By.ID, 'canvas')
        ActionChains(s.driver).move_to_element_with_offset(canvas, -60, 40).perform()
        ActionChains(s.driver).move_to_element_with_offset(canvas, 37, 71).perform()
        s.wait_frames(2)
        pens.append((s.driver.find_element(By.ID, 'pen').text, s.run('return document.getElementById("canvas").width')))
    check(pens[0][0] == pens[1][0] and pens[1][1] == DRAWN_RATIO * pens[0][1],
          'at pixel ratios 1 and %d the pointer picks the same cell (%s)' % (DRAWN_RATIO, pens[0][0]))


def shared_link(s, size, downloads):
    """Share puts the box in the address; a fresh tab opening it shows the same box."""
    s.open('empty&paused&' + size)
    s.keys('+++l3l')
    s.driver.find_element(By.ID, 'share-button').click()
    address = browser.wait_for(lambda: '#scene=' in s.driver.current_url and s.driver.current_url, 10,
                               'the link in the address')
    mine = s.kept_copy(downloads, 'shared')
    first = s.driver.current_window_handle
    s.driver.switch_to.new_window('tab')
    browser.open_page(s.driver, address)
    s.wait_message('loaded the link', 'the link to open')
    check(s.same_box(mine, s.save_box(downloads)) and '#' not in s.driver.current_url,
          'a shared link (%d characters) opened in a fresh tab shows the same box cell for cell' % len(address))
    s.driver.close()
    s.driver.switch_to.window(first)


def hostile_links(s, size, site, downloads):
    """Links that are not scenes, or would unpack past any scene, are refused
    with a message, and the box the tab kept is as it was."""
    with open(os.path.join(site, 'starters', 'hourglass.gvx'), 'rb') as source:
        scene = bytearray(source.read())
    scene[len(scene) // 2] ^= 1
    bomb = zlib.compressobj(9, zlib.DEFLATED, -15)
    links = [('not base64url', '%25%25%25'), ('not packed', base64url(bytes(range(256)) * 4)),
             ('packed text', packed(b'my notes\n')), ('a scene with a byte changed', packed(bytes(scene))),
             ('zeros past any scene', base64url(bomb.compress(bytes(64 << 20)) + bomb.flush()))]
    s.open('paused&' + size)
    s.keys('e+++l')
    kept = s.kept_copy(downloads, 'before-links')
    # Leaving at once could cut the page's write of the change short, which
    # its promise allows.
    time.sleep(WRITTEN_SECONDS)
    refused = []
    for what, link in links:
        s.driver.get('about:blank')
        s.open('paused&%s#scene=%s' % (size, link))
        browser.wait_for(lambda: 'the link is refused' in s.message(), 10, 'the link (%s) to be refused' % what)
        refused.append('%s: %s' % (what, s.message()))
        if not s.same_box(kept, s.save_box(downloads)):
            raise AssertionError('the link (%s) changed the kept box' % what)
    check(True, 'hostile links are refused and the kept box stays:\n  ' + '\n  '.join(refused))


def starter_scene(s, size, site, downloads):
    s.open('paused&' + size)
    s.driver.find_element(By.ID, 'starters-button').click()
    starter = browser.wait_for(lambda: s.driver.find_elements(By.CSS_SELECTOR, '#starters-list button'), 10,
                               'the starter scenes')[0]
    name, title = starter.get_attribute('data-file'), starter.text
    starter.click()
    s.wait_message('loaded ' + title, 'the starter scene to load')
    check(s.same_box(os.path.join(site, 'starters', name), s.save_box(downloads)),
          'the starter scene %s, chosen from the toolbar, loads' % title)


def touch(driver, kind, points=()):
    driver.execute_cdp_cmd('Input.dispatchTouchEvent', {
        'type': kind, 'touchPoints': [{'x': x, 'y': y, 'id': i} for i, (x, y) in enumerate(points)]})


def gesture(driver, start, end):
    """Fingers from `start` to `end` (lists of CSS points) in even steps, then lifted."""
    touch(driver, 'touchStart', start)
    for step in range(1, GESTURE_STEPS + 1):
        touch(driver, 'touchMove', [(a[0] + (b[0] - a[0]) * step / GESTURE_STEPS,
                                     a[1] + (b[1] - a[1]) * step / GESTURE_STEPS) for a, b in zip(start, end)])
    touch(driver, 'touchEnd')


def on_a_phone(session_for, site):
    with browser.chromium(phone=PHONE) as driver:
        with browser.served(site) as base:
            s = session_for(driver, base)
            s.open('empty')
            canvas = s.run('const c = document.getElementById("canvas"), r = c.getBoundingClientRect();'
                           'return {width: c.width, height: c.height, left: r.left, top: r.top,'
                           '        cssWidth: r.width, cssHeight: r.height,'
                           '        toolbar: document.getElementById("toolbar").offsetHeight};')
            check(canvas['width'] == DRAWN_RATIO * canvas['cssWidth'] and
                  canvas['height'] == DRAWN_RATIO * canvas['cssHeight'] and
                  canvas['toolbar'] <= MOST_TOOLBAR_SHARE * PHONE[1],
                  'on a phone at pixel ratio 3 the drawing buffer has %d pixels to the CSS pixel, and the toolbar '
                  'takes %d of %d pixels (%s)' % (DRAWN_RATIO, canvas['toolbar'], PHONE[1], canvas))
            width, height = canvas['width'], canvas['height']
            shot = s.picture('phone-start')
            sides = [s.count('lit', pictures.crop_ppm(shot, box)) for box in
                     [(0, 0, EDGE, height), (width - EDGE, 0, EDGE, height)]]
            check(s.count('lit', shot) > 0 and sides == [0, 0], 'in portrait the whole floor is inside the canvas')

            finger = (canvas['left'] + FINGER[0] * canvas['cssWidth'], canvas['top'] + FINGER[1] * canvas['cssHeight'])
            drawn = (int(FINGER[0] * width), int(FINGER[1] * height))
            around = (drawn[0] - AROUND_FINGER, drawn[1] - AROUND_FINGER, 2 * AROUND_FINGER, 2 * AROUND_FINGER)
            touch(driver, 'touchStart', [finger])
            try:
                browser.wait_for(lambda: s.count('sand', pictures.crop_ppm(s.picture('finger'), around))
                                 >= SAND_AROUND_FINGER, 30, 'sand to heap at the finger', poll=0.2)
            finally:
                touch(driver, 'touchEnd')
            check(True, 'one finger pours a heap where it points')

            s.keys(' ')
            browser.wait_for(lambda: s.driver.find_element(By.ID, 'paused').is_displayed(), 10, 'the paused label')
            middle = (canvas['left'] + canvas['cssWidth'] / 2, canvas['top'] + canvas['cssHeight'] / 2)
            before = s.picture('before-turn')
            gesture(driver, [(middle[0] - 40, middle[1]), (middle[0] + 40, middle[1])],
                    [(middle[0] + 40, middle[1]), (middle[0] + 120, middle[1])])
            s.wait_frames(2)
            turned = s.picture('turned')
            gesture(driver, [(middle[0] - 30, middle[1]), (middle[0] + 30, middle[1])],
                    [(middle[0] - 150, middle[1]), (middle[0] + 150, middle[1])])
            s.wait_frames(2)
            closer = s.picture('closer')
            check(s.count('changed', before, turned) > 0 and s.count('lit', closer) > s.count('lit', turned),
                  'two fingers dragged turn the box, and spread they bring it closer')
            check(s.run('return window.scrollY') == 0, 'and the page never scrolls')

            browser.wait_for(lambda: s.run('return !!navigator.serviceWorker.controller'), 30,
                             'the service worker to keep the page')
        driver.refresh()
        browser.wait_for(lambda: s.run('return !!(window.grainvoxPage && grainvoxPage.isReady())'), 60,
                         'the page to start with its server gone')
        s.wait_frames(10)
        check(True, 'with the server gone, a reload still opens and plays the page')
        s.take_console()
        errors = [e['message'] for e in s.console if e['level'] == 'SEVERE']
        check(not errors, 'no error in the phone\'s console' + ''.join('\n  ' + e for e in errors))

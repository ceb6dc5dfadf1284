"""The web page in headless Chromium, one browser session for all checks:
the page starts with no error in the console; pouring with the mouse heaps
sand around the pointer; keys change the material and the label says so;
pause stills the heap; a desktop scene file gives the desktop program's
picture; a saved file holds the box cell for cell, and the box survives a
reload. Runs on an X display (for the desktop program's picture).

  browser_checks.py PAGE_FOLDER DESKTOP_PROGRAM WEB_SCENES E2E_PIXELS PICTURE_AGREEMENT"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.mouse_button import MouseButton
from selenium.webdriver.common.actions.wheel_input import ScrollOrigin
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

import browser
import pictures

WIDTH, HEIGHT = 640, 480
SIZE = 'size=%dx%d' % (WIDTH, HEIGHT)
DESKTOP_TITLE = 'Grainvox 0.38'
POUR_AT = (WIDTH // 2, 330)       # over the floor in front of the middle, canvas pixels
AROUND_POINTER = 60               # half the side of the square looked at around it
SAND_AROUND_POINTER = 300         # sand pixels there that make a heap
FRAMES_TO_SETTLE = 10
# Keys pressed in turn and the material the label then names.
MATERIAL_KEYS = [('3', 'Oil'), ('3', 'Water'), ('4', 'Methane'), ('4', 'Hydrogen sulfide'), ('5', 'Glass'),
                 ('5', 'Wall'), ('1', 'Eraser'), ('p', 'Sand'), ('2', 'Fire'), ('2', 'Sand')]


class Session:
    def __init__(self, driver, base, work, tools):
        self.driver = driver
        self.base = base
        self.work = work
        self.pixels, self.scenes, self.agreement = tools
        self.console = []

    def run(self, script, *args):
        return self.driver.execute_script(script, *args)

    def open(self, query):
        browser.open_page(self.driver, self.base + 'index.html?' + query)

    def wait_frames(self, count):
        start = browser.frames(self.driver)
        browser.wait_for(lambda: browser.frames(self.driver) >= start + count, 20, '%d frames' % count)

    def picture(self, name):
        """The canvas's next frame as a PPM file in the scratch folder."""
        shot = self.driver.execute_async_script(
            'const done = arguments[arguments.length - 1]; grainvoxPage.capture().then(done);')
        return pictures.write_ppm(os.path.join(self.work, name + '.ppm'), shot)

    def count(self, what, *files):
        result = subprocess.run([self.pixels, what, *files], check=True, capture_output=True, text=True)
        return int(result.stdout)

    def keys(self, text):
        ActionChains(self.driver).send_keys(text).perform()

    def label(self):
        return self.driver.find_element(By.ID, 'material-name').text

    def take_console(self):
        self.console += self.driver.get_log('browser')

    def save_box(self, downloads):
        """Presses the page's save key; returns the downloaded file."""
        for name in os.listdir(downloads):
            os.remove(os.path.join(downloads, name))
        self.keys('w')
        saved = os.path.join(downloads, 'grainvox.gvx')
        browser.wait_for(lambda: os.path.exists(saved) and not any(n.endswith('.crdownload')
                                                                    for n in os.listdir(downloads)),
                         30, 'the saved scene to download')
        return saved

    def same_box(self, a, b):
        return subprocess.run([self.scenes, 'same', a, b]).returncode == 0


def check(condition, what):
    if not condition:
        raise AssertionError(what)
    print('ok:', what)


def canvas_point(driver, x, y):
    """Moves the pointer to canvas pixel (x, y)."""
    canvas = driver.find_element(By.ID, 'canvas')
    # Selenium's offsets count from the element's middle.
    return ActionChains(driver).move_to_element_with_offset(canvas, x - WIDTH // 2, y - HEIGHT // 2)


def pour_and_pause(s):
    s.open('empty&' + SIZE)
    s.take_console()
    check(not [e for e in s.console if e['level'] == 'SEVERE'], 'the page starts with no error in the console')

    around = (POUR_AT[0] - AROUND_POINTER, POUR_AT[1] - AROUND_POINTER, 2 * AROUND_POINTER, 2 * AROUND_POINTER)
    canvas_point(s.driver, *POUR_AT).click_and_hold().perform()

    def heaped():
        shot = s.picture('pour')
        return s.count('sand', pictures.crop_ppm(shot, around)) >= SAND_AROUND_POINTER
    try:
        browser.wait_for(heaped, 30, 'sand to heap around the pointer', poll=0.2)
    finally:
        ActionChains(s.driver).release().perform()
    # The pen pours from its height: grains are still falling when the world is paused.
    s.keys(' ')
    browser.wait_for(lambda: s.driver.find_element(By.ID, 'paused').is_displayed(), 10, 'the paused label')
    shot = s.picture('pour')
    whole = s.count('sand', shot)
    column = s.count('sand', pictures.crop_ppm(shot, (around[0], 0, around[2], HEIGHT)))
    check(column * 10 >= whole * 9,
          'pouring heaps sand around the pointer and in the column above it (%d of %d sand pixels there)'
          % (column, whole))

    first = s.picture('paused-first')
    s.wait_frames(FRAMES_TO_SETTLE)
    second = s.picture('paused-second')
    check(s.count('changed', first, second) == 0, 'paused, the heap stands still')
    s.keys(' ')
    s.wait_frames(FRAMES_TO_SETTLE)
    check(s.count('changed', second, s.picture('running')) > 0, 'running again, the grains move on')


def material_keys(s):
    for key, name in MATERIAL_KEYS:
        s.keys(key)
        browser.wait_for(lambda: s.label() == name, 10, "the label to say %s after '%s'" % (name, key))
    check(True, 'number keys and p choose the materials, and the label names each')

    def pen():
        size, x, y, z = map(int, re.findall(r'\d+', s.driver.find_element(By.ID, 'pen').text))
        return size, x, y, z
    size, x, y, z = pen()
    for key, expected in [(Keys.ARROW_LEFT, (size, x - 1, y, z)), (Keys.ARROW_DOWN, (size, x - 1, y, z + 1)),
                          ('-', (size - 1, x - 1, y, z + 1)), (Keys.PAGE_DOWN, (size - 1, x - 1, y - size + 1, z + 1))]:
        s.keys(key)
        browser.wait_for(lambda: pen() == expected, 10, 'the pen at %s after %r' % (expected, key))
    check(True, 'the arrow and page keys move the pen, - makes it smaller, and the label follows')
    s.keys('i')
    browser.wait_for(lambda: s.driver.find_element(By.ID, 'overlay').is_displayed(), 10, 'the overlay')
    s.keys('i')
    check(True, 'i stands in for F12 and shows the information overlay')


def canvas_and_pointer(s):
    """The canvas fills the window and follows it; the wheel zooms the box;
    a right-button drag turns it, and the canvas offers no context menu."""
    s.open('empty')
    fills = ('const stage = document.getElementById("stage"), canvas = document.getElementById("canvas");'
             'return canvas.width == stage.clientWidth && canvas.height == stage.clientHeight && canvas.width;')
    browser.wait_for(lambda: s.run(fills), 10, 'the canvas to fill the window')
    width = s.run(fills)
    s.driver.set_window_size(800, 600)
    browser.wait_for(lambda: s.run(fills) and s.run(fills) != width, 10, 'the canvas to follow the window')
    check(True, 'the canvas fills the window and follows its size')

    canvas = s.driver.find_element(By.ID, 'canvas')
    pen = lambda: s.driver.find_element(By.ID, 'pen').text
    ActionChains(s.driver).move_to_element_with_offset(canvas, -150, 60).perform()
    ActionChains(s.driver).move_to_element_with_offset(canvas, 80, 40).perform()
    s.wait_frames(2)
    aimed = pen()
    ActionChains(s.driver).click().perform()  # a button event aims at the pointer's own place
    s.wait_frames(2)
    check(aimed == pen(), 'the pen follows the pointer to where it stops (%s)' % aimed)

    before = s.picture('before-wheel')
    ActionChains(s.driver).scroll_from_origin(ScrollOrigin.from_element(canvas), 0, 600).perform()
    s.wait_frames(2)
    after = s.picture('after-wheel')
    check(s.count('lit', after) < s.count('lit', before) and s.run('return window.scrollY') == 0,
          'the wheel takes the camera farther, and the page does not scroll')

    drag = ActionBuilder(s.driver)
    drag.pointer_action.move_to(canvas, 0, 0).pointer_down(MouseButton.RIGHT)
    for _ in range(10):
        drag.pointer_action.move_by(8, 0)
    drag.pointer_action.pointer_up(MouseButton.RIGHT)
    drag.perform()
    s.wait_frames(2)
    menu_refused = s.run('const menu = new MouseEvent("contextmenu", {bubbles: true, cancelable: true});'
                         'return !document.getElementById("canvas").dispatchEvent(menu);')
    check(s.count('changed', after, s.picture('after-drag')) > 0 and menu_refused,
          'a right-button drag turns the box, with no context menu')


def picture_and_files(s, desktop_picture, scene_folder, downloads):
    scene = os.path.join(scene_folder, 'picture.gvx')
    s.open('empty&paused&' + SIZE)
    s.driver.find_element(By.ID, 'scene-picker').send_keys(scene)
    browser.wait_for(lambda: s.driver.find_element(By.ID, 'message').text.startswith('loaded'), 10,
                     'the picked scene to load')
    page_picture = s.picture('page')
    agreement = subprocess.run([s.agreement, page_picture, desktop_picture, str(pictures.AGREEMENT)],
                               capture_output=True, text=True)
    check(agreement.returncode == 0, 'the page draws the desktop scene as the desktop does: %s (at most %.4f)'
          % (agreement.stdout.strip(), pictures.AGREEMENT))

    check(s.same_box(scene, s.save_box(downloads)), 'the saved file holds the box cell for cell')
    s.keys('e')
    browser.wait_for(lambda: s.count('sand', s.picture('emptied')) == 0, 10, 'e to empty the box')
    s.keys('r')
    check(s.same_box(scene, s.save_box(downloads)), 'e empties the box and r loads the saved scene again')

    s.driver.execute_async_script('const done = arguments[arguments.length - 1]; grainvoxPage.keepBox().then(done);')
    s.open('paused&' + SIZE)
    check(s.same_box(scene, s.save_box(downloads)), 'the box survives a reload of the page')
    s.open('empty&paused&' + SIZE)
    check(s.same_box(os.path.join(scene_folder, 'empty.gvx'), s.save_box(downloads)), '?empty starts with an empty box')
    message = lambda: s.driver.find_element(By.ID, 'message').text
    drop = ('Promise.resolve(%s).then((bytes) => {'
            '  const files = new DataTransfer();'
            '  files.items.add(new File([bytes], "dropped.gvx"));'
            '  document.body.dispatchEvent(new DragEvent("drop", {dataTransfer: files, bubbles: true, cancelable: true}));'
            '});')
    s.run(drop % 'new Blob([new Uint8Array(Module._page_most_scene_bytes() + 1)])')
    browser.wait_for(lambda: message().endswith('more than any scene file'), 10,
                     'a file too large to be refused before it is read')
    s.run(drop % 'fetch("scenes/picture.gvx").then((answer) => answer.blob())')
    browser.wait_for(lambda: message().startswith('loaded'), 10, 'the dropped scene to load')
    check(s.same_box(scene, s.save_box(downloads)),
          'a scene file dropped on the page loads; one larger than any scene is refused before it is read')


def main(page, desktop, web_scenes, e2e_pixels, picture_agreement):
    work = tempfile.mkdtemp(prefix='grainvox-web-checks-')
    try:
        site = os.path.join(work, 'site')
        shutil.copytree(page, site)
        scene_folder = os.path.join(site, 'scenes')
        os.mkdir(scene_folder)
        subprocess.run([web_scenes, 'write', scene_folder], check=True)
        desktop_program = pictures.DesktopProgram(desktop, os.path.join(scene_folder, 'picture.gvx'),
                                                  WIDTH, HEIGHT, DESKTOP_TITLE, work)
        downloads = os.path.join(work, 'downloads')
        os.mkdir(downloads)
        try:
            with browser.served(site) as base, browser.chromium(downloads=downloads) as driver:
                s = Session(driver, base, work, (e2e_pixels, web_scenes, picture_agreement))
                pour_and_pause(s)
                material_keys(s)
                canvas_and_pointer(s)
                desktop_picture = desktop_program.picture(os.path.join(work, 'desktop.ppm'))
                picture_and_files(s, desktop_picture, scene_folder, downloads)
                s.take_console()
                errors = [e['message'] for e in s.console if e['level'] == 'SEVERE']
                check(not errors, 'no error in the console all along' + ''.join('\n  ' + e for e in errors))
        finally:
            desktop_program.close()
    finally:
        if os.environ.get('GRAINVOX_KEEP'):
            print('scratch kept in', work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    started = time.monotonic()
    main(*sys.argv[1:])
    print('browser checks passed in %.1f s' % (time.monotonic() - started))

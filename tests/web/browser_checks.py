"""The web page in headless Chromium, one browser session for all checks:
the page starts with no error in the console; pouring with the mouse heaps
sand around the pointer; keys change the material and the label says so;
pause stills the heap; a desktop scene file gives the desktop program's
picture; a saved file holds the box cell for cell, and the box survives a
reload; and the page on a phone, as a link and offline (phone_checks.py).
Runs on an X display (for the desktop program's picture).

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
import phone_checks
import pictures

WIDTH, HEIGHT = 640, 480
SIZE = 'size=%dx%d' % (WIDTH, HEIGHT)
DESKTOP_TITLE = 'Grainvox 0.38'
POUR_AT = (WIDTH // 2, 330)       # over the floor in front of the middle, canvas pixels
AROUND_POINTER = 60               # half the side of the square looked at around it
SAND_AROUND_POINTER = 300         # sand pixels there that make a heap
FRAMES_TO_SETTLE = 10
WRITTEN_SECONDS = 1.5       # the page writes a changed box within a second
FIRST_VERSION_WRITE = 5.5   # the first version wrote the box every 5 s
CONTROL = Keys.CONTROL
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

    def kept_copy(self, downloads, name):
        """The box as the save key downloads it, copied aside as NAME."""
        return shutil.copy(self.save_box(downloads), os.path.join(self.work, name + '.gvx'))

    def message(self):
        return self.driver.find_element(By.ID, 'message').text

    def wait_message(self, start, what):
        browser.wait_for(lambda: self.message().startswith(start), 10, what + ' (the message: %r)' % self.message())

    def undo(self):
        ActionChains(self.driver).key_down(CONTROL).send_keys('z').key_up(CONTROL).perform()
        self.wait_message('brought back', 'Ctrl+Z to bring the box back')

    def drop(self, blob, name='dropped.gvx'):
        """Drops a file made by the JavaScript expression `blob` on the page."""
        self.run('Promise.resolve(%s).then((bytes) => {'
                 '  const files = new DataTransfer();'
                 '  files.items.add(new File([bytes], "%s"));'
                 '  document.body.dispatchEvent(new DragEvent("drop", {dataTransfer: files, bubbles: true, cancelable: true}));'
                 '});' % (blob, name))

    def notice(self, id):
        shown = self.driver.find_element(By.ID, id)
        return shown.text if shown.is_displayed() else ''


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

    # A box that does not change, from a still camera, is drawn once and
    # left on the canvas; turning the camera draws it again.
    pictures_drawn = lambda: s.run('return Module._page_pictures_drawn()')
    s.wait_frames(3)
    before_still = pictures_drawn()
    s.wait_frames(20)
    still = pictures_drawn()
    shown = os.path.join(s.work, 'still.png')
    s.driver.save_screenshot(shown)
    subprocess.run(['convert', shown, shown[:-4] + '.ppm'], check=True)
    box = s.run('const r = document.getElementById("canvas").getBoundingClientRect();'
                'return [Math.ceil(r.left), Math.ceil(r.top), Math.floor(r.width), Math.floor(r.height)];')
    lit_shown = s.count('lit', pictures.crop_ppm(shown[:-4] + '.ppm', tuple(box)))
    drag = ActionBuilder(s.driver)
    drag.pointer_action.move_to(canvas, 0, 0).pointer_down(MouseButton.RIGHT).move_by(8, 0)
    drag.pointer_action.pointer_up(MouseButton.RIGHT)
    drag.perform()
    s.wait_frames(2)
    check(still == before_still and pictures_drawn() > still and lit_shown > 10000,
          'a still box is drawn once and stays shown (%d lit pixels); turning the camera draws it again'
          % lit_shown)


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
    s.drop('new Blob([new Uint8Array(Module._page_most_scene_bytes() + 1)])')
    browser.wait_for(lambda: s.message().endswith('more than any scene file'), 10,
                     'a file too large to be refused before it is read')
    s.drop('fetch("scenes/picture.gvx").then((answer) => answer.blob())')
    s.wait_message('loaded', 'the dropped scene to load')
    check(s.same_box(scene, s.save_box(downloads)),
          'a scene file dropped on the page loads; one larger than any scene is refused before it is read')


def refused_file_changes_nothing(s, scene_folder, downloads):
    """A refused file is not the page's scene: r reloads, and w saves to,
    the scene before it, also after a reload of the page."""
    scene = os.path.join(scene_folder, 'picture.gvx')
    s.open('paused&' + SIZE)
    s.driver.find_element(By.ID, 'scene-picker').send_keys(scene)
    s.wait_message('loaded', 'the picked scene to load')
    s.save_box(downloads)
    s.drop('fetch("scenes/picture.gvx").then((answer) => answer.arrayBuffer())'
           '.then((bytes) => new Blob([bytes.slice(0, bytes.byteLength / 2)]))')
    browser.wait_for(lambda: 'truncated' in s.message(), 10, 'the truncated scene to be refused')
    s.drop('new Blob(["my notes\\n"])', 'notes.gvx')
    browser.wait_for(lambda: 'not a Grainvox scene' in s.message(), 10, 'the text to be refused')
    s.keys('e')
    s.keys('r')
    check(s.same_box(scene, s.save_box(downloads)) and s.message().startswith('saved grainvox.gvx'),
          'after refused drops the box is as it was, r reloads the scene before them and w saves it (%s)'
          % s.message())
    s.open('paused&' + SIZE)
    s.keys('e')
    s.keys('r')
    s.wait_message('loaded grainvox.gvx', 'r to reload the scene after a reload of the page')
    check(s.same_box(scene, s.save_box(downloads)), 'and so after a reload of the page')


def kept_as_it_changes(s, scene_folder, downloads):
    """A reload a second after a change brings the change back; ?empty keeps
    the kept box; Ctrl+Z (and the Undo button) brings back the box that e,
    r, a dropped file or ?empty replaced."""
    s.open('paused&' + SIZE)
    time.sleep(WRITTEN_SECONDS)
    before = s.kept_copy(downloads, 'before-change')
    s.keys('+++l')
    time.sleep(1)
    s.open('paused&' + SIZE)
    changed = s.kept_copy(downloads, 'changed')
    check(not s.same_box(before, changed), 'a reload a second after a change brings the change back')

    s.open('empty&' + SIZE)
    time.sleep(FIRST_VERSION_WRITE)
    s.open('paused&' + SIZE)
    check(s.same_box(changed, s.save_box(downloads)), '?empty, left open for a while, leaves the kept box as it was')
    s.open('empty&paused&' + SIZE)
    s.undo()
    check(s.same_box(changed, s.save_box(downloads)), '?empty starts empty, and Ctrl+Z brings back the kept box')

    s.keys('e')
    s.undo()
    check(s.same_box(changed, s.save_box(downloads)), 'Ctrl+Z after e brings the box back')
    s.keys('r')
    s.wait_message('loaded grainvox.gvx', 'r to reload the scene')
    s.undo()
    check(s.same_box(changed, s.save_box(downloads)), 'Ctrl+Z after r brings the box back')
    s.drop('fetch("scenes/empty.gvx").then((answer) => answer.blob())')
    s.wait_message('loaded dropped.gvx', 'the dropped scene to load')
    s.driver.find_element(By.ID, 'undo-button').click()
    s.wait_message('brought back', 'the Undo button to bring the box back')
    check(s.same_box(changed, s.save_box(downloads)), 'the Undo button after a dropped file brings the box back')


def kept_boxes(s):
    """The kept boxes (time, cells, this tab or another), as the list shows them."""
    s.driver.find_element(By.ID, 'kept-button').click()
    browser.wait_for(lambda: s.driver.find_elements(By.CSS_SELECTOR, '#kept-list button'), 10, 'the kept boxes')
    return {b.text: b for b in s.driver.find_elements(By.CSS_SELECTOR, '#kept-list button')}


def two_tabs(s, downloads):
    """Two tabs of the page each keep their own box; one tab opens the
    other's from the list of kept boxes, and Ctrl+Z gives its own back."""
    first = s.driver.current_window_handle
    s.open('paused&' + SIZE)
    s.keys('e+++l')
    time.sleep(WRITTEN_SECONDS)
    mine = s.kept_copy(downloads, 'first-tab')
    s.driver.switch_to.new_window('tab')
    second = s.driver.current_window_handle
    s.open('paused&' + SIZE)
    s.keys('e3l')
    time.sleep(WRITTEN_SECONDS)
    theirs = s.kept_copy(downloads, 'second-tab')
    s.driver.switch_to.window(first)
    s.open('paused&' + SIZE)
    check(s.same_box(mine, s.save_box(downloads)), "a reload of the first tab brings back its box, not the second's")
    listed = kept_boxes(s)
    other = [text for text in listed if text.endswith('(open in another tab)')]
    check(len(other) == 1 and any(text.endswith('(this tab)') for text in listed),
          'the list of kept boxes shows both tabs\' boxes: %s' % list(listed))
    listed[other[0]].click()
    s.wait_message('the box kept on', 'the other tab\'s box to open')
    check(s.same_box(theirs, s.save_box(downloads)), "the first tab opens the second's box from the list")
    s.undo()
    check(s.same_box(mine, s.save_box(downloads)), 'and Ctrl+Z brings its own back')
    s.driver.switch_to.window(second)
    s.driver.close()
    s.driver.switch_to.window(first)


def unreadable_box_set_aside(s, downloads):
    """A kept box of another version is set aside as it is: a new visit says
    so, opens the next box, and writes its own elsewhere."""
    seed = ('const done = arguments[arguments.length - 1];'
            'fetch("scenes/picture.gvx").then((answer) => answer.arrayBuffer()).then((buffer) => {'
            '  const bytes = new Uint8Array(buffer);'
            '  bytes.set(new TextEncoder().encode("0.36"), 12);'
            '  return grainvoxStorage.keepBox({id: "other-version", bytes, changed: Date.now() + 60000, cells: 1});'
            '}).then(() => done("seeded"), (trouble) => done(String(trouble)));')
    kept = ('const done = arguments[arguments.length - 1];'
            'grainvoxStorage.boxes().then((boxes) => boxes.find((box) => box.id === "other-version"))'
            '.then((box) => done(box ? Array.from(box.bytes).join(",") : "gone"), (trouble) => done(String(trouble)));')
    first = s.driver.current_window_handle
    check(s.driver.execute_async_script(seed) == 'seeded', 'a box of Grainvox 0.36 is kept in the browser')
    seeded = s.driver.execute_async_script(kept)
    s.driver.switch_to.new_window('tab')
    s.open('paused&' + SIZE)
    browser.wait_for(lambda: 'Grainvox 0.36' in s.notice('kept-notice'), 10, 'the page to say it set a box aside')
    s.keys('e+++l')
    time.sleep(WRITTEN_SECONDS)
    unreadable = [text for text in kept_boxes(s) if 'cannot be read' in text]
    check(s.driver.execute_async_script(kept) == seeded and len(unreadable) == 1,
          'a new visit says the box of another version is set aside, lists it, and leaves it as it was')
    s.driver.close()
    s.driver.switch_to.window(first)


def storage_full(s):
    """A full storage is said on the page, and the box is written once it has
    room. The page is opened as localhost, an origin of its own, whose storage
    the browser has not measured yet: it measures once and then counts."""
    other = s.base.replace('127.0.0.1', 'localhost')
    origin = other.rstrip('/')
    s.driver.execute_cdp_cmd('Storage.overrideQuotaForOrigin', {'origin': origin, 'quotaSize': 1})
    browser.open_page(s.driver, other + 'index.html?paused&' + SIZE)
    s.keys('+++l')
    browser.wait_for(lambda: 'full' in s.notice('storage-trouble'), 10, 'the page to say its storage is full')
    check('save it with w' in s.notice('storage-trouble'), 'a full storage is said on the page, with the way out')
    s.driver.execute_cdp_cmd('Storage.overrideQuotaForOrigin', {'origin': origin})
    browser.wait_for(lambda: not s.notice('storage-trouble'), 15, 'the box to be written once there is room')
    check(True, 'once there is room again, the box is written and the notice goes')


def storage_blocked(base):
    """In a browser that keeps no data for the site, the page says so."""
    blocked = {'profile.default_content_setting_values.cookies': 2}
    with browser.chromium(prefs=blocked) as driver:
        browser.open_page(driver, base + 'index.html?' + SIZE)
        notice = driver.find_element(By.ID, 'storage-trouble')
        browser.wait_for(notice.is_displayed, 10, 'the page to say it cannot keep the box')
        check('save it with w' in notice.text, 'with the site\'s data blocked, the page says so: ' + notice.text)


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
        tools = (e2e_pixels, web_scenes, picture_agreement)
        try:
            with browser.served(site) as base, browser.chromium(downloads=downloads) as driver:
                s = Session(driver, base, work, tools)
                pour_and_pause(s)
                material_keys(s)
                canvas_and_pointer(s)
                desktop_picture = desktop_program.picture(os.path.join(work, 'desktop.ppm'))
                picture_and_files(s, desktop_picture, scene_folder, downloads)
                refused_file_changes_nothing(s, scene_folder, downloads)
                kept_as_it_changes(s, scene_folder, downloads)
                two_tabs(s, downloads)
                unreadable_box_set_aside(s, downloads)
                storage_full(s)
                phone_checks.same_cell_at_any_ratio(s, SIZE)
                phone_checks.shared_link(s, SIZE, downloads)
                phone_checks.hostile_links(s, SIZE, site, downloads)
                phone_checks.starter_scene(s, SIZE, site, downloads)
                s.take_console()
                errors = [e['message'] for e in s.console if e['level'] == 'SEVERE']
                check(not errors, 'no error in the console all along' + ''.join('\n  ' + e for e in errors))
                storage_blocked(base)
            phone_checks.on_a_phone(lambda driver, base: Session(driver, base, work, tools), site)
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

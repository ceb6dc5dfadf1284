"""Pours a small scene into the page in headless Chromium and saves the
whole page, toolbar and all, as a PNG: the README's picture of the page;
with PHONE.png, also the page on a phone (390 x 844, 3 device pixels to
the CSS pixel, touch) with a starter scene at work and the key help open.

  page_screenshot.py PAGE_FOLDER OUTPUT.png [PHONE.png]"""

import sys
import time

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.mouse_button import MouseButton
from selenium.webdriver.common.by import By

import browser

WINDOW = (960, 640)
PHONE = (390, 844, 3)
STARTER_SECONDS = 3  # the fire takes hold and the water starts down


def main(page, output):
    with browser.served(page) as base, browser.chromium(*WINDOW) as driver:
        browser.open_page(driver, base + 'index.html?empty')
        canvas = driver.find_element(By.ID, 'canvas')
        width, height = canvas.size['width'], canvas.size['height']

        def at(x, y):
            """An action chain with the pointer at canvas pixel (x, y)."""
            return ActionChains(driver).move_to_element_with_offset(canvas, x - width // 2, y - height // 2)

        def pour(x, y, seconds):
            at(x, y).click_and_hold().pause(seconds).release().perform()

        def press(keys):
            ActionChains(driver).send_keys(keys).perform()
            time.sleep(0.2)

        # A closer camera, looking a little more from above: a right-button drag upwards.
        press('aaaaaaaa')
        drag = ActionBuilder(driver)
        drag.pointer_action.move_to(canvas, 0, 0).pointer_down(MouseButton.RIGHT)
        for _ in range(12):
            drag.pointer_action.move_by(0, -2)
        drag.pointer_action.pointer_up(MouseButton.RIGHT)
        drag.perform()

        # Sand (selected at the start) in a heap in the middle, from a wide pen.
        press('++')
        pour(width // 2, int(height * 0.62), 5)
        # Oil to the left, then Water to the right.
        press('3')
        pour(int(width * 0.33), int(height * 0.66), 3)
        press('3')
        pour(int(width * 0.67), int(height * 0.66), 3)
        time.sleep(2)
        # A little fire dropped on the oil.
        press('2---')
        pour(int(width * 0.31), int(height * 0.62), 0.6)
        # The pen marker goes to the back corner, out of the scene's way.
        at(int(width * 0.85), int(height * 0.25)).perform()
        press('i')
        time.sleep(1)
        driver.save_screenshot(output)
    print('wrote', output)


def phone(page, output):
    with browser.served(page) as base, browser.chromium(phone=PHONE) as driver:
        browser.open_page(driver, base + 'index.html?empty')
        driver.find_element(By.ID, 'starters-button').click()
        starters = browser.wait_for(lambda: driver.find_elements(By.CSS_SELECTOR, '#starters-list button'), 10,
                                    'the starter scenes')
        next(button for button in starters if button.get_attribute('data-file') == 'fire_and_water.gvx').click()
        driver.execute_script('document.getElementById("toolbar").scrollLeft = 0;')  # the materials first
        time.sleep(STARTER_SECONDS)
        driver.save_screenshot(output)
    print('wrote', output)


if __name__ == '__main__':
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    main(*sys.argv[1:3])
    if len(sys.argv) == 4:
        phone(sys.argv[1], sys.argv[3])

"""Frames per second of the page for the 20,000-cell heap on a phone-sized
canvas (390 x 795 CSS pixels) at device pixel ratios 1, 2 (the page's cap)
and 3, in headless Chromium on SwiftShader: what the cap on the drawing
buffer saves. Prints a table.

  pixel_ratio_speed.py PAGE_FOLDER WEB_SCENES"""

import shutil
import sys
import tempfile
import time

import browser

CANVAS = '390x795'
RATIOS = [1, 2, 3]
WARM_UP_SECONDS = 2.0
MEASURED_SECONDS = 6.0


def main(page, web_scenes):
    work = tempfile.mkdtemp(prefix='grainvox-ratio-speed-')
    try:
        site = browser.page_with_scenes(page, web_scenes, work)
        with browser.served(site) as base, browser.chromium() as driver:
            print('ratio  drawing buffer  frames/s')
            for ratio in RATIOS:
                browser.open_page(driver, '%sindex.html?scene=scenes/heap_20k.gvx&size=%s&ratio=%d'
                                  % (base, CANVAS, ratio))
                time.sleep(WARM_UP_SECONDS)
                start_frames, start = browser.frames(driver), time.monotonic()
                time.sleep(MEASURED_SECONDS)
                fps = (browser.frames(driver) - start_frames) / (time.monotonic() - start)
                size = driver.execute_script('const c = document.getElementById("canvas");'
                                             'return c.width + " x " + c.height;')
                print('%5d  %14s  %8.1f' % (ratio, size, fps))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])

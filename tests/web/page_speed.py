"""The page's speed and weight, beside the desktop program's batched frame:
frames per second in headless Chromium on SwiftShader for the bench scenes,
each loaded from a scene file into a 640 x 480 canvas and running, drawn
whole every frame as before meshes were kept (?whole-frames) and with kept
meshes, beside the desktop's frame drawn both ways; what a
browser downloads, each file compressed as a web server would (gzip -9); and
how the page's picture of each scene, paused, agrees with the desktop
program's. Prints a table.

  page_speed.py PAGE_FOLDER WEB_SCENES BENCH_JSON [DESKTOP_PROGRAM PICTURE_AGREEMENT]

BENCH_JSON holds grainvox-bench's timings (--benchmark_format=json) of the
desktop's frames (Frame/<scene>/drawn/{today,kept}); with the desktop program and the agreement tool
(on an X display), the pictures are compared too."""

import gzip
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

import browser
import pictures

WIDTH, HEIGHT = 640, 480
WARM_UP_SECONDS = 1.0
MEASURED_SECONDS = 4.0
# The page's scene file, and the desktop bench's name for the same scene.
SCENES = [('empty.gvx', 'empty'), ('heap_20k.gvx', 'heap_20k'), ('heap_100k.gvx', 'heap_100k'),
          ('mixed_100k.gvx', 'mixed_100k'), ('full_box.gvx', 'full_box_500k')]
# The page's address for each way of drawing, and the bench's name for it.
HOWS = [('&whole-frames', 'today'), ('', 'kept')]
# The scenes that stand still, so that the running desktop program shows what
# the paused page does (the mixed cells burn and drift).
PICTURE_SCENES = ['picture.gvx', 'heap_20k.gvx', 'full_box.gvx']


def page_fps(driver, base, scene, how):
    browser.open_page(driver, '%sindex.html?scene=scenes/%s&size=%dx%d%s' % (base, scene, WIDTH, HEIGHT, how))
    time.sleep(WARM_UP_SECONDS)
    start_frames, start = browser.frames(driver), time.monotonic()
    time.sleep(MEASURED_SECONDS)
    return (browser.frames(driver) - start_frames) / (time.monotonic() - start)


def desktop_fps(bench_json):
    with open(bench_json) as source:
        runs = json.load(source)['benchmarks']
    fps = {}
    for run in runs:
        parts = run['name'].split('/')
        if len(parts) >= 4 and parts[0] == 'Frame' and parts[2] == 'drawn':
            milliseconds = run['real_time'] * {'ms': 1, 'us': 1e-3, 'ns': 1e-6, 's': 1e3}[run['time_unit']]
            fps[(parts[1], parts[3])] = 1000.0 / milliseconds
    return fps


def weight(folder):
    files = sorted(os.path.relpath(os.path.join(place, name), folder)
                   for place, _, names in os.walk(folder) for name in names)
    sizes = {}
    for name in files:
        if name.startswith('scenes' + os.sep):
            continue
        with open(os.path.join(folder, name), 'rb') as source:
            sizes[name] = len(gzip.compress(source.read(), compresslevel=9))
    return sizes


def picture_agreement(driver, base, work, scene, desktop, tool):
    browser.open_page(driver, '%sindex.html?scene=scenes/%s&paused&size=%dx%d' % (base, scene, WIDTH, HEIGHT))
    shot = driver.execute_async_script('const done = arguments[arguments.length - 1]; grainvoxPage.capture().then(done);')
    page = pictures.write_ppm(os.path.join(work, 'page-' + scene + '.ppm'), shot)
    program = pictures.DesktopProgram(desktop, os.path.join(work, 'site', 'scenes', scene), WIDTH, HEIGHT,
                                      'Grainvox 0.38', work)
    try:
        own = program.picture(os.path.join(work, 'desktop-' + scene + '.ppm'))
    finally:
        program.close()
    result = subprocess.run([tool, page, own], capture_output=True, text=True, check=True)
    return float(result.stdout.split()[0])


def main(page, web_scenes, bench_json, desktop=None, agreement_tool=None):
    work = tempfile.mkdtemp(prefix='grainvox-web-speed-')
    try:
        site = browser.page_with_scenes(page, web_scenes, work)
        desktop_rates = desktop_fps(bench_json)
        with browser.served(site) as base, browser.chromium() as driver:
            print('frames per second, %d x %d, drawn whole every frame (today) and with kept meshes:' % (WIDTH, HEIGHT))
            print('  %-16s %11s %11s %15s %15s' % ('scene', 'page today', 'page kept', 'desktop today',
                                                    'desktop kept'))
            for scene, bench_name in SCENES:
                rates = ['%.1f' % page_fps(driver, base, scene, how) for how, _ in HOWS]
                for _, name in HOWS:
                    desktop_rate = desktop_rates.get((bench_name, name))
                    rates.append('%.1f' % desktop_rate if desktop_rate else 'not measured')
                print('  %-16s %11s %11s %15s %15s' % tuple([scene[:-4]] + rates))
            if desktop and agreement_tool:
                print('pixels off by more than 16 levels from the desktop program\'s picture, paused:')
                for scene in PICTURE_SCENES:
                    share = picture_agreement(driver, base, work, scene, desktop, agreement_tool)
                    print('  %-16s %9.3f%%' % (scene[:-4], 100 * share))
        sizes = weight(page)
        print('weight, each file gzip -9 as a web server sends it:')
        for name, size in sizes.items():
            print('  %-28s %9d bytes' % (name, size))
        print('  %-28s %9d bytes (%.0f KB)' % ('total', sum(sizes.values()), sum(sizes.values()) / 1024))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == '__main__':
    if len(sys.argv) not in (4, 6):
        sys.exit(__doc__)
    main(*sys.argv[1:])

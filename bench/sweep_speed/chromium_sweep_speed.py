"""The WebAssembly build of the sweep timing run in headless Chromium, the
browser the page's checks use, instead of Node: prints what it prints.

  chromium_sweep_speed.py MODULE_JS [FRAMES [REPEATS]]

MODULE_JS is grainvox-sweep-speed.js from the emscripten build (it carries
its module inside). Exits with the program's own status."""

import json
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tests', 'web'))
import browser  # noqa: E402

LONGEST_RUN_SECONDS = 900
PAGE = '''<!doctype html><meta charset="utf-8"><title>sweep speed</title>
<script>
var sweepLines = [];
var Module = {
  arguments: %s,
  print: function (line) { sweepLines.push(line); },
  printErr: function (line) { sweepLines.push(line); },
  onExit: function (status) { window.sweepStatus = status; }
};
</script>
<script src="sweep.js"></script>
'''


def main(module, *arguments):
    folder = tempfile.mkdtemp(prefix='grainvox-sweep-speed-')
    try:
        shutil.copy(module, os.path.join(folder, 'sweep.js'))
        with open(os.path.join(folder, 'index.html'), 'w') as page:
            page.write(PAGE % json.dumps(list(arguments)))
        with browser.served(folder) as base, browser.chromium() as driver:
            driver.get(base + 'index.html')
            status = browser.wait_for(
                lambda: driver.execute_script('return window.sweepStatus === undefined ? null : [window.sweepStatus]'),
                LONGEST_RUN_SECONDS, 'the sweep timing to finish')[0]
            for line in driver.execute_script('return sweepLines'):
                print(line)
        return status
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == '__main__':
    if not 2 <= len(sys.argv) <= 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))

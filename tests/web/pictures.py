"""Pictures for the page's checks, as binary PPM files (what tests/e2e's
pixel counter and tests/render's agreement tool read): the page's canvas and
the desktop program's window."""

import base64
import re
import signal
import subprocess
import time

# The page's picture of a still scene agrees with the desktop program's when
# at most this share of pixels differ by more than 16 levels in a channel
# (grainvox-picture-agreement). The desktop writes the material's name into
# its picture, the page beside it; with that, 0.10% was measured.
AGREEMENT = 0.003

IMPORT = '/usr/bin/import'  # ImageMagick's
MESSAGE_SECONDS = 4.5      # the desktop's messages show for 4 s


def write_ppm(path, shot):
    """Writes the page's capture (RGBA rows bottom up, base64) as a PPM."""
    width, height = shot['width'], shot['height']
    rgba = base64.b64decode(shot['rgba'])
    row = width * 4
    rows = []
    for y in range(height - 1, -1, -1):
        line = rgba[y * row:(y + 1) * row]
        rgb = bytearray(width * 3)
        for channel in range(3):
            rgb[channel::3] = line[channel::4]
        rows.append(bytes(rgb))
    with open(path, 'wb') as out:
        out.write(b'P6\n%d %d\n255\n' % (width, height))
        out.write(b''.join(rows))
    return path


def read_ppm(path):
    """(width, height, RGB bytes with rows top first) of a binary PPM."""
    with open(path, 'rb') as source:
        data = source.read()
    header = re.match(rb'P6\s+(?:#[^\n]*\n\s*)*(\d+)\s+(\d+)\s+(\d+)\s', data)
    if not header or header.group(3) != b'255':
        raise ValueError(path + ' is not an 8-bit binary PPM')
    width, height = int(header.group(1)), int(header.group(2))
    pixels = data[header.end():header.end() + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError(path + ' is cut short')
    return width, height, pixels


def crop_ppm(path, box):
    """The part (x, y, width, height) of a PPM, as a PPM beside it."""
    width, height, pixels = read_ppm(path)
    x, y, w, h = box
    x, y = max(x, 0), max(y, 0)
    w, h = min(w, width - x), min(h, height - y)
    rows = [pixels[((y + j) * width + x) * 3:((y + j) * width + x + w) * 3] for j in range(h)]
    cropped = path[:-len('.ppm')] + '-part.ppm'
    with open(cropped, 'wb') as out:
        out.write(b'P6\n%d %d\n255\n' % (w, h))
        out.write(b''.join(rows))
    return cropped


class DesktopProgram:
    """The desktop program on the current X display with a scene file, in a
    window of width x height. It is stopped while it is not looked at, and
    its picture is taken once its start-up message has gone (the message's
    time from when it runs again) and two pictures in a row agree (the
    scene stands still)."""

    def __init__(self, program, scene, width, height, title, workdir, timeout=30):
        self.size = width * height * 3
        self.timeout = timeout
        self.process = subprocess.Popen([program, '-geometry', '%dx%d+0+0' % (width, height), scene],
                                        cwd=workdir, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        found = subprocess.run(['timeout', str(timeout), 'xdotool', 'search', '--sync', '--onlyvisible', '--name',
                                '^%s$' % title], capture_output=True, text=True)
        if not found.stdout.split():
            self.close()
            raise AssertionError('the desktop program showed no window titled ' + title)
        self.window = found.stdout.split()[0]
        self.process.send_signal(signal.SIGSTOP)

    def picture(self, out):
        self.process.send_signal(signal.SIGCONT)
        # Its window shows before it loads the scene: stopped in between, it
        # shows the start-up message from now on.
        time.sleep(MESSAGE_SECONDS)
        deadline = time.monotonic() + self.timeout
        last = None
        while True:
            subprocess.run([IMPORT, '-window', self.window, '-depth', '8', 'ppm:' + out], check=True,
                           stderr=subprocess.DEVNULL)
            with open(out, 'rb') as shot:
                now = shot.read()
            if now == last and any(now[-self.size:]):
                self.process.send_signal(signal.SIGSTOP)
                return out
            if time.monotonic() > deadline:
                raise AssertionError('the desktop picture never settled')
            last = now
            time.sleep(0.2)

    def close(self):
        self.process.kill()
        self.process.wait()

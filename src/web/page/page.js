'use strict';
// The page around the Grainvox module (grainvox.js): the canvas that fills
// the window, the toolbar, the text beside the canvas, the wheel, scene files
// in and out, undo, and the boxes kept in the browser's storage
// (page_storage.js), one for each tab, written as the box changes.
// The module calls window.grainvoxPage; the page calls the module's page_*
// functions.
//
// Address parameters: ?empty starts with an empty box; ?scene=URL loads that
// scene file; ?paused starts paused; ?size=WxH fixes the canvas's size (in
// CSS pixels) instead of following the window; ?ratio=N draws N device
// pixels to the CSS pixel instead of the screen's own. A fragment #scene=...
// is a shared box (page_link.js).

(function () {
  const params = new URLSearchParams(window.location.search);
  const canvas = document.getElementById('canvas');
  const stage = document.getElementById('stage');
  const element = (id) => document.getElementById(id);

  const KEY_SPACE = 32;
  const KEY_UNDO = 26;            // Ctrl+Z, as the program takes it
  const KEEP_CHECK_MS = 250;      // a change by the visitor is written within this long
  const KEEP_RUNNING_MS = 1000;   // and the running world's own changes within this long
  const RETRY_STORAGE_MS = 5000;  // after storage failed, the next write waits this long
  const OWN_SLOT_WAIT_MS = 2000;  // for the page before a reload to let the tab's slot go
  const KEPT_BOXES = 10;          // the boxes kept beyond those open in tabs and those set aside
  const WHEEL_PIXELS_PER_STEP = 100;
  const WHEEL_LINES_PER_STEP = 3;
  // Device pixels drawn per CSS pixel, at most: past 2 a phone's picture looks
  // no sharper, while the pixels to draw grow with the square (README).
  const MOST_PIXEL_RATIO = 2;
  const STARTERS = 'starters/';

  const link = window.grainvoxLink;

  const store = window.grainvoxStorage;
  const materials = [];
  const shown = {};
  let ready = false;
  let failed = false;
  let running = true;

  // This tab's box in storage: its slot, the bytes written there last, and
  // whether the box may have changed since.
  const tab = { slot: null, release: null, written: null, touched: false, pointerHeld: false, writing: false,
    retryAt: 0 };

  function module() { return window.Module; }
  function text(pointer) { return module().UTF8ToString(pointer); }

  function showFailure(reason) {
    failed = true;
    const box = element('failure');
    box.textContent = 'Grainvox cannot run here: ' + reason;
    box.hidden = false;
  }

  // Text is touched only where it changed: this runs after every frame.
  function setText(id, value) {
    if (shown[id] === value) return;
    shown[id] = value;
    element(id).textContent = value;
  }

  function cssColour(red, green, blue) {
    const channel = (value) => Math.round(Math.min(Math.max(value, 0), 1) * 255);
    return 'rgb(' + channel(red) + ',' + channel(green) + ',' + channel(blue) + ')';
  }

  function addMaterial(id, name, red, green, blue) {
    const button = document.createElement('button');
    button.className = 'material';
    button.textContent = name;
    button.title = name;
    button.style.background = cssColour(red, green, blue);
    if (0.3 * red + 0.6 * green + 0.1 * blue > 0.5) button.classList.add('light');
    button.addEventListener('click', () => module()._page_select_material(id));
    keepFocusOff(button);
    element('materials').appendChild(button);
    materials[id] = { name, colour: cssColour(red, green, blue), button };
  }

  function showStatus(material, pen, paused, message, overlay) {
    if (shown.material !== material) {
      if (materials[shown.material]) materials[shown.material].button.classList.remove('selected');
      shown.material = material;
      const chosen = materials[material];
      if (chosen) {
        chosen.button.classList.add('selected');
        element('material-name').textContent = chosen.name;
        element('swatch').style.background = chosen.colour;
      }
    }
    setText('pen', pen);
    setText('message', message);
    setText('overlay', overlay);
    element('overlay').hidden = overlay === '';
    element('paused').hidden = !paused;
    running = !paused;
    setText('pause-button', paused ? 'Run' : 'Pause');
  }

  function pixelRatio() {
    const asked = Number(params.get('ratio'));
    return asked > 0 ? asked : Math.min(window.devicePixelRatio || 1, MOST_PIXEL_RATIO);
  }

  // The canvas fills the stage, in CSS pixels, unless ?size fixes it; its
  // drawing buffer has the screen's pixels. The program counts in the
  // buffer's pixels, the pointer's included (GLUT scales them).
  function fitCanvas() {
    const fixed = /^(\d+)x(\d+)$/.exec(params.get('size') || '');
    const width = fixed ? Number(fixed[1]) : stage.clientWidth;
    const height = fixed ? Number(fixed[2]) : stage.clientHeight;
    if (!(width > 0 && height > 0)) return;
    const ratio = pixelRatio();
    const drawnWidth = Math.round(width * ratio);
    const drawnHeight = Math.round(height * ratio);
    if (canvas.width !== drawnWidth || canvas.height !== drawnHeight) module()._page_resize(drawnWidth, drawnHeight);
    canvas.style.width = width + 'px';
    canvas.style.height = height + 'px';
    module()._page_fit_view(drawnWidth, drawnHeight);
  }

  // Toolbar buttons never take the keyboard focus, so that Space and the
  // other keys keep going to the box.
  function keepFocusOff(button) {
    button.tabIndex = -1;
    button.addEventListener('mousedown', (event) => event.preventDefault());
  }

  function toggle(id) { element(id).hidden = !element(id).hidden; }

  // What the toolbar's own buttons do, by their action in the table.
  const actions = {
    undo: () => pressKey(KEY_UNDO),
    share: () => share().catch(reportTrouble),
    starters: () => {
      if (element('starters').hidden) showStarters().catch(reportTrouble);
      else element('starters').hidden = true;
    },
    kept: () => {
      if (element('kept').hidden) showKeptBoxes().catch(reportTrouble);
      else element('kept').hidden = true;
    },
    help: () => toggle('help'),
  };

  function groupFor(name) {
    let group = element('group-' + name);
    if (group) return group;
    group = document.createElement('div');
    group.className = 'group';
    group.id = 'group-' + name;
    group.setAttribute('aria-label', name);
    const caption = document.createElement('span');
    caption.className = 'caption';
    caption.textContent = name;
    group.appendChild(caption);
    element('toolbar').appendChild(group);
    return group;
  }

  function keysOf(control) { return control.keys + (control.desktop ? ' (' + control.desktop + ' on the desktop)' : ''); }

  // The toolbar and the key help, both from the one table of controls.
  function buildControls() {
    const help = element('help-keys');
    for (const control of window.grainvoxControls) {
      if (control.label) {
        const button = document.createElement('button');
        button.textContent = control.label;
        button.title = control.does + (control.keys ? ' (' + keysOf(control) + ')' : '');
        if (control.id) button.id = control.id;
        if (control.key !== undefined) button.addEventListener('click', () => pressKey(control.key.charCodeAt(0)));
        else if (control.special !== undefined)
          button.addEventListener('click', () => module()._page_press_special_key(control.special));
        else button.addEventListener('click', actions[control.action]);
        keepFocusOff(button);
        groupFor(control.group).appendChild(button);
      }
      if (control.keys) {
        const row = help.insertRow();
        row.insertCell().textContent = keysOf(control);
        row.insertCell().textContent = control.does;
      }
    }
  }

  // The wheel turns the camera distance, never the page: a step for each
  // notch, however the browser counts them.
  function wireWheel() {
    let steps = 0;
    canvas.addEventListener('wheel', (event) => {
      event.preventDefault();
      const per_step = event.deltaMode === WheelEvent.DOM_DELTA_PIXEL ? WHEEL_PIXELS_PER_STEP
        : event.deltaMode === WheelEvent.DOM_DELTA_LINE ? WHEEL_LINES_PER_STEP : 1;
      steps += event.deltaY / per_step;
      while (Math.abs(steps) >= 1) {
        const outward = steps > 0;
        module()._page_zoom(outward ? 1 : 0);
        steps -= outward ? 1 : -1;
      }
    }, { passive: false });
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
  }

  function scenePath() { return text(module()._page_scene_path()); }
  function pressKey(code) { module()._page_press_key(code); }

  // Hands `bytes` to the program; says what is wrong with them as a scene, or ''.
  function handOver(bytes) {
    const m = module();
    const at = m._page_scene_buffer(bytes.length);
    m.HEAPU8.set(bytes, at);
    return text(m._page_scene_fault());
  }

  // A file or a link becomes the box, and the scene that r reloads and w
  // saves to, only once it has loaded; a refused one changes nothing.
  function openSceneBytes(bytes, name) {
    handOver(bytes);
    if (!module().ccall('page_open_scene', 'number', ['string'], [name])) return;
    module().FS.writeFile(scenePath(), bytes);
    tab.touched = true;
    store.keepScene(bytes).catch(storageTrouble);
  }

  // False, with the program saying why, for a file too large to be a scene.
  function mayBeScene(bytes) {
    if (bytes <= module()._page_most_scene_bytes()) return true;
    module()._page_refuse_scene_file(bytes);
    return false;
  }

  async function loadSceneFile(file) {
    if (mayBeScene(file.size)) openSceneBytes(new Uint8Array(await file.arrayBuffer()), file.name);
  }

  async function openLink(address) {
    const response = await fetch(address);
    if (!response.ok) throw new Error('no scene at ' + address + ': ' + response.status);
    if (mayBeScene(Number(response.headers.get('Content-Length')) || 0))
      openSceneBytes(new Uint8Array(await response.arrayBuffer()), address);
  }

  function wireSceneFiles() {
    const picker = element('scene-picker');
    picker.addEventListener('change', () => {
      if (picker.files.length > 0) loadSceneFile(picker.files[0]).catch(reportTrouble);
      picker.value = '';
    });
    document.addEventListener('dragover', (event) => event.preventDefault());
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      const files = event.dataTransfer ? event.dataTransfer.files : [];
      if (files.length > 0) loadSceneFile(files[0]).catch(reportTrouble);
    });
  }

  function openScenePicker() { element('scene-picker').click(); }

  function download(bytes, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = name;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
  }

  // After a save: the file as a download, and in storage.
  function offerSceneFile(path) {
    let bytes;
    try {
      bytes = module().FS.readFile(path);
    } catch (trouble) {
      return;  // not saved: the program has said why
    }
    download(bytes, path.split('/').pop());
    store.keepScene(bytes).catch(storageTrouble);
  }

  function reportTrouble(trouble) { console.error('grainvox: ' + trouble); }

  // One line on the page while the browser refuses to keep the box.
  function storageTrouble(trouble) {
    const full = trouble && trouble.name === 'QuotaExceededError';
    const why = full ? "The browser's storage for this page is full, so the box is not kept"
      : 'This browser does not let the page keep the box (' + (trouble && trouble.message || trouble) + ')';
    const line = why + ': save it with w (a download) to keep it.';
    if (shown['storage-trouble'] !== line) console.warn('grainvox: ' + trouble);
    setText('storage-trouble', line);
    element('storage-trouble').hidden = false;
  }

  function storageWorks() { element('storage-trouble').hidden = true; }

  // The box as the program encodes it, with its live cells.
  function takeBox() {
    const m = module();
    const at = m._page_take_box();
    return { bytes: m.HEAPU8.slice(at, at + m._page_taken_box_size()), cells: m._page_taken_box_cells() };
  }

  function sameBytes(a, b) {
    if (!a || !b || a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  }

  // What storage holds for this tab is the box as it is now.
  function markWritten() { tab.written = takeBox().bytes; }

  // Writes the box to this tab's slot when it differs from what is there.
  async function writeBox() {
    if (!ready || failed || !tab.slot || tab.writing || Date.now() < tab.retryAt) return;
    tab.touched = false;
    const box = takeBox();
    if (sameBytes(box.bytes, tab.written)) return;
    tab.writing = true;
    try {
      await store.keepBox({ id: tab.slot, bytes: box.bytes, changed: Date.now(), cells: box.cells });
      tab.written = box.bytes;
      storageWorks();
    } catch (trouble) {
      tab.retryAt = Date.now() + RETRY_STORAGE_MS;
      tab.touched = true;  // tried again once the wait is over
      storageTrouble(trouble);
    } finally {
      tab.writing = false;
    }
  }

  // The box is written shortly after it may have changed: a key, the pointer
  // or a drop touched it, or the world runs; and at once when hidden. Each
  // look encodes the box (a few milliseconds), so a paused, untouched box
  // is not looked at.
  function keepWritingBox() {
    const touched = () => { tab.touched = true; };
    for (const type of ['keydown', 'pointerdown', 'drop']) document.addEventListener(type, touched, true);
    document.addEventListener('pointerdown', () => { tab.pointerHeld = true; }, true);
    document.addEventListener('pointerup', () => { tab.pointerHeld = false; }, true);
    let lookedAt = 0;
    setInterval(() => {
      const due = tab.touched || tab.pointerHeld || (running && Date.now() - lookedAt >= KEEP_RUNNING_MS);
      if (!due) return;
      lookedAt = Date.now();
      writeBox();
    }, KEEP_CHECK_MS);
    document.addEventListener('visibilitychange', () => { if (document.hidden) writeBox(); });
    window.addEventListener('pagehide', writeBox);
  }

  // Moves this tab to `wanted`'s slot, or to a new one when another tab holds it.
  async function moveToSlot(wanted, waitMs = 0) {
    let slot = wanted;
    let release = wanted ? await store.claim(wanted, waitMs) : null;
    if (!release) {
      slot = store.newSlot();
      release = await store.claim(slot);
    }
    if (tab.release) tab.release();
    Object.assign(tab, { slot, release });
    store.rememberTabSlot(slot);
  }

  function newestFirst(a, b) { return b.changed - a.changed; }

  function keptWhen(box) { return new Date(box.changed).toLocaleString(); }

  // Opens a kept box into the box; false when it cannot be read.
  function openKept(box, described) {
    if (handOver(box.bytes) !== '') return false;
    return module().ccall('page_open_kept_box', 'number', ['string'], [described]) === 1;
  }

  async function keptBoxes() {
    try {
      return (await store.boxes()).sort(newestFirst);
    } catch (trouble) {
      storageTrouble(trouble);
      return [];
    }
  }

  // The box this tab left (on a reload), else the one changed last. A box
  // that cannot be read is set aside as it is, and the page says so.
  async function openLeftBox() {
    const boxes = await keptBoxes();
    const own = boxes.find((box) => box.id === store.tabSlot());
    for (const box of own ? [own, ...boxes.filter((other) => other !== own)] : boxes) {
      const fault = handOver(box.bytes);
      if (fault === '' && openKept(box, 'as it was left (' + keptWhen(box) + ')')) return box;
      setAside(box, fault);
    }
    return null;
  }

  function setAside(box, fault) {
    setText('kept-notice', 'A box kept on ' + keptWhen(box) + ' cannot be read (' + fault + '): it is set aside, ' +
      'as it is, and never written over; the list of kept boxes shows it.');
    element('kept-notice').hidden = false;
  }

  // Keeps the KEPT_BOXES boxes changed last, and every box that a tab has
  // open or that this page cannot read.
  async function pruneKeptBoxes() {
    const held = await store.heldSlots();
    const readable = (await keptBoxes()).filter((box) => handOver(box.bytes) === '');
    const old = readable.slice(KEPT_BOXES).filter((box) => box.id !== tab.slot && !held.has(box.id));
    if (old.length > 0) await store.forget(old.map((box) => box.id));
  }

  // The list of kept boxes, each with its time and cells; one is opened from it.
  async function showKeptBoxes() {
    const list = element('kept-list');
    const held = await store.heldSlots();
    list.textContent = '';
    for (const box of await keptBoxes()) {
      const fault = handOver(box.bytes);
      const item = document.createElement('li');
      const where = box.id === tab.slot ? ' (this tab)' : held.has(box.id) ? ' (open in another tab)' : '';
      const cells = box.cells === null ? '' : ', ' + box.cells + (box.cells === 1 ? ' live cell' : ' live cells');
      const button = document.createElement('button');
      button.textContent = keptWhen(box) + cells + where + (fault ? ': cannot be read (' + fault + '), set aside' : '');
      button.disabled = fault !== '' || box.id === tab.slot;
      button.addEventListener('click', () => openFromList(box).catch(reportTrouble));
      item.appendChild(button);
      list.appendChild(item);
    }
    element('kept').hidden = false;
  }

  // A kept box opened from the list; this tab's own goes on being kept.
  async function openFromList(box) {
    await writeBox();
    if (!openKept(box, 'kept on ' + keptWhen(box))) return;
    await moveToSlot(box.id);
    markWritten();
    element('kept').hidden = true;
  }

  // The page's scene file from the last visit, if it loads.
  async function adoptKeptScene() {
    try {
      const scene = await store.scene();
      if (scene && handOver(scene) === '') module().FS.writeFile(scenePath(), scene);
    } catch (trouble) {
      storageTrouble(trouble);
    }
  }

  function say(line) { module().ccall('page_say', null, ['string'], [line]); }

  // The scene of a link in the address, checked whole; null, with the page
  // saying why, for one that is refused, and for none.
  async function linkedScene() {
    const packed = link.packedIn(window.location.hash);
    if (packed === null) return null;
    // Whatever comes of it, a reload goes on with the tab's own box.
    history.replaceState(null, '', window.location.pathname + window.location.search);
    try {
      const bytes = await link.read(packed, module()._page_most_scene_bytes());
      const fault = handOver(bytes);
      if (fault === '') return bytes;
      say('not loaded: the link is refused: ' + fault + '; the box is as it was');
    } catch (trouble) {
      say('not loaded: the link is refused: ' + trouble.message + '; the box is as it was');
    }
    return null;
  }

  // A link pasted into this tab's address: its scene opens in a slot of its
  // own, and the box it replaces stays kept, and one Ctrl+Z away.
  async function openLinkInAddress() {
    const bytes = await linkedScene();
    if (!bytes) return;
    await writeBox();
    openSceneBytes(bytes, 'the link');
    await moveToSlot(null);
    markWritten();
  }

  // The first starter scene, for a visitor with no box kept yet.
  async function openFirstStarter() {
    const starters = await (await fetch(STARTERS + 'starters.json')).json();
    if (starters.length > 0) await openStarter(starters[0]);
  }

  // The box this tab had, or the one changed last; ?empty, ?scene and a link
  // start elsewhere, in a slot of their own, keeping that box for Ctrl+Z. A
  // first visit opens a starter scene.
  async function restore() {
    await adoptKeptScene();
    const left = await openLeftBox();
    const linked = await linkedScene();
    const startsElsewhere = params.has('empty') || params.has('scene') || linked !== null;
    const own = left && left.id === store.tabSlot();
    await moveToSlot(left && !startsElsewhere ? left.id : null, own ? OWN_SLOT_WAIT_MS : 0);
    if (params.has('empty')) pressKey('e'.charCodeAt(0));
    if (params.has('scene')) await openLink(params.get('scene'));
    if (linked) openSceneBytes(linked, 'the link');
    if (!left && !startsElsewhere) await openFirstStarter().catch(reportTrouble);
    markWritten();
  }

  // Share: the box as a link in the address, copied; one too long for a
  // link is not made, and the page says to download it instead.
  async function share() {
    const address = await link.make(takeBox().bytes);
    if (address.length > link.MOST_CHARACTERS) {
      say('no link: this box needs ' + address.length + ' characters, more than the ' + link.MOST_CHARACTERS +
          ' a link may safely carry; Save (w) downloads it as a file instead');
      return;
    }
    history.replaceState(null, '', address);
    try {
      await navigator.clipboard.writeText(address);
      say('link copied (' + address.length + ' characters): whoever opens it gets this box');
    } catch (trouble) {
      say('the link (' + address.length + ' characters) is in the address bar: copy it from there');
    }
  }

  async function openStarter(starter) {
    const response = await fetch(STARTERS + starter.file);
    if (!response.ok) throw new Error('no starter scene ' + starter.file + ': ' + response.status);
    openSceneBytes(new Uint8Array(await response.arrayBuffer()), starter.title);
  }

  // The starter scenes, each a button; the box one replaces is one Ctrl+Z away.
  async function showStarters() {
    const list = element('starters-list');
    if (!list.firstChild) {
      for (const starter of await (await fetch(STARTERS + 'starters.json')).json()) {
        const item = document.createElement('li');
        const button = document.createElement('button');
        button.textContent = starter.title;
        button.dataset.file = starter.file;
        button.addEventListener('click', () => {
          element('starters').hidden = true;
          openStarter(starter).catch(reportTrouble);
        });
        keepFocusOff(button);
        item.appendChild(button);
        list.appendChild(item);
      }
    }
    element('starters').hidden = false;
  }

  // Canvas pixels of a touch, as GLUT counts the pointer's.
  function touchPoint(touches) {
    const rect = canvas.getBoundingClientRect();
    let x = 0;
    let y = 0;
    for (const touch of touches) {
      x += touch.clientX;
      y += touch.clientY;
    }
    return {
      x: Math.round((x / touches.length - rect.left) * canvas.width / rect.width),
      y: Math.round((y / touches.length - rect.top) * canvas.height / rect.height),
    };
  }

  function spread(touches) {
    return Math.hypot(touches[0].clientX - touches[1].clientX, touches[0].clientY - touches[1].clientY);
  }

  // One finger pours where it points; two turn the box by their middle, as
  // the right button's drag does, and pinch to come closer or go farther.
  // Each touch is the page's alone: no scroll, zoom or pull-to-refresh.
  function wireTouch() {
    let turning = false;
    let lastSpread = 0;
    const m = () => module();
    const begin = (event) => {
      event.preventDefault();
      const touches = event.touches;
      const at = touchPoint(touches);
      if (touches.length >= 2) {
        turning = true;
        lastSpread = spread(touches);
        m()._page_touch_turn(at.x, at.y);
      } else if (!turning) {
        m()._page_touch_pour(at.x, at.y);
      }
    };
    const move = (event) => {
      event.preventDefault();
      const touches = event.touches;
      if (touches.length === 0 || (turning && touches.length < 2)) return;
      const at = touchPoint(touches);
      m()._page_touch_move(at.x, at.y);
      if (!turning) return;
      const now = spread(touches);
      if (lastSpread > 0 && now > 0) m()._page_pinch(now / lastSpread);
      lastSpread = now;
    };
    const end = (event) => {
      event.preventDefault();
      if (event.touches.length >= 2) return begin(event);
      if (event.touches.length === 1 && turning) return;
      turning = false;
      m()._page_touch_lift();
    };
    const options = { passive: false };
    canvas.addEventListener('touchstart', begin, options);
    canvas.addEventListener('touchmove', move, options);
    canvas.addEventListener('touchend', end, options);
    canvas.addEventListener('touchcancel', end, options);
  }

  // The page's files kept by its service worker, to open and play offline.
  // Each visit asks for the worker afresh: a new version of the page brings
  // a new worker, whose files the next visit shows.
  function keepOffline() {
    if (!('serviceWorker' in navigator)) return;
    navigator.serviceWorker.register('service_worker.js', { updateViaCache: 'none' })
      .then((registration) => registration.update())
      .catch((trouble) => console.info('grainvox: the page is not kept for use offline: ' + trouble));
  }

  function wireUndo() {
    document.addEventListener('keydown', (event) => {
      if (!(event.ctrlKey || event.metaKey) || event.shiftKey || event.altKey || event.key.toLowerCase() !== 'z') return;
      event.preventDefault();
      pressKey(KEY_UNDO);
    });
  }

  async function started() {
    fitCanvas();
    window.addEventListener('resize', fitCanvas);
    wireWheel();
    wireTouch();
    wireSceneFiles();
    wireUndo();
    window.addEventListener('hashchange', () => openLinkInAddress().catch(reportTrouble));
    // Paused first, so that the box opened is still as it was kept.
    if (params.has('paused')) pressKey(KEY_SPACE);
    try {
      await restore();
    } catch (trouble) {
      reportTrouble(trouble);
    }
    ready = true;
    keepWritingBox();
    pruneKeptBoxes().catch(storageTrouble);
  }

  // The picture of the next frame, for checks: RGBA rows bottom up, base64.
  function capture() {
    const m = module();
    const before = m._page_frames_drawn();
    m._page_capture_frame();
    return new Promise((resolve) => {
      const poll = () => {
        if (m._page_frames_drawn() <= before) return requestAnimationFrame(poll);
        const width = m._page_captured_width();
        const height = m._page_captured_height();
        const start = m._page_captured_pixels();
        const pixels = m.HEAPU8.subarray(start, start + width * height * 4);
        let binary = '';
        const CHUNK = 0x8000;
        for (let i = 0; i < pixels.length; i += CHUNK)
          binary += String.fromCharCode.apply(null, pixels.subarray(i, i + CHUNK));
        resolve({ width, height, rgba: btoa(binary) });
      };
      requestAnimationFrame(poll);
    });
  }

  buildControls();
  keepOffline();

  window.grainvoxPage = {
    addMaterial,
    showStatus,
    showFailure,
    openScenePicker,
    offerSceneFile,
    keepBox: writeBox,
    capture,
    isReady: () => ready && !failed,
    frames: () => (module() && module()._page_frames_drawn ? module()._page_frames_drawn() : 0),
  };

  window.Module = {
    canvas,
    // The program's messages go to standard error; they are news, not errors.
    print: (line) => console.log(line),
    printErr: (line) => console.info(line),
    onAbort: (reason) => showFailure(String(reason)),
    postRun: [() => { started().catch(reportTrouble); }],
  };
  canvas.addEventListener('webglcontextlost', (event) => {
    event.preventDefault();
    showFailure('the browser took WebGL away; reload the page');
  });
})();

'use strict';
// The page around the Grainvox module (grainvox.js): the canvas that fills
// the window, the toolbar, the text beside the canvas, the wheel, scene files
// in and out, and the browser's storage that keeps the box over a reload.
// The module calls window.grainvoxPage; the page calls the module's page_*
// functions.
//
// Address parameters: ?empty starts with an empty box; ?scene=URL loads that
// scene file; ?paused starts paused; ?size=WxH fixes the canvas's size
// instead of following the window.

(function () {
  const params = new URLSearchParams(window.location.search);
  const canvas = document.getElementById('canvas');
  const stage = document.getElementById('stage');
  const element = (id) => document.getElementById(id);

  const KEY_SPACE = 32;
  const KEEP_BOX_EVERY_MS = 5000;
  const WHEEL_PIXELS_PER_STEP = 100;
  const WHEEL_LINES_PER_STEP = 3;
  const STORED_BOX = 'box';
  const STORED_SCENE = 'scene';

  const materials = [];
  const shown = {};
  let ready = false;
  let failed = false;

  // The browser's own storage: one IndexedDB store of whole files by name.
  const storage = {
    database: null,
    failed: false,
    open() {
      if (!this.database) {
        this.database = new Promise((resolve, reject) => {
          // Without it, the page goes on without keeping the box, and says so once.
          const fail = (reason) => {
            this.failed = true;
            reject(reason);
          };
          if (!window.indexedDB) return fail(new Error('this browser keeps no data for pages'));
          const request = indexedDB.open('grainvox', 1);
          request.onupgradeneeded = () => request.result.createObjectStore('files');
          request.onsuccess = () => resolve(request.result);
          request.onerror = () => fail(request.error);
        });
      }
      return this.database;
    },
    async run(mode, work) {
      const database = await this.open();
      return new Promise((resolve, reject) => {
        const transaction = database.transaction('files', mode);
        const request = work(transaction.objectStore('files'));
        transaction.oncomplete = () => resolve(request.result);
        transaction.onerror = () => reject(transaction.error);
      });
    },
    get(name) { return this.run('readonly', (files) => files.get(name)); },
    put(name, bytes) { return this.run('readwrite', (files) => files.put(bytes, name)); },
  };

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
    setText('pause-button', paused ? 'Run' : 'Pause');
  }

  // The canvas fills the stage, in CSS pixels, unless ?size fixes it.
  function fitCanvas() {
    const fixed = /^(\d+)x(\d+)$/.exec(params.get('size') || '');
    const width = fixed ? Number(fixed[1]) : stage.clientWidth;
    const height = fixed ? Number(fixed[2]) : stage.clientHeight;
    if (width > 0 && height > 0 && (canvas.width !== width || canvas.height !== height))
      module()._page_resize(width, height);
  }

  // Toolbar buttons never take the keyboard focus, so that Space and the
  // other keys keep going to the box.
  function keepFocusOff(button) {
    button.tabIndex = -1;
    button.addEventListener('mousedown', (event) => event.preventDefault());
  }

  function wireToolbar() {
    for (const button of document.querySelectorAll('#toolbar button')) {
      keepFocusOff(button);
      if (button.dataset.key)
        button.addEventListener('click', () => module()._page_press_key(button.dataset.key.charCodeAt(0)));
      else if (button.dataset.special)
        button.addEventListener('click', () => module()._page_press_special_key(Number(button.dataset.special)));
    }
    element('help-button').addEventListener('click', () => { element('help').hidden = !element('help').hidden; });
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

  // A scene file from the browser becomes the session's scene file, which
  // the reload key loads again; it is kept in storage for the next visit.
  function loadSceneBytes(bytes) {
    module().FS.writeFile(text(module()._page_scene_path()), bytes);
    module()._page_load_scene_file();
    return storage.put(STORED_SCENE, bytes);
  }

  // False, with the program saying why, for a file too large to be a scene.
  function mayBeScene(bytes) {
    if (bytes <= module()._page_most_scene_bytes()) return true;
    module()._page_refuse_scene_file(bytes);
    return false;
  }

  async function loadSceneFile(file) {
    if (mayBeScene(file.size)) await loadSceneBytes(new Uint8Array(await file.arrayBuffer()));
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
    storage.put(STORED_SCENE, bytes).catch(reportTrouble);
  }

  // The box into storage, for the next visit.
  function keepBox() {
    if (!ready || failed || storage.failed || !module()._page_keep_box()) return Promise.resolve();
    return storage.put(STORED_BOX, module().FS.readFile(text(module()._page_kept_box_path())));
  }

  function reportTrouble(trouble) { console.error('grainvox: ' + trouble); }

  async function restore() {
    const scene = await storage.get(STORED_SCENE);
    if (scene) module().FS.writeFile(text(module()._page_scene_path()), scene);
    if (params.has('scene')) {
      const response = await fetch(params.get('scene'));
      if (!response.ok) throw new Error('no scene at ' + params.get('scene') + ': ' + response.status);
      if (mayBeScene(Number(response.headers.get('Content-Length')) || 0))
        await loadSceneBytes(new Uint8Array(await response.arrayBuffer()));
    } else if (!params.has('empty')) {
      const box = await storage.get(STORED_BOX);
      if (box) {
        module().FS.writeFile(text(module()._page_kept_box_path()), box);
        module()._page_restore_box();
      }
    }
  }

  async function started() {
    fitCanvas();
    window.addEventListener('resize', fitCanvas);
    wireToolbar();
    wireWheel();
    wireSceneFiles();
    try {
      await restore();
    } catch (trouble) {
      reportTrouble(trouble);
    }
    if (params.has('paused')) module()._page_press_key(KEY_SPACE);
    ready = true;
    setInterval(() => { if (!document.hidden) keepBox().catch(reportTrouble); }, KEEP_BOX_EVERY_MS);
    document.addEventListener('visibilitychange', () => { if (document.hidden) keepBox().catch(reportTrouble); });
    window.addEventListener('pagehide', () => keepBox().catch(reportTrouble));
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

  window.grainvoxPage = {
    addMaterial,
    showStatus,
    showFailure,
    openScenePicker,
    offerSceneFile,
    keepBox,
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

'use strict';
// The browser's storage for the page (IndexedDB): the boxes the tabs keep,
// one record per slot, and the page's scene file. A tab holds its slot
// (a Web Lock) while it lives, so that no other tab writes there. Every
// request settles: a refusal, an abort (the storage is full) or a blocked
// upgrade rejects with the browser's reason.

window.grainvoxStorage = (function () {
  const DATABASE = 'grainvox';
  const VERSION = 2;
  const FILES = 'files';        // whole files by name: the page's scene
  const BOXES = 'boxes';        // {id, bytes, changed, cells}: a slot's box
  const SCENE = 'scene';
  const FIRST_VERSION_BOX = 'box';  // where version 1 kept its one box, in FILES
  const LOCK_PREFIX = 'grainvox-box-';
  const TAB_SLOT = 'grainvox-slot';  // in the tab's session storage, over a reload

  let database = null;

  function newSlot() {
    return Date.now().toString(36) + '-' + Math.random().toString(36).slice(2, 10);
  }

  // The one box of version 1 becomes a box of its own.
  function upgrade(db, transaction, oldVersion) {
    if (oldVersion < 1) db.createObjectStore(FILES);
    const boxes = db.createObjectStore(BOXES, { keyPath: 'id' });
    if (oldVersion < 1) return;
    const files = transaction.objectStore(FILES);
    const old = files.get(FIRST_VERSION_BOX);
    old.onsuccess = () => {
      if (!old.result) return;
      boxes.put({ id: newSlot(), bytes: old.result, changed: Date.now(), cells: null });
      files.delete(FIRST_VERSION_BOX);
    };
  }

  function openDatabase() {
    return new Promise((resolve, reject) => {
      if (!window.indexedDB) throw new Error('this browser keeps no data for pages');
      const request = indexedDB.open(DATABASE, VERSION);
      request.onupgradeneeded = (event) => upgrade(request.result, request.transaction, event.oldVersion);
      request.onsuccess = () => {
        const db = request.result;
        // A newer page in another tab asks for the storage: let it have it.
        db.onversionchange = () => {
          db.close();
          database = null;
        };
        resolve(db);
      };
      request.onerror = () => reject(request.error);
      request.onblocked = () => reject(new Error('a tab with an older Grainvox page holds the storage'));
    });
  }

  // Opened once; after a failure, the next request tries again.
  function connect() {
    if (!database) {
      database = openDatabase().catch((trouble) => {
        database = null;
        throw trouble;
      });
    }
    return database;
  }

  // Runs `work` on a transaction; settles when it completes or is aborted.
  async function run(store, mode, work) {
    const db = await connect();
    return new Promise((resolve, reject) => {
      const transaction = db.transaction(store, mode);
      const request = work(transaction.objectStore(store));
      transaction.oncomplete = () => resolve(request ? request.result : undefined);
      transaction.onabort = () => reject(transaction.error || new Error('the browser stopped the write'));
    });
  }

  // The slot this tab wrote before a reload, if any.
  function tabSlot() {
    try {
      return sessionStorage.getItem(TAB_SLOT);
    } catch (trouble) {
      return null;  // site data blocked: the tab starts afresh
    }
  }

  function rememberTabSlot(slot) {
    try {
      sessionStorage.setItem(TAB_SLOT, slot);
    } catch (trouble) {
      // as above
    }
  }

  // Holds `slot` while the tab lives; resolves to the function that lets it
  // go, or to null when another tab holds it (still after `waitMs`, for a
  // slot that the page before a reload may not have let go yet).
  function claim(slot, waitMs = 0) {
    if (!navigator.locks) return Promise.resolve(() => {});
    const canWait = waitMs > 0 && typeof AbortSignal.timeout === 'function';
    const options = canWait ? { signal: AbortSignal.timeout(waitMs) } : { ifAvailable: true };
    return new Promise((resolve) => {
      navigator.locks.request(LOCK_PREFIX + slot, options, (lock) => {
        if (!lock) return resolve(null);
        return new Promise((release) => resolve(release));
      }).catch((trouble) => resolve(trouble && trouble.name === 'TimeoutError' ? null : () => {}));
    });
  }

  // The slots that open tabs hold.
  async function heldSlots() {
    if (!navigator.locks) return new Set();
    try {
      const state = await navigator.locks.query();
      return new Set(state.held.map((lock) => lock.name).filter((name) => name.startsWith(LOCK_PREFIX))
        .map((name) => name.slice(LOCK_PREFIX.length)));
    } catch (trouble) {
      return new Set();
    }
  }

  return {
    scene: () => run(FILES, 'readonly', (files) => files.get(SCENE)),
    keepScene: (bytes) => run(FILES, 'readwrite', (files) => files.put(bytes, SCENE)),
    boxes: () => run(BOXES, 'readonly', (boxes) => boxes.getAll()),
    keepBox: (box) => run(BOXES, 'readwrite', (boxes) => boxes.put(box)),
    forget: (ids) => run(BOXES, 'readwrite', (boxes) => { for (const id of ids) boxes.delete(id); }),
    newSlot,
    tabSlot,
    rememberTabSlot,
    claim,
    heldSlots,
  };
})();

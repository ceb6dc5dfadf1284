'use strict';
// The page's service worker: keeps every file of the page, so that the page
// opens and plays with no network. The build writes the list and names the
// cache by a hash of the files; a page changed in any byte comes with a new
// worker, which fetches the new files and drops the old ones.

const CACHE = 'grainvox-@CACHE_VERSION@';
const FILES = [
  './',
@PAGE_FILES@];

self.addEventListener('install', (event) => {
  // Asked of the server again, not taken from the browser's HTTP cache, which
  // may still hold the version before; unchanged files come back as "not modified".
  const fresh = FILES.map((file) => new Request(file, { cache: 'no-cache' }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(fresh)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith('grainvox-') && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// The page's own files from the cache, whatever the address's query or
// fragment; anything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((kept) => kept || fetch(event.request)));
});

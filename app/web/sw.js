'use strict';
// Keeps every file of the site, so that after one visit the page opens and
// plays with no network. The build names the cache after the files' bytes:
// a changed site is a changed worker, which takes the new files and drops
// the old ones.
const kCache = '@CACHE@';
const kFiles = @FILES@;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache)
    .then((cache) => cache.addAll(kFiles.map((file) => new Request(file, { cache: 'reload' }))))
    .then(() => self.skipWaiting()));
});
self.addEventListener('activate', (event) => {
  const mine = (key) => key.startsWith(kCache.split('-')[0] + '-');
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => mine(k) && k !== kCache).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(kCache).then(async (cache) =>
    (await cache.match(event.request, { ignoreSearch: true })) ||
    (event.request.mode === 'navigate' && (await cache.match('index.html'))) ||
    fetch(event.request)));
});

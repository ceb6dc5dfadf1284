'use strict';
// A scene as a link: the scene file's bytes packed with the browser's own
// deflate, in base64url, in the address's fragment (#scene=...), which never
// reaches a server. A link is read with every bound checked before the
// bytes are handed on: its length, its alphabet, and its unpacked size,
// counted as it unpacks so that a small link cannot fill the memory.

window.grainvoxLink = (function () {
  const PREFIX = '#scene=';
  const PACKING = 'deflate-raw';
  const MOST_CHARACTERS = 8192;  // past this, a link may be cut short by mail, chat or servers
  const BASE64URL = /^[A-Za-z0-9_-]*$/;

  function toBase64url(bytes) {
    let binary = '';
    const CHUNK = 0x8000;
    for (let i = 0; i < bytes.length; i += CHUNK) binary += String.fromCharCode.apply(null, bytes.subarray(i, i + CHUNK));
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  function fromBase64url(text) {
    if (!BASE64URL.test(text) || text.length % 4 === 1) throw new Error('it is not base64url');
    const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    return Uint8Array.from(binary, (c) => c.charCodeAt(0));
  }

  async function pack(bytes) {
    const packed = new Blob([bytes]).stream().pipeThrough(new CompressionStream(PACKING));
    return new Uint8Array(await new Response(packed).arrayBuffer());
  }

  // Unpacks at most `most` bytes; more than that is refused as it comes.
  async function unpack(bytes, most) {
    const reader = new Blob([bytes]).stream().pipeThrough(new DecompressionStream(PACKING)).getReader();
    const parts = [];
    let total = 0;
    try {
      for (;;) {
        const { done, value } = await reader.read();
        if (done) break;
        total += value.length;
        if (total > most) {
          reader.cancel().catch(() => {});
          throw new Error('it unpacks to more than ' + most + ' bytes, more than any scene');
        }
        parts.push(value);
      }
    } catch (trouble) {
      if (trouble instanceof TypeError) throw new Error('it is not a packed scene');
      throw trouble;
    }
    const whole = new Uint8Array(total);
    let at = 0;
    for (const part of parts) {
      whole.set(part, at);
      at += part.length;
    }
    return whole;
  }

  // The address that opens `bytes` on this page.
  async function make(bytes) {
    const here = window.location.href.split('#')[0];
    return here + PREFIX + toBase64url(await pack(bytes));
  }

  // The packed scene in `hash`, or null when it holds no link.
  function packedIn(hash) { return hash.startsWith(PREFIX) ? hash.slice(PREFIX.length) : null; }

  // The scene bytes of a link's packed part; throws with what is wrong.
  async function read(packed, most) {
    if (packed.length > MOST_CHARACTERS) throw new Error('it is longer than any link the page makes');
    return unpack(fromBase64url(packed), most);
  }

  return { make, packedIn, read, MOST_CHARACTERS };
})();

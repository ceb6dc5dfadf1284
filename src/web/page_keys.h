#pragma once

// The keyboard on the page. The browser keeps some of the desktop's keys for
// itself (help, find, reload, its menu, its developer tools); each of those
// has a character key standing in for it, and the page leaves the kept key
// to the browser. Quitting belongs to the browser too: Escape and q do
// nothing here. `o` opens the page's file picker for a scene to load.

// GLUT's keyboard callbacks for the page: a character key on press, a
// special key on release.
void page_key(unsigned char c, int x, int y);
void page_special_key(int k, int x, int y);

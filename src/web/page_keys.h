#pragma once

// The keyboard on the page. The browser keeps some of the desktop's keys for
// itself (help, find, reload, its menu, its developer tools); each of those
// has a character key standing in for it, and the page leaves the kept key
// to the browser. Quitting belongs to the browser too: Escape and q do
// nothing here.

// A character standing in for a special key the browser keeps.
struct stand_in_key {
    unsigned char character;
    int special_key;  // GLUT's code
};

// Opens the page's file picker for a scene to load.
constexpr unsigned char KEY_OPEN_SCENE = 'o';

// The special key `c` stands in for, or 0 when it stands in for none.
int special_key_for(unsigned char c);

// Whether the browser keeps this special key for itself.
bool browser_keeps(int special_key);

// GLUT's keyboard callbacks for the page: a character key on press, a
// special key on release.
void page_key(unsigned char c, int x, int y);
void page_special_key(int k, int x, int y);

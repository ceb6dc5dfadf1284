#pragma once

// What the desktop writes into its window, shown on the page as HTML beside
// the canvas: the material name, the pen, paused or running, the latest
// message and the information overlay.

// Tells the page the materials, once: id, name and colour, for its toolbar.
void announce_materials();

// Tells the page the state after a frame; the page touches its text only
// where something changed.
void publish_status();

// A failure the page must show, since nothing else will be drawn.
void report_page_failure(const char* reason);

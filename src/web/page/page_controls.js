'use strict';
// The page's controls, one table for the toolbar and the key help. A row
// with a label is a button in its group; a row with keys is a line of the
// help. A button sends a key (`key`), a special key by GLUT's code
// (`special`), or does one of the page's own actions (`action`, page.js).

window.grainvoxControls = (function () {
  const GLUT_KEY_F2 = 2;
  const GLUT_KEY_PAGE_UP = 104;
  const GLUT_KEY_PAGE_DOWN = 105;
  return [
    { group: 'pen', keys: '1 6, 2 3 4 5, p', does: 'Eraser; next powder, liquid, gas, solid; next material' },
    { group: 'pen', label: '\u2212', keys: '\u2212', does: 'a smaller pen', key: '-' },
    { group: 'pen', label: '+', keys: '+', does: 'a larger pen', key: '+' },
    { group: 'pen', label: 'Up', keys: 'Page Up, or Shift + motion', does: 'raise the pen', special: GLUT_KEY_PAGE_UP },
    { group: 'pen', label: 'Down', keys: 'Page Down', does: 'lower the pen', special: GLUT_KEY_PAGE_DOWN },
    { group: 'pen', keys: 'arrows', does: 'move the pen' },
    { group: 'pen', keys: 'l', does: 'apply the pen once' },
    { group: 'world', label: 'Pause', id: 'pause-button', keys: 'Space', does: 'pause or run the world', key: ' ' },
    { group: 'world', label: 'Step', keys: 'f', does: 'while paused, step the world once', key: 'f' },
    { group: 'view', label: 'Top', keys: 't', desktop: 'F1', does: 'the view from straight above', key: 't' },
    { group: 'view', label: 'Start', keys: 'F2', does: 'the start view', special: GLUT_KEY_F2 },
    { group: 'view', label: '\u21BA', keys: '[', desktop: 'F3', does: 'a quarter turn', key: '[' },
    { group: 'view', label: '\u21BB', keys: ']', desktop: 'F4', does: 'a quarter turn the other way', key: ']' },
    { group: 'view', label: 'Closer', keys: 'a, the wheel, a pinch', does: 'come closer', key: 'a' },
    { group: 'view', label: 'Farther', keys: 'z, the wheel, a pinch', does: 'go farther', key: 'z' },
    { group: 'view', label: 'Cubes/spheres', keys: 's', does: 'cubes or spheres', key: 's' },
    { group: 'box', label: 'Empty', keys: 'e', desktop: 'F10', does: 'empty the box', key: 'e' },
    { group: 'box', label: 'Undo', id: 'undo-button', keys: 'Ctrl+Z',
      does: 'bring back the box that the last empty, reload, load or link replaced (again: one further back)',
      action: 'undo' },
    { group: 'box', label: 'Save', keys: 'w', desktop: 'F5', does: 'save the box (a download)', key: 'w' },
    { group: 'box', label: 'Reload', keys: 'r', desktop: 'F9', does: 'load the saved or loaded scene again', key: 'r' },
    { group: 'box', label: 'Load\u2026', keys: 'o, or drop a file on the page', does: 'load a scene file', key: 'o' },
    { group: 'box', label: 'Share', id: 'share-button', does: 'put the box in a link and copy the link', action: 'share' },
    { group: 'box', label: 'Starters\u2026', id: 'starters-button', does: 'open a starter scene', action: 'starters' },
    { group: 'box', label: 'Kept\u2026', id: 'kept-button', does: 'the boxes kept in this browser, one for each tab',
      action: 'kept' },
    { group: 'box', label: 'Info', keys: 'i', desktop: 'F12', does: 'the information overlay', key: 'i' },
    { group: 'box', label: 'Keys', id: 'help-button', does: 'this help', action: 'help' },
  ];
})();

// Joined to the module's own script (--post-js), where emscripten's GLUT
// lives. Its 3.1.6 motion handler hands the callbacks the pointer's previous
// position, so the pen would stay one event behind and never reach where the
// pointer stops; this one hands them the event's own position, as its button
// handlers do.
GLUT.onMousemove = function (event) {
  var lastX = Browser.mouseX;
  var lastY = Browser.mouseY;
  Browser.calculateMouseEvent(event);
  var x = Browser.mouseX;
  var y = Browser.mouseY;
  if (x == lastX && y == lastY) return;
  if (GLUT.buttons == 0 && event.target == Module['canvas'] && GLUT.passiveMotionFunc) {
    event.preventDefault();
    GLUT.saveModifiers(event);
    getWasmTableEntry(GLUT.passiveMotionFunc)(x, y);
  } else if (GLUT.buttons != 0 && GLUT.motionFunc) {
    event.preventDefault();
    GLUT.saveModifiers(event);
    getWasmTableEntry(GLUT.motionFunc)(x, y);
  }
};

// The page's own listener on the canvas turns the wheel into the desktop's
// zoom buttons (page.js). GLUT's, on the window, would hand on buttons the
// program does not zoom with, and cancel events that Chrome gives window
// listeners as passive, which it reports as an error.
GLUT.onMouseWheel = function () {};

// Touches are the page's own (page.js): one finger pours, two turn and pinch.
// GLUT's handler would turn each into a mouse event as well, from a window
// listener that Chrome makes passive, where its cancel is reported as an error.
GLUT.touchHandler = function () {};

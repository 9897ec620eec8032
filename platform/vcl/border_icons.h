#pragma once

class QWidget;

// Tells the window manager that the window's title bar has no border icons: no system
// menu, no minimise, maximise or close box, and that the window is moved but never resized.
// Call once the window has its native window (it is created when shown). Where the windows
// run without X11 the window's flags are all there is; a window manager that ignores the
// hints may still draw its own boxes.
void SetNoBorderIcons(QWidget* window);

#pragma once

// What the real-display tests read from the X server and its window manager, outside the
// code under test: a window's frame as the window manager placed it, its properties, the
// screen's work area. Every reading runs the X tools (xwininfo, xprop) on the display the
// test runs on.
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace xwindow {

// What an X tool prints on the test's display; "" when it fails.
QString run(const QString& program, const QStringList& args);

// The outer frame of a top-level window: its client area as the server has it, grown by the
// frame extents that the window manager set. Invalid while the window manager has not
// framed the window (no _NET_FRAME_EXTENTS, or not viewable).
QRect frame(const QWidget* window);

// The value of a property of the window as xprop prints it after "=" (or after ":" for
// multi-line values), or "" when it is not set.
QString property(const QWidget* window, const char* name);

// The numbers of a CARDINAL or hint property, "" when not set.
QList<long> numbers(const QWidget* window, const char* name);

// The screen's work area as the window manager announces it.
QRect workArea();

// Waits (events running, at most timeoutMs) until the window manager has framed and
// mapped the window and its frame stays put between two readings.
bool waitFramed(const QWidget* window, int timeoutMs = 10000);

} // namespace xwindow

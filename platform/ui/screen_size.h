#pragma once

#include <QSize>

class QRect;
class QScreen;

// The size of a screen for the window's settings. Throws VelmoError when there is no screen (a
// display without any output), so that the start fails with its message instead of a crash.
QSize sizeOfScreen(const QScreen* screen);

// Where a window goes when it is brought back from maximized, as a window system places a new
// window: two thirds of the screen's free area, centred; never smaller than `least` unless the
// free area is.
QRect usualPlacement(const QRect& available, const QSize& least);

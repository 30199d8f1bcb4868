#pragma once

#include "settings/settings_io.h"

class QScreen;

// The size of a screen for the window's settings. Throws VelmoError when there is no screen (a
// display without any output), so that the start fails with its message instead of a crash.
ScreenSize sizeOfScreen(const QScreen* screen);

#pragma once

class QWidget;

// Handles the events already waiting, and those they post, until none is left, without waiting for
// new ones.
void processPendingMessages();

// Asks the window to close: returns at once; the close happens when the event loop next runs.
void askToClose(QWidget* window);

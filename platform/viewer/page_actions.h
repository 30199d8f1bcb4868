#pragma once

class QMenu;
class QWebEnginePage;
class QWebEngineView;

// Gives the engine's page actions French texts: Qt ships no French translation of them.
void translatePageActions(QWebEnginePage& page);

// The context menu of the view at the last click, without the entries that would take the page out
// of the viewer (save, new window or tab, source view, inspector, downloads).
QMenu* pageContextMenu(QWebEngineView& view);

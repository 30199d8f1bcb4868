#pragma once

class QMenu;
class QWebEngineView;

// The context menu of the view at the last click, without the entries that would take the page out
// of the viewer (save, new window or tab, source view, inspector, downloads).
QMenu* pageContextMenu(QWebEngineView& view);

#pragma once

// Prepares this process for the web engine; call before the application object exists. The engine's
// sandbox is off only when running as root (it cannot start then), its diagnostics stay quiet, its
// pages, error pages and menus speak French, and the scheme of local documents is registered.
void prepareWebEngineProcess();

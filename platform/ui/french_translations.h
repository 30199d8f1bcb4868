#pragma once

class QCoreApplication;

// Installs French texts for what Qt itself shows (standard dialogs, buttons, context menus, the
// web engine's page menu) on the application, which owns the catalogues. A catalogue missing from
// the system is left out.
void installFrenchTranslations(QCoreApplication& app);

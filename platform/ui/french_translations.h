#pragma once

class QCoreApplication;

// Installs Qt's own French texts (standard dialogs, buttons, context menus) on the application;
// the catalogues are owned by it. A catalogue that is missing is left out.
void installFrenchTranslations(QCoreApplication& app);

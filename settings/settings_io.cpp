#include "settings/settings_io.h"

#include "settings/TIniFile.h"

namespace {
const std::string section = "Configuration";
// Keys are stored in Windows-1252, so "é" is the single byte 0xE9.
const std::string keyChargement = "Chemin de chargement";
const std::string keyCopie = "Chemin de copie";
const std::string keyDeplacement = "Chemin de d\xE9placement";
const std::string keyPleinEcran = "Affichage plein \xE9"
                                  "cran";
const std::string keyLargeur = "Largeur";
const std::string keyHauteur = "Hauteur";
const std::string keyGauche = "Gauche";
const std::string keyHaut = "Haut";
const std::string keyGestionRapide = "Gestion rapide";

// Half of a difference, truncated toward zero (C++ integer division does exactly that).
int halfOf(int a, int b)
{
    return static_cast<int>((static_cast<long long>(a) - b) / 2);
}
} // namespace

SettingsValues readSettings(const TIniFile& ini, const std::string& exeFolder, ScreenSize screen,
                            WindowGeometry& window)
{
    SettingsValues values;
    values.Chemin_Chargement = ini.readText(section, keyChargement, exeFolder);
    values.Chemin_Copie = ini.readText(section, keyCopie, exeFolder);
    values.Chemin_Deplacement = ini.readText(section, keyDeplacement, exeFolder);
    values.Plein_Ecran = ini.readFlag(section, keyPleinEcran, false);
    if (!values.Plein_Ecran) {
        window.setWidth(ini.readInteger(section, keyLargeur, 640));
        window.setHeight(ini.readInteger(section, keyHauteur, 480));
        window.setLeft(ini.readInteger(section, keyGauche, halfOf(screen.width, window.width())));
        window.setTop(ini.readInteger(section, keyHaut, halfOf(screen.height, window.height())));
    }
    values.Quitter_Rapide = ini.readFlag(section, keyGestionRapide, false);
    return values;
}

void writeSettings(TIniFile& ini, SettingsValues& values, const WindowGeometry& window)
{
    ini.writeText(section, keyChargement, values.Chemin_Chargement);
    ini.writeText(section, keyCopie, values.Chemin_Copie);
    ini.writeText(section, keyDeplacement, values.Chemin_Deplacement);
    values.Plein_Ecran = window.isMaximized();
    ini.writeFlag(section, keyPleinEcran, values.Plein_Ecran);
    ini.writeInteger(section, keyLargeur, window.width());
    ini.writeInteger(section, keyHauteur, window.height());
    ini.writeInteger(section, keyGauche, window.left());
    ini.writeInteger(section, keyHaut, window.top());
    ini.writeFlag(section, keyGestionRapide, values.Quitter_Rapide);
}

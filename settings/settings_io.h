#pragma once

#include <string>

class TIniFile;

// The values that the settings file carries between runs.
struct SettingsValues {
    std::string Chemin_Chargement;
    std::string Chemin_Copie;
    std::string Chemin_Deplacement;
    bool Plein_Ecran = false;
    bool Quitter_Rapide = false;
};

// The bounds and state of the main window, as the settings see them.
class WindowGeometry {
public:
    virtual ~WindowGeometry() = default;
    virtual int left() const = 0;
    virtual int top() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void setLeft(int value) = 0;
    virtual void setTop(int value) = 0;
    virtual void setWidth(int value) = 0;
    virtual void setHeight(int value) = 0;
    virtual bool isMaximized() const = 0;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// Reads every setting; assigns the bounds to the window one by one unless Plein_Ecran is set.
// Never fails: anything missing or unreadable gives its default.
SettingsValues readSettings(const TIniFile& ini, const std::string& exeFolder, ScreenSize screen,
                            WindowGeometry& window);

// Writes the nine keys in order; Plein_Ecran is taken from the window first and stored in `values`.
// Throws VelmoError at the first key that cannot be written; later keys are not written.
void writeSettings(TIniFile& ini, SettingsValues& values, const WindowGeometry& window);

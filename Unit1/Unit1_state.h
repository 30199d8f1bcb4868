#pragma once

#include <string>

class TForm1;

// The process-wide state of the main window's module.
extern TForm1* Form1;
extern std::string Fichier_Courant;
extern std::string Chemin_Chargement;
extern std::string Chemin_Copie;
extern std::string Chemin_Deplacement;
extern bool Plein_Ecran;
extern bool Quitter_Rapide;

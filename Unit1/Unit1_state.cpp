#include "Unit1/Unit1_state.h"

TForm1* Form1 = nullptr;
std::string Fichier_Courant;
std::string Chemin_Chargement;
std::string Chemin_Copie;
std::string Chemin_Deplacement;
bool Plein_Ecran = false;
bool Quitter_Rapide = false;

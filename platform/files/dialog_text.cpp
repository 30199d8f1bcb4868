#include "platform/files/dialog_text.h"

#include "platform/files/fill_in.h"

#include <cmath>

std::string missingFolderQuestion(const std::string& folder)
{
    return fillIn("Le dossier « %1 » n'existe pas. Voulez-vous le créer ?", {folder});
}

std::string progressTitle(FileAction action)
{
    switch (action) {
    case FileAction::Trash:
        return "Mise à la corbeille en cours";
    case FileAction::Rename:
        return "Changement de nom en cours";
    case FileAction::Copy:
        return "Copie en cours";
    case FileAction::Move:
        return "Déplacement en cours";
    case FileAction::Restore:
        return "Remise en place en cours";
    }
    return {};
}

std::string progressLabel(FileAction action, const std::string& item, std::uint64_t done,
                          std::uint64_t total)
{
    const char* text = "";
    switch (action) {
    case FileAction::Trash:
        text = "Mise à la corbeille de « %1 »\n%2 sur %3";
        break;
    case FileAction::Rename:
        text = "Changement de nom de « %1 »\n%2 sur %3";
        break;
    case FileAction::Copy:
        text = "Copie de « %1 »\n%2 sur %3";
        break;
    case FileAction::Move:
        text = "Déplacement de « %1 »\n%2 sur %3";
        break;
    case FileAction::Restore:
        text = "Remise en place de « %1 »\n%2 sur %3";
        break;
    }
    return fillIn(text, {item, byteCountText(done), byteCountText(total)});
}

std::string companionLeftWarning(FileAction action, CompanionLeft why, const std::string& page,
                                 const std::string& companion, const std::string& folder)
{
    const bool copy = action == FileAction::Copy;
    if (why == CompanionLeft::TargetInside)
        return fillIn(copy ? "La page « %1 » a été copiée sans son dossier « %2 », car la copie "
                             "est placée à l'intérieur de ce dossier. La copie risque de "
                             "s'afficher sans ses images."
                           : "La page « %1 » a été déplacée sans son dossier « %2 », car elle est "
                             "placée à l'intérieur de ce dossier. La page risque de s'afficher "
                             "sans ses images.",
                      {page, companion});
    return fillIn(copy ? "La page « %1 » a été copiée sans son dossier « %2 », car un dossier de "
                         "ce nom existe déjà dans « %3 ». La copie risque de s'afficher sans ses "
                         "images."
                       : "La page « %1 » a été déplacée sans son dossier « %2 », car un dossier "
                         "de ce nom existe déjà dans « %3 ». Le dossier est resté à sa place ; la "
                         "page risque de s'afficher sans ses images.",
                  {page, companion, folder});
}

std::string byteCountText(std::uint64_t bytes)
{
    if (bytes < 1024)
        return std::to_string(bytes) + (bytes < 2 ? " octet" : " octets");
    static const char* const units[] = {"Ko", "Mo", "Go", "To", "Po", "Eo"};
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1023.95 && unit < 5) {
        value /= 1024;
        ++unit;
    }
    // One decimal, with the comma that French writes, whatever the C locale says.
    const auto tenths = static_cast<std::uint64_t>(std::llround(value * 10));
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " " + units[unit];
}

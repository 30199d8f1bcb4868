#include "platform/files/error_text.h"

#include "platform/base/local_path.h"
#include "platform/files/fill_in.h"

#include <cerrno>

namespace {

std::string actionSentence(FileAction action)
{
    switch (action) {
    case FileAction::Trash:
        return "Impossible de mettre « %1 » à la corbeille.";
    case FileAction::Rename:
        return "Impossible de renommer « %1 ».";
    case FileAction::Copy:
        return "Impossible de copier « %1 ».";
    case FileAction::Move:
        return "Impossible de déplacer « %1 ».";
    case FileAction::Restore:
        return "Impossible de remettre « %1 » à sa place.";
    }
    return "Impossible de traiter « %1 ».";
}

// About how many characters of a name fit in `limit` bytes, at the name's own bytes per character.
std::size_t charactersThatFit(const std::string& name, int limit)
{
    std::size_t characters = 0;
    for (const char c : name)
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return name.empty() ? std::size_t(limit) : std::size_t(limit) * characters / name.size();
}

std::string problemSentence(FileAction action, const FileFailure& failure)
{
    switch (failure.problem) {
    case FileProblem::None:
    case FileProblem::System:
        break;
    case FileProblem::Cancelled:
        return "L'opération a été annulée.";
    case FileProblem::NotLocalPath:
        return "Ce n'est pas le chemin complet d'un fichier local (il doit commencer par « / »).";
    case FileProblem::BadRequest:
        return "La liste des fichiers à traiter ou celle de leurs destinations est vide ou "
               "incomplète.";
    case FileProblem::UnknownFunction:
        return "Cette opération sur les fichiers n'existe pas.";
    case FileProblem::RenameElsewhere:
        return "Le nouveau nom doit désigner le même dossier : pour changer de dossier, "
               "déplacez le fichier.";
    case FileProblem::SlashInName:
        return "Un nom ne peut pas contenir « / ».";
    case FileProblem::NameTaken:
        if (action == FileAction::Rename)
            return fillIn("Le nom « %1 » existe déjà dans ce dossier : choisissez-en un autre.",
                          {nameOf(failure.other)});
        return fillIn("« %1 » existe déjà : renommez ou déplacez cet élément, puis réessayez.",
                      {failure.other});
    case FileProblem::NameTooLong:
        return fillIn("Le nouveau nom est trop long : un nom compte au plus %1 octets, soit "
                      "environ %2 caractères de ce nom. Raccourcissez-le.",
                      {std::to_string(failure.code),
                       std::to_string(charactersThatFit(failure.other, failure.code))});
    case FileProblem::BadName:
        return "Le nouveau nom n'est pas un nom de fichier valable.";
    case FileProblem::SameItem:
        return "La source et la destination sont le même élément.";
    case FileProblem::IntoItself:
        return "Un dossier ne peut pas être placé à l'intérieur de lui-même.";
    case FileProblem::SpecialFile:
        return "Ce dossier contient un fichier spécial (périphérique ou socket) qui ne peut pas "
               "être copié.";
    case FileProblem::NotInTrash:
        return "Il n'est plus dans la corbeille.";
    case FileProblem::NameClash:
        return fillIn("La destination ne distingue pas les noms « %1 » et « %2 » (elle confond "
                      "les majuscules et les minuscules) : elle ne peut pas recevoir les deux.",
                      {failure.other, nameOf(failure.item)});
    case FileProblem::ShortCopy:
        return "La copie est incomplète : le fichier n'a pas pu être lu en entier (il a peut-être "
               "changé pendant la copie).";
    }
    return reasonOfError(failure.code);
}

} // namespace

std::string reasonOfError(int code)
{
    switch (code) {
    case EACCES:
    case EPERM:
        return "L'accès est refusé.";
    case ENOSPC:
    case EDQUOT:
        return "Le disque est plein.";
    case EROFS:
        return "Le système de fichiers est en lecture seule.";
    case ENAMETOOLONG:
        return "Le nom est trop long.";
    case ENOENT:
        return "Le fichier ou le dossier est introuvable.";
    case EEXIST:
    case ENOTEMPTY:
        return "Un fichier de ce nom existe déjà.";
    case ENOTDIR:
        return "Un élément du chemin n'est pas un dossier.";
    case EISDIR:
        return "Un dossier porte ce nom.";
    case EBUSY:
    case ETXTBSY:
        return "Le fichier est en cours d'utilisation.";
    case EIO:
        return "Une erreur de lecture ou d'écriture s'est produite sur le disque.";
    case ELOOP:
        return "Le chemin contient trop de liens symboliques.";
    case EFBIG:
        return "Le fichier est trop gros pour ce système de fichiers.";
    case EXDEV:
        return "Les deux emplacements sont sur des systèmes de fichiers différents.";
    case EMLINK:
        return "Le dossier contient trop d'éléments.";
    case ENOMEM:
        return "La mémoire est insuffisante.";
    case ECANCELED:
        return "L'opération a été annulée.";
    default:
        return fillIn("Erreur système inattendue (code %1).", {std::to_string(code)});
    }
}

std::string failureMessage(FileAction action, const FileFailure& failure)
{
    if (failure.item.empty())
        return problemSentence(action, failure);
    return fillIn(actionSentence(action), {failure.item}) + " " + problemSentence(action, failure);
}

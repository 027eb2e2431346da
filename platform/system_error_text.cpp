#include "system_error_text.h"

#include <cerrno>

std::string systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC: return "Aucun espace disponible sur le périphérique";
    case EDQUOT: return "Quota d'espace disque dépassé";
    case EFBIG: return "Fichier trop volumineux";
    case EACCES: return "Permission non accordée";
    case EPERM: return "Opération non permise";
    case EROFS: return "Système de fichiers accessible en lecture seulement";
    case ENOENT: return "Aucun fichier ou dossier de ce type";
    case ENOTDIR: return "N'est pas un dossier";
    case EISDIR: return "Est un dossier";
    case EEXIST: return "Le fichier existe";
    case ELOOP: return "Trop de niveaux de liens symboliques";
    case ENAMETOOLONG: return "Nom de fichier trop long";
    case EIO: return "Erreur d'entrée-sortie";
    case EPIPE: return "La lecture de la sortie a été interrompue (tube brisé)";
    case ENXIO: return "Aucun périphérique ou adresse";
    case ENODEV: return "Aucun périphérique de ce type";
    case EBUSY: return "Périphérique ou ressource occupé";
    case ETXTBSY: return "Fichier texte occupé";
    case EXDEV: return "Lien entre systèmes de fichiers différents";
    case EMFILE: return "Trop de fichiers ouverts";
    case ENFILE: return "Trop de fichiers ouverts dans le système";
    case ENOMEM: return "Mémoire insuffisante";
    case EINVAL: return "Argument invalide";
    case EBADF: return "Mauvais descripteur de fichier";
    case EAGAIN: return "Ressource temporairement indisponible";
    case EINTR: return "Appel système interrompu";
    case ESTALE: return "Fichier sur un partage réseau devenu invalide";
    case ETIMEDOUT: return "Délai d'attente dépassé";
    case ENOTCONN: return "Le point de transmission n'est pas connecté";
    case EOPNOTSUPP: return "Opération non prise en charge";
    case ENOSYS: return "Fonction non disponible";
    default: return "Erreur du système n° " + std::to_string(errorNumber);
    }
}

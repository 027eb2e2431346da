#include "export_messages.h"

#include "format_entry.h"
#include "size_text.h"

std::string refusalMessage(const std::string& reason)
{
    return reason + "\nL'export est annulé : aucun fichier n'a été écrit.";
}

std::string writeFailureMessage(const std::string& path, std::string reason)
{
    if (reason.empty())
        reason = "raison inconnue";
    if (reason.back() != '.')
        reason += '.';
    return "Le fichier « " + path + " » n'a pas pu être écrit : " + reason +
           "\nAucun fichier existant n'a été modifié.";
}

std::string noRoomMessage(const std::string& path, const SizeEstimate& size, std::uint64_t free)
{
    const std::string usual =
        size.typical < size.upperBound ? "fera environ " + sizeText(size.typical) + " et " : std::string();
    return "Le fichier « " + path + " » " + usual + "peut atteindre " + sizeText(size.upperBound) +
           ", mais il ne reste que " +
           sizeText(free) + " de libre à cet endroit.\nL'export est annulé : aucun fichier n'a été modifié.";
}

std::string largeFileStatement(std::uint64_t typicalBytes, std::uint64_t cells)
{
    return "Le fichier fera environ " + sizeText(typicalBytes) + " (" + countText(cells) + " cellules).";
}

std::string sameAsPictureMessage(const std::string& path)
{
    return "Le fichier « " + path + " » est l'image ouverte : l'export l'effacerait.\n"
           "Choisissez un autre nom ; aucun fichier n'a été modifié.";
}

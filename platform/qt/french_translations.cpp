#include "french_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include <cstring>

QString QtMissingFrench::translate(const char* context, const char* sourceText, const char*, int) const
{
    if (std::strcmp(context, "QAbstractFileIconProvider") != 0)
        return {};
    static const struct {
        const char* english;
        const char* french;
    } texts[] = {
        {"Folder", "Dossier"},     {"File Folder", "Dossier"}, {"Drive", "Lecteur"},
        {"File", "Fichier"},       {"%1 File", "Fichier %1"},  {"Shortcut", "Raccourci"},
        {"Alias", "Alias"},        {"Unknown", "Inconnu"},
    };
    for (const auto& t : texts)
        if (std::strcmp(sourceText, t.english) == 0)
            return QString::fromUtf8(t.french);
    return {};
}

FrenchTranslations::FrenchTranslations()
{
    if (qtCatalogue_.load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtCatalogue_);
    // Installed last, asked first: it answers only what the catalogue lacks.
    QCoreApplication::installTranslator(&missing_);
}

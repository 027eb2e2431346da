#pragma once

#include <QTranslator>

// The desktop's own texts in French: Qt's French catalogue, and beside it the
// few texts that catalogue lacks (the file dialogs' type column says "Folder"
// and "PNG File" otherwise).
class QtMissingFrench : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// Installs both on the application; they must outlive it, hence the owner.
class FrenchTranslations {
public:
    FrenchTranslations();

private:
    QTranslator qtCatalogue_;
    QtMissingFrench missing_;
};

#include "platform/qt/french_translations.h"

#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The file dialogs' columns and the type of what they list, as the program
// shows them: in French, with no English word left.
TEST(FileDialogLanguage, ColumnsAndFileTypesAreInFrench)
{
    // As the program starts: the French locale (the types' descriptions
    // follow it), then the translations.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const FrenchTranslations translations;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("pieces"));
    QFile picture(dir.filePath("relief.png"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    QFile bare(dir.filePath("LISEZMOI"));
    ASSERT_TRUE(bare.open(QIODevice::WriteOnly));

    const QAbstractFileIconProvider icons;
    const struct {
        QString path;
        const char* type;
    } files[] = {
        {dir.filePath("pieces"), "Dossier"},
        {dir.filePath("relief.png"), "image PNG"},
        {dir.filePath("LISEZMOI"), "document vide"},
    };
    for (const auto& f : files)
        EXPECT_EQ(icons.type(QFileInfo(f.path)).toStdString(), f.type) << f.path.toStdString();

    const QFileSystemModel model;
    const char* english[] = {"Name", "Size", "Kind", "Date Modified"};
    for (int column = 0; column < model.columnCount(); ++column) {
        const QString header = model.headerData(column, Qt::Horizontal).toString();
        for (const char* word : english)
            EXPECT_NE(header.toStdString(), word) << "column " << column;
    }
    QLocale::setDefault(before);
}

// Writes the program's icon at the sizes desktops use, for installation:
// write_icons FOLDER writes FOLDER/SIZExSIZE/apps/orvanel.png.
#include "app_icon.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage : write_icons DOSSIER\n");
        return 2;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!QDir().mkpath(folder) || !appIconImage(size).save(folder + QStringLiteral("/orvanel.png"))) {
            std::fprintf(stderr, "impossible d'écrire %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}

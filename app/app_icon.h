#pragma once

#include <QIcon>
#include <QImage>

// The program's icon: a small relief, at 16 and 32 pixels in 16 colours.
QIcon appIcon();

// The icon's picture at any size, for the desktop's menus.
QImage appIconImage(int size);

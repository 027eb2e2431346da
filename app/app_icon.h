#pragma once

#include <QIcon>

// The program's icon: a small relief, at 16 and 32 pixels in 16 colours.
QIcon appIcon();

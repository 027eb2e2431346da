#include "preview_placement.h"

#include <algorithm>

QRect previewPlacement(const QRect& screen, const MainWindowArea& main, QSize wanted, QSize smallest)
{
    const QSize size = wanted.boundedTo(screen.size());
    const int roomRight = screen.right() - main.frame.right();
    const int roomLeft = main.frame.left() - screen.left();
    const int besideTop = std::clamp(main.frame.top(), screen.top(), screen.bottom() + 1 - size.height());
    if (roomRight >= size.width() || (roomRight >= smallest.width() && roomRight >= roomLeft))
        return {main.frame.right() + 1, besideTop, std::min(size.width(), roomRight), size.height()};
    if (roomLeft >= smallest.width()) {
        const int width = std::min(size.width(), roomLeft);
        return {main.frame.left() - width, besideTop, width, size.height()};
    }
    // No room beside: over the picture, leaving the fields, the title and
    // the menu in view.
    const int top = std::clamp(main.clientTop, screen.top(), screen.bottom());
    const int width = std::clamp(main.fieldsLeft - screen.left(), std::min(smallest.width(), size.width()),
                                 size.width());
    return {screen.left(), top, width, std::min(size.height(), screen.bottom() + 1 - top)};
}

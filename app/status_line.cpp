#include "status_line.h"

#include "platform/window_unit.h"

#include <QLabel>
#include <QStatusBar>

#include <cmath>

StatusLine::StatusLine(QStatusBar* bar)
    : QObject(bar), bar_(bar), readout_(new QLabel(bar)), pointer_(new QLabel(bar))
{
    readout_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar->addWidget(readout_, 1);
    bar->addPermanentWidget(pointer_);
}

void StatusLine::showSelection(const QString& text)
{
    selectionText_ = text;
    show();
}

void StatusLine::exportStarted()
{
    exportRunning_ = true;
    show();
}

void StatusLine::exportEnded()
{
    exportRunning_ = false;
}

void StatusLine::show()
{
    readout_->setText(exportRunning_ ? QStringLiteral("export en cours · ") + selectionText_ : selectionText_);
}

void StatusLine::showPointer(float x, float y)
{
    pointer_->setText(QStringLiteral("%1, %2 px")
                          .arg(std::floor(x / window_unit::perPixelAcross + 1e-4))
                          .arg(std::floor(y / window_unit::perPixelDown + 1e-4)));
}

void StatusLine::clearPointer()
{
    pointer_->clear();
}

void StatusLine::commandIgnored()
{
    bar_->showMessage(QStringLiteral("export en cours : commande ignorée"), 4000);
}

void StatusLine::tell(const QString& answer)
{
    // Long enough to be read after the completion message is dismissed.
    bar_->showMessage(answer, 30000);
}

QString StatusLine::readout() const
{
    return readout_->text();
}

QString StatusLine::pointerReadout() const
{
    return pointer_->text();
}

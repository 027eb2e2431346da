#include "status_line.h"

#include "selection_summary.h"
#include "status_field.h"
#include "platform/window_unit.h"
#include "relief/size_text.h"

#include <QSize>
#include <QStatusBar>

#include <cmath>

namespace {

QString fromUtf8(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

StatusLine::StatusLine(QStatusBar* bar)
    : QObject(bar),
      bar_(bar),
      message_(new StatusField(bar)),
      picture_(new StatusField(bar)),
      selection_(new StatusField(bar)),
      cells_(new StatusField(bar)),
      format_(new StatusField(bar)),
      pointer_(new StatusField(bar))
{
    // The message takes the room the fields leave, and is drawn here rather
    // than by the bar, which would cut it without an ellipsis.
    // A message answers the last action, the size is what the status is
    // most looked at for: the other fields give up their room first.
    message_->keepWholeUpTo(160);
    format_->keepWholeUpTo(120);
    bar->addPermanentWidget(message_, 1);
    for (StatusField* field : {picture_, selection_, cells_, format_, pointer_})
        bar->addPermanentWidget(field);
    connect(bar, &QStatusBar::messageChanged, this, &StatusLine::showMessage);
    pointer_->reserveWidthFor(QStringLiteral("0000, 0000 px"));
    pointer_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    pointer_->setDetail(QStringLiteral("Pixel de l'image sous le pointeur (colonne, ligne)"));
    showPicture({});
    showMessage({});
}

void StatusLine::showMessage(const QString& text)
{
    message_->setText(text.isEmpty() && exportRunning_ ? QStringLiteral("export en cours") : text);
}

void StatusLine::showPicture(const QSize& size)
{
    if (size.isEmpty()) {
        picture_->setText(QStringLiteral("aucune image"));
        picture_->setDetail(QStringLiteral("Aucune image n'est chargée"));
        return;
    }
    const QString text = QStringLiteral("%1 x %2 px").arg(size.width()).arg(size.height());
    picture_->setText(text);
    picture_->setDetail(QStringLiteral("Image de %1").arg(text));
}

void StatusLine::showSummary(const SelectionSummary& summary)
{
    selection_->setText(fromUtf8(selectionMetresText(summary, true)));
    const QString pixels = fromUtf8(selectionPixelsText(summary));
    selection_->setDetail(
        QStringLiteral("Sélection : %1 de l'image, soit %2").arg(pixels, fromUtf8(selectionMetresText(summary))));
    const QString cells = fromUtf8(cellsText(summary));
    cells_->setText(cells);
    cells_->setDetail(summary.refusal ? cells + QStringLiteral(" : ") + fromUtf8(*summary.refusal) : cells);

    formatSizes_.clear();
    QStringList lines{QStringLiteral("Taille estimée de chaque fichier, avec les options de son format :")};
    for (const SelectionSummary::FormatSize& format : summary.sizes) {
        formatSizes_.push_back({format.id, fromUtf8(format.id + " " + estimateText(format))});
        QString line = fromUtf8(format.caption + " (" + format.id + ") : " + estimateText(format));
        if (format.size && format.size->upperBound > format.size->typical)
            line += QStringLiteral(" (jusqu'à %1)").arg(fromUtf8(sizeText(format.size->upperBound)));
        lines << line;
    }
    format_->setDetail(lines.join(QLatin1Char('\n')));
    showFormatSize();
}

void StatusLine::showFormat(const std::string& id)
{
    shownFormat_ = id;
    showFormatSize();
}

// The format chosen last, else the first one listed.
void StatusLine::showFormatSize()
{
    if (formatSizes_.empty())
        return format_->setText({});
    const FormatSize* shown = &formatSizes_.front();
    for (const FormatSize& size : formatSizes_)
        if (size.id == shownFormat_)
            shown = &size;
    format_->setText(shown->text);
}

// The export's progress bar stands after the fields: the file size stays
// beside it, the others make room for it.
void StatusLine::exportStarted()
{
    exportRunning_ = true;
    for (StatusField* field : {picture_, selection_, cells_, pointer_})
        field->hide();
    bar_->clearMessage();
    showMessage({});
}

void StatusLine::exportEnded()
{
    exportRunning_ = false;
    for (StatusField* field : {picture_, selection_, cells_, pointer_})
        field->show();
    showMessage(bar_->currentMessage());
}

void StatusLine::showPointer(float x, float y)
{
    pointer_->setText(QStringLiteral("%1, %2 px")
                          .arg(std::floor(x / window_unit::perPixelAcross + 1e-4))
                          .arg(std::floor(y / window_unit::perPixelDown + 1e-4)));
}

void StatusLine::clearPointer()
{
    pointer_->setText({});
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
    return QStringList{picture_->text(), selection_->text(), cells_->text(), format_->text()}.join(
        QStringLiteral(" · "));
}

QString StatusLine::pointerReadout() const
{
    return pointer_->text();
}

std::vector<StatusField*> StatusLine::sections() const
{
    return {message_, picture_, selection_, cells_, format_, pointer_};
}

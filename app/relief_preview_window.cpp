#include "relief_preview_window.h"

#include "relief_view.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

ReliefPreviewWindow::ReliefPreviewWindow(QWidget* parent)
    : QWidget(parent, Qt::Window),
      factsText(new QLabel(this)),
      depthColours(new QCheckBox(QStringLiteral("couleur par profondeur"), this)),
      frontView(new QPushButton(QStringLiteral("Vue de face"), this)),
      view_(new ReliefView(this))
{
    setWindowTitle(QStringLiteral("Aperçu 3D"));
    factsText->setWordWrap(true);
    factsText->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    factsText->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* side = new QVBoxLayout;
    side->addWidget(factsText);
    side->addStretch();
    side->addWidget(depthColours);
    side->addWidget(frontView);
    factsText->setFixedWidth(220);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(side);

    connect(frontView, &QPushButton::clicked, this, &ReliefPreviewWindow::showFrontView);
    connect(depthColours, &QCheckBox::toggled, this, [this](bool on) {
        view_->setMode(on ? RenderMode::DepthColours : RenderMode::Shaded);
    });
}

void ReliefPreviewWindow::setRelief(HeightGrid grid, const PreviewFacts& facts)
{
    setRelief(thinGrid(std::move(grid)), facts);
}

void ReliefPreviewWindow::setRelief(ThinnedGrid shown, const PreviewFacts& facts)
{
    QStringList lines{facts.size, facts.partSize, facts.cells};
    lines << facts.fileSizes << facts.depth << facts.notes;
    if (shown.step > 1)
        lines << QStringLiteral("aperçu allégé : 1 point sur %1").arg(shown.step);
    lines.removeAll(QString());
    factsText->setText(lines.join(QLatin1Char('\n')));
    view_->setGrid(std::move(shown.grid));
}

void ReliefPreviewWindow::showFrontView()
{
    view_->setCamera(PreviewCamera::front());
}

void ReliefPreviewWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Home && event->modifiers() == Qt::NoModifier)
        return showFrontView();
    QWidget::keyPressEvent(event);
}

void ReliefPreviewWindow::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous())  // hidden by the program or closed, not minimised
        leftAt_ = saveGeometry();
    QWidget::hideEvent(event);
}

void ReliefPreviewWindow::returnWhereLeft()
{
    if (!leftAt_.isEmpty())
        restoreGeometry(leftAt_);
}

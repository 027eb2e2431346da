#include "export_progress_bar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>
#include <cmath>

namespace {

constexpr int steps = 1000;
// Before this much of a stage, or this long into it, the time left would
// be a guess.
constexpr double leastShareForEstimate = 0.01;
constexpr qint64 leastMillisecondsForEstimate = 1000;

}  // namespace

ExportProgressBar::ExportProgressBar(QStatusBar* bar)
    : QWidget(bar),
      bar_(new QProgressBar(this)),
      note_(new QLabel(this)),
      cancel_(new QPushButton(QStringLiteral("Annuler"), this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(bar_);
    row->addWidget(note_);
    row->addWidget(cancel_);
    bar_->setRange(0, steps);
    bar_->setFormat(QStringLiteral("%p\u00A0%"));
    bar_->setFixedWidth(110);
    // Focus stays where the user typed: Escape there still reaches the window.
    cancel_->setFocusPolicy(Qt::NoFocus);
    connect(cancel_, &QPushButton::clicked, this, &ExportProgressBar::cancelRequested);
    // Permanent, so that a message in the status area never hides it.
    bar->addPermanentWidget(this);
    hide();
}

void ExportProgressBar::advance(const std::string& stage, const std::string& phase, double done)
{
    if (isHidden() || stage != stage_) {
        stage_ = stage;
        sinceStageStart_.start();
        setToolTip(QString::fromStdString(stage));
        show();
    }
    const double share = std::clamp(done, 0.0, 1.0);
    bar_->setValue(static_cast<int>(std::floor(share * steps)));
    // The stage's caption is the tooltip: the phase is enough beside the bar.
    QStringList parts;
    if (!phase.empty())
        parts << QString::fromStdString(phase);
    const qint64 elapsed = sinceStageStart_.elapsed();
    if (share >= leastShareForEstimate && share < 1 && elapsed >= leastMillisecondsForEstimate)
        parts << timeLeftText(double(elapsed) / 1000 * (1 - share) / share);
    parts << QStringLiteral("Échap pour annuler");
    note_->setText(parts.join(QStringLiteral(" · ")));
}

void ExportProgressBar::end(const std::string& answer)
{
    hide();
    stage_.clear();
    bar_->reset();
    if (!answer.empty())
        emit ended(QString::fromStdString(answer));
}

QString ExportProgressBar::note() const
{
    return note_->text();
}

QString timeLeftText(double seconds)
{
    const long long whole = std::llround(std::ceil(std::max(seconds, 1.0)));
    if (whole < 60)
        return QStringLiteral("encore %1 s").arg(whole);
    if (whole < 3600)
        return QStringLiteral("encore %1 min %2 s").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
    const long long minutes = (whole + 59) / 60;
    return QStringLiteral("encore %1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

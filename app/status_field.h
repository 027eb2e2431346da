#pragma once

#include <QString>
#include <QWidget>

// One section of the status bar: its text cut with an ellipsis when the bar
// gives it less room than the text needs, never cut bare; its tooltip holds
// the whole text, or a longer account of it.
class StatusField : public QWidget {
    Q_OBJECT
public:
    explicit StatusField(QWidget* parent = nullptr);

    void setText(const QString& text);
    // What the tooltip adds to the whole text.
    void setDetail(const QString& detail);
    // Asks at least the room this sample needs, so that a field whose text
    // changes with every mouse move does not push the others about.
    void reserveWidthFor(const QString& sample);
    // Shown whole up to this width before the other fields give up theirs.
    void keepWholeUpTo(int pixels);

    QString text() const { return text_; }
    // The text as drawn at the field's present width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateToolTip();

    QString text_;
    QString detail_;
    QString sample_;
    int keptWhole_ = 0;
};

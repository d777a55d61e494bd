#pragma once

#include <QGroupBox>
#include <QLabel>

namespace velmorant {

// A label that reports a click (pictures and links).
class ClickableLabel : public QLabel
{
    Q_OBJECT

public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// One of the two lines of an etched rule: drawn in `colour`, `thickness` pixels high.
class RuleLine : public QWidget
{
public:
    RuleLine(const QString &name, const QColor &colour, int thickness, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_colour;
};

// A frame drawn as the desktop's classic frames are: an etched border whose top line runs
// through the middle of the caption, the caption on the line at the left. Everything inside
// sits below the caption, at the places the layout gives it.
class DesignFrame : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

    // The height of the band the caption takes at the top of the frame.
    int captionHeight() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Adds the grey-over-white etched rule from (x1, y) to (x2, y), in twips.
void addEtchedRule(QWidget *parent, const QString &greyName, const QString &whiteName, int x1,
                   int x2, int y);

// A frame of the main window: its caption in the frame font, at a place in twips.
QGroupBox *makeFrame(const QString &name, const QString &caption, QWidget *parent, int left,
                     int top, int width, int height);

// Makes a label's text fit its designed box: the substituted fonts can run wider than the ones
// the layout was drawn with, so a text too wide takes a smaller size of the same font.
void fitToText(QLabel *label);

// A label in the window's regular font at a place in twips.
QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent, int left, int top,
                  int width, int height, Qt::Alignment alignment);

} // namespace velmorant

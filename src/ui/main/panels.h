#pragma once

#include "parameters.h"
#include "results.h"

#include <QObject>

#include <array>

class QLineEdit;
class QWidget;

namespace velmorant {

// Frame "Input": the eight parameter rows, built from the field table.
class InputPanel
{
public:
    explicit InputPanel(QWidget *parent);

    ParameterTexts texts() const;
    void setTexts(const ParameterTexts &texts);
    QLineEdit *box(std::size_t field) const { return m_boxes[field]; }

private:
    std::array<QLineEdit *, FieldCount> m_boxes{};
};

// Frame "Output": the eight result rows.
class OutputPanel
{
public:
    explicit OutputPanel(QWidget *parent);

    void setResults(const std::array<QString, ResultCount> &texts);
    void clear();
    QLineEdit *box(std::size_t index) const { return m_boxes[index]; }

private:
    std::array<QLineEdit *, ResultCount> m_boxes{};
};

// The heading frame: product heading, picture and web link.
class HeadingPanel : public QObject
{
    Q_OBJECT

public:
    explicit HeadingPanel(QWidget *parent);

signals:
    void webLinkClicked();
};

// The maker's web site, shown by the heading and the splash.
QString webAddressText();
QUrl webAddress();

} // namespace velmorant

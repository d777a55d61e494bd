#pragma once

#include "workshopinput.h"

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace velmorant {

class Platform;

// The pipe's boxes of the workshop window: the method that builds it (or a pipe measured on
// the bench), the diffuser's stages, the port and the engine class for the field's methods,
// Jennings' cones and the band's width. Boxes a method does not read are disabled.
class PipeForm : public QGroupBox
{
    Q_OBJECT

public:
    PipeForm(Platform &platform, QWidget *parent = nullptr);

    PipeTexts texts() const;
    void setTexts(const PipeTexts &t);

private:
    void chooseFile();
    void methodChanged();

    Platform &m_platform;
    QComboBox *m_method = nullptr, *m_class = nullptr;
    QSpinBox *m_stages = nullptr;
    QLineEdit *m_horn = nullptr, *m_portWidth = nullptr, *m_portHeight = nullptr;
    QLineEdit *m_divergent = nullptr, *m_convergent = nullptr, *m_band = nullptr;
    QLineEdit *m_file = nullptr;
    QPushButton *m_browse = nullptr;
};

} // namespace velmorant

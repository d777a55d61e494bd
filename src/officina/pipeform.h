#pragma once

#include "workshopinput.h"

#include <QGroupBox>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace velmorant {

class Platform;

// The pipe's boxes of the workshop window: the method that builds it (or a pipe measured on
// the bench), the diffuser's stages, the port and the engine class for the field's methods,
// Jennings' cones and the band's width. Boxes a method does not read are disabled (and the
// calculation does not read them either). A measured pipe is read when chosen and held, so that
// a project keeps it.
class PipeForm : public QGroupBox
{
    Q_OBJECT

public:
    PipeForm(Platform &platform, QWidget *parent = nullptr);

    PipeTexts texts() const;
    void setTexts(const PipeTexts &t);
    // The measured pipe a calculation read from the file box.
    void setMeasured(const std::optional<MeasuredPipe> &measured) { m_measured = measured; }
    // The pipe the search found (or none): a method of its own in the box.
    void setSearched(const std::optional<MeasuredPipe> &searched);

signals:
    void changed();

private:
    void chooseFile();
    void methodChanged();

    Platform &m_platform;
    QComboBox *m_method = nullptr, *m_class = nullptr;
    QLineEdit *m_stages = nullptr;
    QLineEdit *m_horn = nullptr, *m_portWidth = nullptr, *m_portHeight = nullptr;
    QLineEdit *m_divergent = nullptr, *m_convergent = nullptr, *m_band = nullptr;
    QLineEdit *m_file = nullptr;
    QPushButton *m_browse = nullptr;
    std::optional<MeasuredPipe> m_measured, m_searched;
};

} // namespace velmorant

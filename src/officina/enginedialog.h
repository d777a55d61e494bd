#pragma once

#include "engine.h"

#include <QDialog>
#include <QLocale>

#include <array>

class QLineEdit;
class QSettings;

namespace velmorant {

class Platform;

// The engine around the pipe for the Onde tab: a box for every input of the model with its
// range, bore and stroke empty for a square engine of the design's displacement. OK refuses
// a value out of range, naming it, and keeps the dialog open on it.
class EngineDialog : public QDialog
{
    Q_OBJECT

public:
    EngineDialog(Platform &platform, const QLocale &locale, const waves::EngineInputs &engine,
                 QWidget *parent = nullptr);
    const waves::EngineInputs &engine() const { return m_engine; }

    void accept() override;

private:
    Platform &m_platform;
    QLocale m_locale;
    waves::EngineInputs m_engine;
    QList<QLineEdit *> m_boxes; // engineRanges() in order, then bore and stroke
};

// The engine kept between runs (settings group "Officina/Motore"); a value missing or out of
// range takes its default.
waves::EngineInputs readEngineSettings(QSettings &settings);
void writeEngineSettings(QSettings &settings, const waves::EngineInputs &engine);

} // namespace velmorant

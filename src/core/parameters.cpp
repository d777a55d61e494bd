#include "parameters.h"

#include "number.h"

#include <QCoreApplication>

namespace velmorant {

const std::array<FieldInfo, FieldCount> &fieldTable()
{
    static const std::array<FieldInfo, FieldCount> table{{
        {"CIL", "cil", "txtCil", "Label1", QT_TRANSLATE_NOOP("velmorant", "Cilindrata (cc)"), 100,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione della Cilindrata")},
        {"RPM", "rpm", "txtRPM", "Label2",
         QT_TRANSLATE_NOOP("velmorant", "Numero di Giri da Ottimizzare (RPM)"), 10000,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione del Numero di giri")},
        {"ASP", "asp", "txtAsp", "Label3",
         QT_TRANSLATE_NOOP("velmorant", "Durata Fase di Aspirazione (Deg)"), 120,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione della fase di Aspirazione")},
        {"SC", "sc", "txtSc", "Label4",
         QT_TRANSLATE_NOOP("velmorant", "Durata Fase di Scarico (Deg)"), 180,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione della fase di Scarico")},
        {"CONV", "conv", "txtConv", "Label5",
         QT_TRANSLATE_NOOP("velmorant", "Angolo del tratto Convergente (6\u00f78 Deg)"), 7,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione dell'angolo convergente")},
        {"DIV", "div", "txtDiv", "Label6",
         QT_TRANSLATE_NOOP("velmorant", "Angolo del tratto Divergente (2\u00f74 Deg)"), 3,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione dell'angolo divergente")},
        {"TEMP1", "temp", "txtTemp1", "Label7",
         QT_TRANSLATE_NOOP("velmorant", "Temperatura Gas di Scarico (\u00b0C)"), 800,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione della Temperatura di scarico")},
        {"RAPPSEZ", "rappsez", "txtRappsez", "Label8",
         QT_TRANSLATE_NOOP("velmorant", "Rapporto Sez Centrale/Sez Iniziale (4\u00f75)"), 4,
         QT_TRANSLATE_NOOP("velmorant", "Errore nell'immissione della rapporto delle sezioni")},
    }};
    return table;
}

QString fieldCaption(std::size_t index)
{
    return QCoreApplication::translate("velmorant", fieldInfo(index).caption);
}

QString fieldRejection(std::size_t index)
{
    return QCoreApplication::translate("velmorant", fieldInfo(index).rejection);
}

DesignParameters defaultParameters()
{
    DesignParameters p;
    for (std::size_t i = 0; i < FieldCount; ++i)
        p.values[i] = fieldInfo(i).defaultValue;
    return p;
}

ParameterTexts parameterTexts(const DesignParameters &p, const QLocale &locale)
{
    ParameterTexts texts;
    for (std::size_t i = 0; i < FieldCount; ++i)
        texts[i] = formatBoxNumber(p.values[i], locale);
    return texts;
}

} // namespace velmorant

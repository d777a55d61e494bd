#include "parameters.h"

#include "number.h"

namespace velmorant {

const std::array<FieldInfo, FieldCount> &fieldTable()
{
    static const std::array<FieldInfo, FieldCount> table{{
        {"CIL", "txtCil", "Label1", "Cilindrata (cc)", 100,
         "Errore nell'immissione della Cilindrata"},
        {"RPM", "txtRPM", "Label2", "Numero di Giri da Ottimizzare (RPM)", 10000,
         "Errore nell'immissione del Numero di giri"},
        {"ASP", "txtAsp", "Label3", "Durata Fase di Aspirazione (Deg)", 120,
         "Errore nell'immissione della fase di Aspirazione"},
        {"SC", "txtSc", "Label4", "Durata Fase di Scarico (Deg)", 180,
         "Errore nell'immissione della fase di Scarico"},
        {"CONV", "txtConv", "Label5", "Angolo del tratto Convergente (6\u00f78 Deg)", 7,
         "Errore nell'immissione dell'angolo convergente"},
        {"DIV", "txtDiv", "Label6", "Angolo del tratto Divergente (2\u00f74 Deg)", 3,
         "Errore nell'immissione dell'angolo divergente"},
        {"TEMP1", "txtTemp1", "Label7", "Temperatura Gas di Scarico (\u00b0C)", 800,
         "Errore nell'immissione della Temperatura di scarico"},
        {"RAPPSEZ", "txtRappsez", "Label8", "Rapporto Sez Centrale/Sez Iniziale (4\u00f75)", 4,
         "Errore nell'immissione della rapporto delle sezioni"},
    }};
    return table;
}

QString fieldCaption(std::size_t index)
{
    return QString::fromUtf8(fieldInfo(index).caption);
}

QString fieldRejection(std::size_t index)
{
    return QString::fromUtf8(fieldInfo(index).rejection);
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

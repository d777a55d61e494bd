#pragma once

#include <QCoreApplication>
#include <QString>

// The program's own user-visible texts that are not tied to one parameter. They are written in
// Italian, the program's language, and pass through Qt's translation so that another language
// can be added later without touching the code.
namespace velmorant::texts {

inline QString productName()
{
    return QStringLiteral("Velmorant");
}

inline QString statusReady()
{
    return QCoreApplication::translate("velmorant", "Stato: Pronto per il Calcolo");
}
inline QString statusCleared()
{
    return QCoreApplication::translate("velmorant", "Stato: Pronto per il calcolo");
}
QString statusAfterCalculation(int count);
inline QString fileNone()
{
    return QCoreApplication::translate("velmorant", "File: Nessuno");
}
inline QString fileTitle(const QString &title)
{
    return QCoreApplication::translate("velmorant", "File: %1").arg(title);
}

inline QString sourceDefaults()
{
    return QCoreApplication::translate("velmorant", "Input: Valori di Default");
}
inline QString sourceFile()
{
    return QCoreApplication::translate("velmorant", "Input: Valori da File");
}
inline QString sourceUser()
{
    return QCoreApplication::translate("velmorant", "Input: Valori Utente");
}

inline QString calculationDone()
{
    return QCoreApplication::translate("velmorant", "Calcolo eseguito correttamente");
}
inline QString defaultsRestored()
{
    return QCoreApplication::translate("velmorant", "Ripristinati valori di input di default");
}

inline QString negativeL3()
{
    return QCoreApplication::translate("velmorant",
                                       "Lunghezza L3 negativa, modificare alcuni dati di input");
}
inline QString unbuildable(const QString &name, const QString &value, const QString &longest)
{
    return QCoreApplication::translate("velmorant",
                                       "%1 = %2 mm: nessuna camera si costruisce con queste "
                                       "misure (lunghezze e diametri positivi, lunghezze al "
                                       "massimo %3 mm), modificare alcuni dati di input")
        .arg(name, value, longest);
}
inline QString temperatureTooLow()
{
    return QCoreApplication::translate("velmorant",
                                       "Temperatura di scarico troppo bassa per il calcolo, "
                                       "modificare alcuni dati di input");
}
inline QString oppositeSigns()
{
    return QCoreApplication::translate("velmorant",
                                       "Cilindrata e Numero di giri di segno opposto, modificare "
                                       "alcuni dati di input");
}
inline QString negativeRatio()
{
    return QCoreApplication::translate(
        "velmorant", "Rapporto delle sezioni negativo, modificare alcuni dati di input");
}
inline QString outOfRange()
{
    return QCoreApplication::translate(
        "velmorant", "Dati di input fuori dal campo di calcolo, modificare alcuni dati di input");
}

// The sketch's captions: "L1=" 164.1 " mm", "Div=" 3.0 "°".
inline QString lengthCaption(const QString &prefix, const QString &value)
{
    return QCoreApplication::translate("velmorant", "%1%2 mm").arg(prefix, value);
}
inline QString divergentCaption(const QString &value)
{
    return QCoreApplication::translate("velmorant", "Div=%1\u00b0").arg(value);
}
inline QString convergentCaption(const QString &value)
{
    return QCoreApplication::translate("velmorant", "Conv=%1\u00b0").arg(value);
}

} // namespace velmorant::texts

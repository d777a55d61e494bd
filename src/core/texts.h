#pragma once

#include <QString>

// The program's own user-visible texts that are not tied to one parameter.
namespace velmorant::texts {

inline QString productName()
{
    return QStringLiteral("Velmorant");
}

inline QString statusReady()
{
    return QStringLiteral("Stato: Pronto per il Calcolo");
}
inline QString statusCleared()
{
    return QStringLiteral("Stato: Pronto per il calcolo");
}
QString statusAfterCalculation(int count);
inline QString fileNone()
{
    return QStringLiteral("File: Nessuno");
}
inline QString fileTitle(const QString &title)
{
    return QStringLiteral("File: ") + title;
}

inline QString sourceDefaults()
{
    return QStringLiteral("Input: Valori di Default");
}
inline QString sourceFile()
{
    return QStringLiteral("Input: Valori da File");
}
inline QString sourceUser()
{
    return QStringLiteral("Input: Valori Utente");
}

inline QString calculationDone()
{
    return QStringLiteral("Calcolo eseguito correttamente");
}
inline QString defaultsRestored()
{
    return QStringLiteral("Ripristinati valori di input di default");
}

inline QString negativeL3()
{
    return QStringLiteral("Lunghezza L3 negativa, modificare alcuni dati di input");
}
inline QString temperatureTooLow()
{
    return QStringLiteral(
        "Temperatura di scarico troppo bassa per il calcolo, modificare alcuni dati di input");
}
inline QString oppositeSigns()
{
    return QStringLiteral(
        "Cilindrata e Numero di giri di segno opposto, modificare alcuni dati di input");
}
inline QString negativeRatio()
{
    return QStringLiteral("Rapporto delle sezioni negativo, modificare alcuni dati di input");
}
inline QString outOfRange()
{
    return QStringLiteral(
        "Dati di input fuori dal campo di calcolo, modificare alcuni dati di input");
}

} // namespace velmorant::texts

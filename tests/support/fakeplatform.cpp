#include "fakeplatform.h"

namespace velmorant {

void FakePlatform::showMessage(QWidget *, const QString &title, const QString &text,
                               MessageIcon icon)
{
    messages.append({title, text, icon});
    if (onMessage)
        onMessage(messages.last());
}

QString FakePlatform::nextFileAnswer()
{
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString FakePlatform::openFileName(QWidget *, const QString &title, const QString &filters)
{
    fileRequests.append({title, filters, false, QString()});
    return nextFileAnswer();
}

QString FakePlatform::saveFileName(QWidget *, const QString &title, const QString &filters,
                                   const QString &proposed)
{
    fileRequests.append({title, filters, true, proposed});
    return nextFileAnswer();
}

QString FakePlatform::exportFileName(QWidget *, const QString &title, const QString &filters,
                                     const QString &proposed)
{
    fileRequests.append({title, filters, true, proposed});
    const QString chosen =
        chosenTypes.isEmpty() ? filters.section(QLatin1Char('|'), 1, 1) : chosenTypes.takeFirst();
    return withChosenSuffix(nextFileAnswer(), chosen, filters);
}

SaveChoice FakePlatform::askToSave(QWidget *, const QString &, const QString &text)
{
    saveQuestions.append(text);
    return saveAnswers.isEmpty() ? SaveChoice::Cancel : saveAnswers.takeFirst();
}

bool FakePlatform::choosePrinter(QWidget *, QPrinter &printer)
{
    ++printerRequests;
    return printerAnswer ? printerAnswer(printer) : false;
}

void FakePlatform::openAddress(const QUrl &url)
{
    openedAddresses.append(url);
}

} // namespace velmorant

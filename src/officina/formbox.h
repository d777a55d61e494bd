#pragma once

#include <QLineEdit>

namespace velmorant {

// A number box of the workshop window, found by its name.
inline QLineEdit *formBox(const QString &name, QWidget *parent, int minimumWidth = 90)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMinimumWidth(minimumWidth);
    return edit;
}

} // namespace velmorant

#pragma once

#include <QString>

namespace velmorant {

// The icon of a message box: none for a confirmation, information, or the stop sign of an
// error.
enum class MessageIcon { None, Information, Critical };

// A message the user must acknowledge. The core returns these; only the windows show them.
struct Message
{
    QString text;
    MessageIcon icon = MessageIcon::None;
    bool operator==(const Message &o) const { return text == o.text && icon == o.icon; }
};

} // namespace velmorant

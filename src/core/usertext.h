#pragma once

#include <QString>

namespace velmorant {

// Text typed by the user that goes into files (a design's name): control characters, line and
// paragraph separators, unpaired surrogates and non-characters become one space each run, and
// blanks at either end are dropped. What is left is printable in every format the suite writes.
QString plainUserText(const QString &text);

// User text quoted in a message: at most 40 characters (then "..."), control characters shown
// as escapes (\n, \t, \e, \x01), so that nothing typed can move the terminal's cursor or
// change its colours.
QString quotedUserText(const QString &text);

// A file's path quoted in a message, escaped as above: whole up to 200 characters, and beyond
// that its last 200 (after "..."), so that the file's own name is always seen.
QString quotedPath(const QString &path);

// A whole message for a terminal: every control character but the line feed shown escaped.
QString terminalSafe(const QString &text);

} // namespace velmorant

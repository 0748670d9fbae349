#pragma once

#include <QString>
#include <QStringView>

// The text with every line break written as one LF, the plain-text convention of the clipboard.
// A break is CR LF, a lone CR, a lone LF, or the line and paragraph separators U+2028 and U+2029
// that the text document uses internally.
QString WithLineFeeds(QStringView text);

// The same with every line break written as CR LF.
QString WithCrLf(QStringView text);

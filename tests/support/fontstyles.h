#pragma once

#include <QFont>
#include <QString>

namespace testsupport {

// A font's styles as four marks, "-" where off: B(old), I(talic), U(nderline), S(trikeout).
inline QString styleMarks(const QFont& font)
{
    QString marks = QStringLiteral("----");
    const bool on[] {font.bold(), font.italic(), font.underline(), font.strikeOut()};
    for (int i = 0; i < 4; ++i)
        if (on[i])
            marks[i] = QStringLiteral("BIUS")[i];
    return marks;
}

} // namespace testsupport

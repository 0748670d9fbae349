#pragma once

#include "runtime/savefile.h"

#include <QByteArray>
#include <QString>

// The bytes a saved result holds: the text in the ANSI code page with every line break written as
// CR LF (see WithCrLf), nothing before the first character or after the last, no byte-order mark.
QByteArray ResultFileBytes(const QString& plainText);

// The cause of a failed write as the window says it: one Chinese sentence.
QString WriteErrorChinese(const WriteResult& result);

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The program's ANSI code page is GBK (code page 936) as the system's "GBK" codec maps it: ASCII,
// 0x80 for "€", 0xFF for U+F8F5 and a two-byte code for every other character it holds. A
// character GBK cannot hold is written as its GB18030 four-byte code instead of "?", so nothing is
// lost: FromAnsi(ToAnsi(t)) == t for every valid text t.
//
// GB18030 gives 81 characters (U+1E3F "ḿ", U+01F9, U+303E, U+2FF0..U+2FFB, some radicals and
// extension A ideographs) the two-byte codes that GBK gives to private-use characters. Those codes
// keep their GBK meaning; each of the 81 takes instead the four-byte code GB18030 gives to the
// private-use character that displaced it (U+1E3F, GB18030 A8 BC, is written 81 35 F4 37, the
// GB18030 code of U+E7C7, which is A8 BC in GBK).
//
// An unpaired surrogate is written as U+FFFD, 84 31 A4 37.
QByteArray ToAnsi(QStringView text);

// The inverse of ToAnsi; it also reads any other GB18030 four-byte code by its GB18030 meaning. A
// byte that starts no complete code becomes U+FFFD and reading resumes at the byte after it; a
// well-formed four-byte code without a character becomes one U+FFFD.
QString FromAnsi(QByteArrayView bytes);

// The number of bytes FromAnsi reads as the one character that starts at bytes[i]: 1 for ASCII and
// for a byte that starts no complete code, 2 or 4 for a GBK or GB18030 code.
qsizetype AnsiCharacterLength(QByteArrayView bytes, qsizetype i);

// ToAnsi(text).size() without building the bytes: 1 for ASCII, "€" and U+F8F5, 2 for the other
// characters GBK holds (U+3000 included), 4 for anything else (a surrogate pair counts once).
qsizetype AnsiByteLength(QStringView text);

#pragma once

#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding: one line saying which, then abort, so that the fuzzer keeps
// the input and the replay test fails on it.
inline void require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz: property broken: %s\n", property);
    std::abort();
}

// A file holding the bytes given, in a scratch folder that lasts as long as the process.
inline QString scratchFile(const char* name, QByteArrayView bytes)
{
    static const QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile file(path);
    require(dir.isValid() && file.open(QIODevice::WriteOnly)
            && file.write(bytes.data(), bytes.size()) == bytes.size(),
        "a scratch file can be written");
    return path;
}

// Image readers are plug-ins, found through the application object; there is no screen.
inline void ensureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

#pragma once

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Each harness checks one input; libFuzzer or the replay of the saved inputs calls it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A broken property is a finding: one line saying which, then abort, so that the fuzzer keeps
// the input and the replay test fails on it.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz: property broken: %s\n", property);
        std::abort();
    }
}

// A file holding the bytes given, in a scratch folder that lasts as long as the process.
inline QString scratchFile(const char* name, QByteArrayView bytes)
{
    static const QTemporaryDir dir;
    QFile file(dir.filePath(QString::fromLatin1(name)));
    require(dir.isValid() && file.open(QIODevice::WriteOnly)
            && file.write(bytes.data(), bytes.size()) == bytes.size(),
        "a scratch file can be written");
    return file.fileName();
}

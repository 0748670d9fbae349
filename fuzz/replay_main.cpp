#include "fuzz/fuzzcheck.h"

#include <QDir>

// Feeds every file (hidden ones, a folder's .gitkeep, left out) of the folders named to the
// harness, each named first, so that the ordinary test run keeps checking every saved input.
int main(int argc, char** argv)
{
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const QDir folder(QString::fromLocal8Bit(argv[i]));
        require(folder.exists(), "every folder named can be read");
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name)) {
            QFile file(folder.filePath(name));
            require(file.open(QIODevice::ReadOnly), "every saved input can be read");
            const QByteArray bytes = file.readAll();
            std::fprintf(stderr, "%s\n", qPrintable(folder.filePath(name)));
            LLVMFuzzerTestOneInput(
                reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    return replayed > 0 ? 0 : 1;
}

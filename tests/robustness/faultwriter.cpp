#include "output/resultfile.h"
#include "robustness/faultversions.h"

#include <QFile>
#include <cstdio>
#include <cstring>

// Writes the settings file or a result file over and over, alternating between two
// complete versions and starting with B, until it is killed. The caller puts version A
// in place first, so every kill interrupts a replacement. "ready" on stdout says the
// writing begins, and a "." follows each complete write, so the caller can let a given
// number of writes finish before it kills, however fast the disk.
namespace {

void written()
{
    std::fputc('.', stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3
        || (std::strcmp(argv[1], "settings") != 0 && std::strcmp(argv[1], "result") != 0)) {
        std::fprintf(stderr, "usage: faultwriter settings|result PATH\n");
        return 2;
    }
    const bool settings = std::strcmp(argv[1], "settings") == 0;
    const QString path = QFile::decodeName(argv[2]);
    const QByteArray results[2]
        = {settings ? faultversions::settingsBytes(false) : faultversions::resultBytes(false),
            settings ? faultversions::settingsBytes(true) : faultversions::resultBytes(true)};

    std::puts("ready");
    std::fflush(stdout);
    for (bool versionB = true;; versionB = !versionB) {
        if (WriteWholeFile(path, results[versionB], nullptr)) {
            written();
        } else {
            return 1;
        }
    }
}

#include "app/settingsrules.h"

#include "runtime/numbertext.h"

#include <QDir>
#include <QFileInfo>

QString JoinPath(const QString& dir, const QString& name)
{
    const QChar separator = QDir::separator();
    if (dir.endsWith(separator))
        return dir + name;
    return dir + separator + name;
}

QString SettingsFilePath(const QString& programDir, const QString& userConfigDir)
{
    const QString name = QStringLiteral("Tessarin.Ini");
    const QString beside = JoinPath(programDir, name);
    const QFileInfo file(beside);
    const bool writable = file.exists() ? file.isWritable() : QFileInfo(programDir).isWritable();
    return writable ? beside : JoinPath(userConfigDir, name);
}

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo file(path);
    return file.isFile() && file.size() != 0;
}

QString FieldText(const QString& stored)
{
    return NumberText(LeadingNumber(stored));
}

int CheckState(const QString& stored)
{
    const std::optional<qint32> state = TextToWhole(stored, WholeType::Int16);
    return state && *state >= 0 && *state <= 2 ? *state : 0;
}

qint16 ProcessModeSetting(const QString& stored)
{
    const std::optional<qint32> mode = ToWhole(LeadingNumber(stored), WholeType::Int16);
    return mode && *mode >= 0 && *mode <= 2 ? qint16(*mode) : 0;
}

quint8 ThresholdSetting(const QString& stored)
{
    const std::optional<qint32> k = TextToWhole(stored, WholeType::Byte);
    if (!k)
        return 128;
    return quint8(std::clamp(*k, 16, 240));
}

bool FlagSetting(const QString& stored, bool fallback)
{
    return TextToBoolean(stored).value_or(fallback);
}

std::optional<int> WindowMeasure(const QString& stored)
{
    // A window measure is a single-precision number of twips; as pixels it must
    // still fit the window system's coordinates.
    constexpr double limit = 1e7;
    const double twips = LeadingNumber(stored);
    if (!(twips >= -limit && twips <= limit))
        return std::nullopt;
    return int(ToWhole(twips, WholeType::Int32).value_or(0));
}

QPoint ReachablePosition(const QRect& frame, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return frame.topLeft();
    // The title bar counts as reachable when a good piece of its top strip lies on
    // a screen.
    constexpr int strip = 24;
    constexpr int piece = 48;
    const QRect titleBar(frame.left(), frame.top(), std::max(frame.width(), 1), strip);
    for (const QRect& screen : screens) {
        const QRect seen = titleBar & screen;
        if (seen.height() >= strip / 2 && seen.width() >= std::min(piece, titleBar.width()))
            return frame.topLeft();
    }
    const QRect& home = screens.first();
    const int x = std::clamp(
        frame.left(), home.left(), std::max(home.left(), home.right() - frame.width() + 1));
    const int y = std::clamp(frame.top(), home.top(), std::max(home.top(), home.bottom() - strip));
    return QPoint(x, y);
}

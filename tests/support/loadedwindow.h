#pragma once

#include "support/scriptedservices.h"
#include "window/ui/frmtessarin.h"

#include <memory>

// A window as start-up leaves it, talking to services with nothing scripted yet.
inline std::unique_ptr<FrmTessarin> LoadedWindow(ScriptedServices& services)
{
    services = ScriptedServices();
    auto window = std::make_unique<FrmTessarin>(services);
    window->Form_Load();
    return window;
}

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

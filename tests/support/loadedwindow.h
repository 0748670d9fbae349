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

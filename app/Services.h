// The platform services the windows use; the program passes the real ones, tests
// pass doubles.
#pragma once

#include "platform/ServiceDeclarations.h"

namespace asmora::app {

struct Services {
    platform::DialogService& dialogs;
    platform::ShellService& shell;
    platform::PauseService& pause;
};

}  // namespace asmora::app

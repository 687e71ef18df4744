// The platform services that windows and commands are given (the program passes the
// real ones, tests pass doubles), declared for headers that only hold references.
#pragma once

namespace platform {
class DialogService;
class PauseService;
class ShellService;
}  // namespace platform

// windbg.exe: the debugger front end. Reads the IDE's "-a -i <program>" request and
// opens gdb in a maximised xterm, with the program's console in a second window.
#include "ChildProcess.h"
#include "DebugSession.h"
#include "DebuggerArguments.h"
#include "ProgramConsole.h"
#include "SupportFiles.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace asmora;
using namespace asmora::debugger;

namespace {

// Starts argv with extra environment variables; returns the child's id, or -1
// after saying why it could not start.
pid_t start(const std::vector<std::string>& argv, const std::vector<std::pair<std::string, std::string>>& environment) {
    toolkit::SpawnRequest request{argv, ""};
    request.environment = environment;
    const toolkit::Spawned child = toolkit::spawnProgram(request);
    if (child.pid < 0)
        std::cerr << (argv.empty() ? std::string() : argv.front()) << ": " << std::strerror(child.error) << "\n";
    return child.pid;
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// Waits until the console window has written its terminal's name, so that the
// debugger window opens after it and stays in front.
void waitForFile(const std::string& path) {
    std::error_code error;
    for (int tries = 0; tries < 100 && !fs::exists(path, error); ++tries) usleep(50000);
}

// Waits until one of the two windows closes, then closes the other: the program's
// console without its debugger, or a debugger without the console, is of no use.
// Returns the debugger window's exit status (1 when it did not end normally).
int waitForEither(pid_t debuggerWindow, pid_t console) {
    if (debuggerWindow <= 0) {
        stop(console);
        return 1;
    }
    int status = 0;
    for (;;) {
        const pid_t ended = wait(&status);
        if (ended == debuggerWindow) {
            stop(console);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
        }
        if (ended == console) {
            stop(debuggerWindow);
            return 0;
        }
        if (ended < 0 && errno != EINTR) return 1;
    }
}

std::string makeSessionFolder() {
    std::string pattern = (fs::temp_directory_path() / "asmora-windbg-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

}  // namespace

int main(int argc, char** argv) {
    const DebuggerRequest request = parseDebuggerArguments(std::vector<std::string>(argv + 1, argv + argc));
    const SupportFolder support(toolkit::ownExecutableFolder());
    const Texts texts = Texts::load(support.path(SupportFileNames::texts));
    if (request.programConsole) return runProgramConsole(request.consoleTtyFile, texts);

    if (auto missing = support.missingFiles(); !missing.empty()) {
        std::cerr << "windbg.exe: " << texts.get("error.support", support.folder()) << "\n";
        for (const auto& name : missing) std::cerr << "  " << name << "\n";
        return 1;
    }
    SessionInputs inputs;
    inputs.frontEndPath = (fs::path(support.folder()) / fs::path(argv[0]).filename()).string();
    inputs.utf8Locale = environmentLocaleIsUtf8();
    std::error_code error;
    if (!request.program.empty() && fs::is_regular_file(request.program, error)) {
        inputs.program = fs::absolute(request.program, error).string();
    } else if (!request.program.empty()) {
        inputs.notice = texts.get("error.program", request.program);
    }
    const std::string sessionFolder = inputs.program.empty() ? std::string() : makeSessionFolder();
    inputs.ttyFile = sessionFolder.empty() ? std::string() : sessionFolder + "/tty";
    inputs.sourceCopies = sessionFolder.empty() ? std::string() : sessionFolder + "/sources";
    if (!inputs.program.empty() && sessionFolder.empty()) inputs.program.clear();

    if (!inputs.program.empty()) chooseI386Way(inputs, sessionFolder);

    const SessionPlan plan = planSession(inputs, support, texts);
    const pid_t console = plan.consoleWindow.empty() ? -1 : start(plan.consoleWindow, {});
    if (console > 0) waitForFile(inputs.ttyFile);
    const pid_t debuggerWindow = start(plan.debuggerWindow, plan.environment);
    const int status = waitForEither(debuggerWindow, console);
    if (!sessionFolder.empty()) fs::remove_all(sessionFolder, error);
    return status;
}

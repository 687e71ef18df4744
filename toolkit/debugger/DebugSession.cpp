// The two xterm command lines and the environment of a debugging session.
#include "DebugSession.h"

#include "CaseInsensitivePath.h"
#include "I386Host.h"

#include <cstdlib>
#include <filesystem>

namespace asmora::debugger {

namespace {

// gdb loads the key commands from the support folder named in the environment, so
// no path has to be quoted inside a gdb command.
constexpr const char* kLoadKeyCommands =
    "python exec(open(__import__('os').environ['ASMORA_DEBUG_SUPPORT'] + '/eecxx.dll', encoding='utf-8').read())";

void appendResources(std::vector<std::string>& argv, const std::vector<std::string>& lines) {
    for (const auto& line : lines) {
        argv.push_back("-xrm");
        argv.push_back(line);
    }
}

std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

bool environmentLocaleIsUtf8() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            const std::string lower = toolkit::toLowerAscii(value);
            return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
        }
    }
    return false;
}

void chooseI386Way(SessionInputs& inputs, const std::string& sessionFolder) {
    if (!toolkit::isI386Program(inputs.program)) return;
    const toolkit::I386Host& host = toolkit::i386Host();
    if (host.way == toolkit::I386Way::Emulated) {
        inputs.emulator = host.emulator;
        inputs.stubSocket = sessionFolder + "/gdb.socket";
    } else if (host.way == toolkit::I386Way::Unavailable) {
        inputs.notice += (inputs.notice.empty() ? "" : "\n") + std::string(toolkit::I386Texts::unavailable);
    }
}

SessionPlan planSession(const SessionInputs& inputs, const SupportFolder& support, const Texts& texts) {
    using Names = SupportFileNames;
    SessionPlan plan;
    const bool hasProgram = !inputs.program.empty();

    plan.debuggerWindow = {
        "xterm", "-maximized", "-u8", "-T",
        hasProgram ? texts.get("title.debugger", fileName(inputs.program)) : texts.get("title.empty")};
    appendResources(plan.debuggerWindow, support.resourceLines(Names::debuggerWindowResources));
    for (const std::string& argument :
         {std::string("-e"), std::string("gdb"), std::string("-q"), std::string("-nx"), std::string("-x"),
          support.path(Names::sessionScript), std::string("-x"), support.path(Names::displayScript), std::string("-ex"),
          std::string(kLoadKeyCommands), std::string("-x"), support.path(Names::viewScript), std::string("-ex"),
          std::string("asmora-start")}) {
        plan.debuggerWindow.push_back(argument);
    }
    if (hasProgram) {
        plan.debuggerWindow.push_back("--args");
        plan.debuggerWindow.push_back(inputs.program);
    }

    plan.environment = {{"INPUTRC", support.path(Names::keyMap)}, {"ASMORA_DEBUG_SUPPORT", support.folder()}};
    if (!inputs.notice.empty()) plan.environment.emplace_back("ASMORA_DEBUG_NOTICE", inputs.notice);
    if (!inputs.utf8Locale) plan.environment.emplace_back("LC_ALL", "C.UTF-8");

    if (hasProgram) {
        plan.environment.emplace_back("ASMORA_DEBUG_TTY_FILE", inputs.ttyFile);
        if (!inputs.sourceCopies.empty()) plan.environment.emplace_back("ASMORA_DEBUG_SOURCES", inputs.sourceCopies);
        if (!inputs.emulator.empty()) {
            plan.environment.emplace_back("ASMORA_DEBUG_EMULATOR", inputs.emulator);
            plan.environment.emplace_back("ASMORA_DEBUG_SOCKET", inputs.stubSocket);
        }
        plan.consoleWindow = {"xterm", "-u8", "-T", texts.get("title.console", fileName(inputs.program))};
        appendResources(plan.consoleWindow, support.resourceLines(Names::consoleWindowResources));
        for (const auto& argument :
             {std::string("-e"), inputs.frontEndPath, std::string("--program-console"), inputs.ttyFile}) {
            plan.consoleWindow.push_back(argument);
        }
    }
    return plan;
}

}  // namespace asmora::debugger

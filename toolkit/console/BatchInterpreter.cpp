// The batch interpreter: one handler per kind of command.
#include "BatchInterpreter.h"

#include "CaseInsensitivePath.h"
#include "ConsoleColors.h"
#include "HostPrograms.h"
#include "WindowsCommandLine.h"

#include <cctype>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace asmora::console {

namespace {

// The texts the console shows.
struct ConsoleTexts {
    static constexpr const char* notACommandBefore = "'";
    static constexpr const char* notACommandAfter = "' 不是内部或外部命令，也不是可运行的程序\n或批处理文件。\n";
    static constexpr const char* pausePrompt = "请按任意键继续. . . ";
    static constexpr const char* echoIsOn = "ECHO 处于打开状态。\n";
    static constexpr const char* echoIsOff = "ECHO 处于关闭状态。\n";
    static constexpr const char* fileNotFound = "找不到 ";
    static constexpr const char* cannotDelete = "无法删除 ";
    static constexpr const char* badColor = "颜色参数无效: ";
    static constexpr const char* folderNotFound = "系统找不到指定的路径。\n";
    static constexpr const char* cannotRun = "无法运行程序 ";
};

std::string currentFolder() {
    std::error_code error;
    auto folder = fs::current_path(error);
    return error ? std::string() : folder.string();
}

std::string firstArgument(const std::string& line) {
    auto arguments = toolkit::splitWindowsCommandLine(line);
    return arguments.empty() ? std::string() : arguments.front();
}

}  // namespace

std::string findBatchPath(const std::string& text, const std::string& raw) {
    std::error_code error;
    for (const auto* candidate : {&text, &raw}) {
        if (!candidate->empty() && fs::exists(*candidate, error)) return *candidate;
    }
    for (const auto* candidate : {&text, &raw}) {
        if (auto found = toolkit::resolveCaseInsensitive(*candidate)) return *found;
    }
    return {};
}

bool isRunnableCommand(const std::string& name) { return !toolkit::findOnPath(name).empty(); }

int BatchInterpreter::run(const std::vector<BatchLine>& lines) {
    for (const auto& line : lines) {
        const BatchCommand command = parseBatchLine(line.text);
        if (!execute(command, line)) break;
    }
    return lastStatus_;
}

bool BatchInterpreter::execute(const BatchCommand& command, const BatchLine& line) {
    echoCommand(command);
    switch (command.verb) {
        case BatchVerb::Nothing:
            break;
        case BatchVerb::EchoText:
            echoText(command);
            break;
        case BatchVerb::EchoStatus:
            if (!command.outputToNul) device_.write(echoOn_ ? ConsoleTexts::echoIsOn : ConsoleTexts::echoIsOff);
            break;
        case BatchVerb::EchoOff:
            echoOn_ = false;
            break;
        case BatchVerb::EchoOn:
            echoOn_ = true;
            break;
        case BatchVerb::Color:
            setColor(command.argument);
            break;
        case BatchVerb::Pause:
            if (!command.outputToNul) device_.write(ConsoleTexts::pausePrompt);
            device_.waitForKey();
            if (!command.outputToNul) device_.write("\n");
            break;
        case BatchVerb::Delete:
            deleteFiles(command, line);
            break;
        case BatchVerb::ChangeFolder:
            changeFolder(command.argument);
            break;
        case BatchVerb::Clear:
            device_.clear();
            break;
        case BatchVerb::Title:
            device_.setTitle(command.argument);
            break;
        case BatchVerb::Exit:
            return false;
        case BatchVerb::RunProgram:
            runProgram(command, line);
            break;
        case BatchVerb::Other:
            runOther(command);
            break;
    }
    return true;
}

// With echo on, a console shows each command after the prompt before running it.
// Sample: /home/u/asmora/bin>echo hello
void BatchInterpreter::echoCommand(const BatchCommand& command) {
    if (!echoOn_ || command.hidden || command.line.empty()) return;
    device_.write(currentFolder() + ">" + command.line + "\n");
}

void BatchInterpreter::echoText(const BatchCommand& command) {
    if (!command.outputToNul) device_.write(command.argument + "\n");
}

void BatchInterpreter::setColor(const std::string& argument) {
    if (argument.empty()) {
        device_.setColors(-1, -1);
        return;
    }
    auto colors = parseColorArgument(argument);
    if (colors) {
        device_.setColors(colors->background, colors->foreground);
    } else if (argument.size() != 2 || argument[0] != argument[1] ||
               !std::isxdigit(static_cast<unsigned char>(argument[0]))) {
        // Equal colours are refused silently, as a console does; anything else is a mistake.
        device_.write(std::string(ConsoleTexts::badColor) + argument + "\n");
    }
}

void BatchInterpreter::deleteFiles(const BatchCommand& command, const BatchLine& line) {
    const BatchCommand rawCommand = parseBatchLine(line.raw);
    for (std::size_t i = 0; i < command.arguments.size(); ++i) {
        const std::string& name = command.arguments[i];
        const std::string raw = i < rawCommand.arguments.size() ? rawCommand.arguments[i] : name;
        const std::string path = findBatchPath(name, raw);
        std::error_code error;
        if (path.empty() || fs::is_directory(path, error)) {
            device_.write(std::string(ConsoleTexts::fileNotFound) + name + "\n");
        } else if (!fs::remove(path, error)) {
            device_.write(std::string(ConsoleTexts::cannotDelete) + name + ": " + error.message() + "\n");
        }
    }
}

void BatchInterpreter::changeFolder(const std::string& folder) {
    if (folder.empty()) {
        device_.write(currentFolder() + "\n");
        return;
    }
    const std::string target = firstArgument(folder);
    if (chdir(target.c_str()) != 0) device_.write(ConsoleTexts::folderNotFound);
}

void BatchInterpreter::runProgram(const BatchCommand& command, const BatchLine& line) {
    std::vector<std::string> argv = command.arguments;
    if (argv.empty() || argv[0].empty()) {
        reportUnknownCommand("\"\"");
        return;
    }
    std::string path = findBatchPath(argv[0], firstArgument(line.raw));
    std::error_code error;
    if (path.empty() || fs::is_directory(path, error)) {
        reportUnknownCommand(argv[0]);
        return;
    }
    // A bare name runs from the current folder, as a console finds it there first.
    argv[0] = path.find('/') == std::string::npos ? "./" + path : path;
    std::string startError;
    lastStatus_ = device_.runProgram(argv, startError);
    if (lastStatus_ < 0) device_.write(std::string(ConsoleTexts::cannotRun) + argv[0] + ": " + startError + "\n");
}

void BatchInterpreter::runOther(const BatchCommand& command) {
    const std::string& name = command.arguments.front();
    if (!isRunnableCommand(name)) {
        reportUnknownCommand(name);
        return;
    }
    std::string line = command.line;
    if (command.outputToNul) line += " >/dev/null";
    lastStatus_ = device_.runShell(line);
}

// Sample: '%FILENAME%' 不是内部或外部命令，也不是可运行的程序
//         或批处理文件。
void BatchInterpreter::reportUnknownCommand(const std::string& name) {
    device_.write(std::string(ConsoleTexts::notACommandBefore) + name + ConsoleTexts::notACommandAfter);
    lastStatus_ = 1;
}

}  // namespace asmora::console

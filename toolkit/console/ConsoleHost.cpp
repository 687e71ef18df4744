// Reading the batch file and handing its lines to the interpreter.
#include "ConsoleHost.h"

#include "BatchInterpreter.h"
#include "Cp936.h"
#include "TerminalConsole.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

namespace asmora::console {

namespace {

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) return std::nullopt;
    return bytes;
}

// Lines end with CR LF (or a lone LF); a last line without an end still counts.
std::vector<BatchLine> splitLines(const std::string& bytes) {
    std::vector<BatchLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string raw = bytes.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        lines.push_back({toolkit::cp936::cp936ToUtf8(raw), raw});
        start = end + 1;
    }
    return lines;
}

}  // namespace

int runBatchFile(const std::string& path, ConsoleDevice& device) {
    // The whole file is read first: its last line usually deletes it.
    auto bytes = readWholeFile(path);
    if (!bytes) {
        device.write("无法打开批处理文件 " + toolkit::cp936::cp936ToUtf8(path) + ": " + std::strerror(errno) + "\n");
        device.write("请按任意键继续. . . ");
        device.waitForKey();
        return 1;
    }
    BatchInterpreter interpreter(device);
    return interpreter.run(splitLines(*bytes));
}

int runConsoleHost(int argc, char** argv) {
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], kConsoleHostOption) == 0) {
            if (i + 1 < argc) path = argv[i + 1];
            break;
        }
        if (path.empty()) path = argv[i];
    }
    TerminalConsole terminal;
    if (path.empty()) {
        terminal.write("用法: " + std::string(argc > 0 ? argv[0] : "asmora") + " --console-host <批处理文件>\n");
        return 2;
    }
    return runBatchFile(path, terminal);
}

}  // namespace asmora::console

// The console device on the process's own terminal (standard input and output):
// xterm control sequences for colours, clearing and the title, raw mode for pause,
// and programs run through the code page 936 relay when both ends are a terminal.
#pragma once

#include "ConsoleDevice.h"

namespace asmora::console {

class TerminalConsole : public ConsoleDevice {
public:
    void write(const std::string& utf8) override;
    void setColors(int background, int foreground) override;
    void clear() override;
    void setTitle(const std::string& title) override;
    void waitForKey() override;
    int runProgram(const std::vector<std::string>& argv, std::string& error) override;
    int runShell(const std::string& line) override;
};

}  // namespace asmora::console

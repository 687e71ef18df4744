// What batch commands do to the console window, so that the interpreter can run
// on the real terminal or on a recording double.
#pragma once

#include <string>
#include <vector>

namespace asmora::console {

class ConsoleDevice {
public:
    virtual ~ConsoleDevice() = default;
    virtual void write(const std::string& utf8) = 0;
    // Colours of the whole window as console colour numbers 0..15; -1, -1 restores
    // the terminal's own colours.
    virtual void setColors(int background, int foreground) = 0;
    virtual void clear() = 0;
    virtual void setTitle(const std::string& title) = 0;
    // Waits for one key (or one byte of input); returns at end of input too.
    virtual void waitForKey() = 0;
    // Runs a program with the console's input and output and waits for it. Returns
    // its exit status, or -1 with `error` set when it could not be started.
    virtual int runProgram(const std::vector<std::string>& argv, std::string& error) = 0;
    // Runs a command line through /bin/sh on the console and waits for it.
    virtual int runShell(const std::string& line) = 0;
};

}  // namespace asmora::console

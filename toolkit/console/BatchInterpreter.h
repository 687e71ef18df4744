// Runs the lines of a batch file on a console device, as a console does for the
// commands a console template uses.
#pragma once

#include "BatchCommand.h"
#include "ConsoleDevice.h"

#include <string>
#include <vector>

namespace asmora::console {

struct BatchLine {
    std::string text;  // the line decoded to UTF-8
    std::string raw;   // the line's bytes as stored: paths fall back to them
};

class BatchInterpreter {
public:
    explicit BatchInterpreter(ConsoleDevice& device) : device_(device) {}

    // Runs the lines in order until the last one or an "exit"; returns the exit
    // status of the last program or command run (0 when none ran).
    int run(const std::vector<BatchLine>& lines);

private:
    // Returns false when the batch ends here.
    bool execute(const BatchCommand& command, const BatchLine& line);
    void echoCommand(const BatchCommand& command);
    void echoText(const BatchCommand& command);
    void setColor(const std::string& argument);
    void deleteFiles(const BatchCommand& command, const BatchLine& line);
    void changeFolder(const std::string& folder);
    void runProgram(const BatchCommand& command, const BatchLine& line);
    void runOther(const BatchCommand& command);
    void reportUnknownCommand(const std::string& name);

    ConsoleDevice& device_;
    bool echoOn_ = true;
    int lastStatus_ = 0;
};

// The path that a batch names, as found on disk: `text` (decoded) when it exists,
// else `raw` (the stored bytes), else either of them matched case-insensitively;
// empty when none exists.
std::string findBatchPath(const std::string& text, const std::string& raw);

// True when `name` can be run: a path to an executable file, or found on PATH.
bool isRunnableCommand(const std::string& name);

}  // namespace asmora::console

// ml_bench [lines] [folder]: generates the benchmark program (200,000 lines unless
// given) in three syntaxes and assembles each with its tool, reporting the best of
// three runs in lines per second and the peak resident memory.
//   tool           lines/s    peak MB   seconds
//   ML.EXE         1234567     45.1     0.162
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ProgramGenerator.h"

namespace fs = std::filesystem;

namespace {

struct Measurement {
    bool ok = false;
    double seconds = 0;
    long peakKilobytes = 0;
};

Measurement runOnce(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);
    pid_t pid = ::fork();
    if (pid == 0) {
        std::FILE* null = std::freopen("/dev/null", "w", stdout);
        (void)null;
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    Measurement m;
    m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    m.peakKilobytes = usage.ru_maxrss;
    m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

Measurement best(const std::vector<std::string>& argv) {
    Measurement result;
    for (int i = 0; i < 3; ++i) {
        Measurement m = runOnce(argv);
        if (!m.ok) return m;
        if (!result.ok || m.seconds < result.seconds) result = m;
        result.peakKilobytes = std::max(result.peakKilobytes, m.peakKilobytes);
    }
    return result;
}

std::size_t countLines(const fs::path& p) {
    std::ifstream in(p);
    std::size_t n = 0;
    std::string line;
    while (std::getline(in, line)) ++n;
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t lines = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200000;
    fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "ml-bench";
    fs::create_directories(dir);
    struct Tool {
        const char* name;
        mlbench::Syntax syntax;
        const char* file;
        std::vector<std::string> command;
    };
    std::vector<Tool> tools = {
        {"ML.EXE", mlbench::Syntax::Masm, "prog.asm", {ML_EXE, "/nologo", "/c", "/Fo", (dir / "ml.obj").string()}},
        {"nasm -f elf32", mlbench::Syntax::Nasm, "prog.nasm", {"nasm", "-f", "elf32", "-o", (dir / "nasm.o").string()}},
        {"as --32", mlbench::Syntax::Gas, "prog.s", {"as", "--32", "-o", (dir / "gas.o").string()}},
    };
    std::printf("%-16s %10s %9s %9s   (%zu lines requested)\n", "tool", "lines/s", "peak MB", "seconds", lines);
    for (Tool& t : tools) {
        fs::path source = dir / t.file;
        std::ofstream(source) << mlbench::generateProgram(t.syntax, lines);
        t.command.push_back(source.string());
        Measurement m = best(t.command);
        std::size_t n = countLines(source);
        if (!m.ok) {
            std::printf("%-16s failed (is it installed?)\n", t.name);
            continue;
        }
        std::printf("%-16s %10.0f %9.1f %9.3f   %zu lines\n", t.name, double(n) / m.seconds,
                    double(m.peakKilobytes) / 1024.0, m.seconds, n);
    }
    return 0;
}

// ml_bench [lines] [folder] [runs]: generates the benchmark program (200,000 lines
// unless given) in three syntaxes and assembles each with its tool, plainly and with
// debug information and a listing (ML.EXE as the IDE runs it), reporting lines per
// second of the best run, the best and the median time, and the peak resident memory.
//   tool                      lines/s   best s  median s   peak MB
//   ML.EXE                    1234567    0.162     0.170      45.1
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
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

// Several runs of one command: the best and the median time, the largest peak memory.
struct Summary {
    bool ok = false;
    double best = 0;
    double median = 0;
    long peakKilobytes = 0;
};

Summary measure(const std::vector<std::string>& argv, int runs) {
    Summary summary;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        Measurement m = runOnce(argv);
        if (!m.ok) return summary;
        times.push_back(m.seconds);
        summary.peakKilobytes = std::max(summary.peakKilobytes, m.peakKilobytes);
    }
    std::sort(times.begin(), times.end());
    summary.ok = !times.empty();
    if (summary.ok) {
        summary.best = times.front();
        summary.median = times[times.size() / 2];
    }
    return summary;
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
    int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 7;
    fs::create_directories(dir);
    struct Tool {
        const char* name;
        mlbench::Syntax syntax;
        const char* file;
        std::vector<std::string> command;
    };
    const std::string d = dir.string() + "/";
    // Plain, then with debug information and a listing: ML.EXE as the IDE runs it
    // (/c /coff /Fl"x.lst" /Fo "x.obj" /Zi), nasm -g -l and as -g -al.
    std::vector<Tool> tools = {
        {"ML.EXE", mlbench::Syntax::Masm, "prog.asm", {ML_EXE, "/nologo", "/c", "/Fo", d + "ml.obj"}},
        {"nasm -f elf32", mlbench::Syntax::Nasm, "prog.nasm", {"nasm", "-f", "elf32", "-o", d + "nasm.o"}},
        {"as --32", mlbench::Syntax::Gas, "prog.s", {"as", "--32", "-o", d + "gas.o"}},
        {"ML.EXE /Zi /Fl",
         mlbench::Syntax::Masm,
         "prog.asm",
         {ML_EXE, "/nologo", "/c", "/coff", "/Fl" + d + "ml.lst", "/Fo", d + "ml.obj", "/Zi"}},
        {"nasm -g -l",
         mlbench::Syntax::Nasm,
         "prog.nasm",
         {"nasm", "-f", "elf32", "-g", "-l", d + "nasm.lst", "-o", d + "nasm.o"}},
        {"as --32 -g -al",
         mlbench::Syntax::Gas,
         "prog.s",
         {"as", "--32", "-g", "-al=" + d + "gas.lst", "-o", d + "gas.o"}},
    };
    std::printf("%-16s %10s %9s %9s %9s   (%zu lines requested, %d runs)\n", "tool", "lines/s", "best s", "median s",
                "peak MB", lines, runs);
    std::set<std::string> written;  // each syntax's program once, shared by its two rows
    for (Tool& t : tools) {
        fs::path source = dir / t.file;
        if (written.insert(t.file).second) std::ofstream(source) << mlbench::generateProgram(t.syntax, lines);
        t.command.push_back(source.string());
        Summary m = measure(t.command, runs);
        std::size_t n = countLines(source);
        if (!m.ok) {
            std::printf("%-16s failed (is it installed?)\n", t.name);
            continue;
        }
        std::printf("%-16s %10.0f %9.3f %9.3f %9.1f   %zu lines\n", t.name, double(n) / m.best, m.best, m.median,
                    double(m.peakKilobytes) / 1024.0, n);
    }
    return 0;
}

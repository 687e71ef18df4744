// libFuzzer target over the whole assembler: the input is one source file; it is
// preprocessed, assembled, listed and written as an ELF object in memory.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include "Assembler.h"
#include "Listing.h"
#include "ObjectBuilder.h"
#include "ObjectFile.h"
#include "SourceFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ml::SourceFiles files;
    std::uint32_t id = files.addText("fuzz.asm", std::string(reinterpret_cast<const char*>(data), size));
    ml::DiagnosticSink diagnostics;
    ml::AssemblerOptions options;
    options.keepListing = true;
    options.debugInfo = true;
    // Expansions stop sooner than in ML.EXE: the fuzzer favours inputs that repeat a
    // block as often as they may (each count is new coverage), and at the program's
    // bound such inputs took most of its time, to exercise the same lines again.
    // The stop itself, A1009, is reached all the same.
    options.expansionBounds = {.lines = 5'000, .bytes = 256u << 10};
    ml::Assembler assembler(files, diagnostics, options);
    bool ok = assembler.assemble(id);
    for (const ml::Diagnostic& d : diagnostics.sorted()) (void)ml::formatDiagnostic(d, "ML");
    if (!diagnostics.hasFatal()) (void)ml::writeListing(assembler, diagnostics, std::time_t(0));
    if (ok) (void)ml::writeElf(ml::buildObject(assembler, true));
    return 0;
}

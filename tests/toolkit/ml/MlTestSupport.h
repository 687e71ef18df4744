// Helpers for the assembler's tests: assembling a source text through ml_core,
// readable dumps of the resulting object, and tables of cases that must fail.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Assembler.h"
#include "Diagnostics.h"
#include "ObjectFile.h"
#include "RunCommand.h"
#include "SourceFiles.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace mltest {

// Temporary folders, whole files and command lines come from the tests' support.
using TempDir = asmora::testing::TempFolder;
using asmora::testing::readFile;
using asmora::testing::runCommand;

// One assembly of a source text, kept alive for inspection.
struct Assembly {
    std::unique_ptr<ml::SourceFiles> files;
    std::unique_ptr<ml::DiagnosticSink> diagnostics;
    std::unique_ptr<ml::Assembler> assembler;
    bool ok = false;

    // The printed diagnostics, one line each, file paths shortened to their names.
    std::string messages() const;
    // The bytes of the section named like `elfName` (".text", ".data" ...).
    std::vector<std::uint8_t> bytes(const std::string& elfName) const;
    std::string hexBytes(const std::string& elfName) const;
    const ml::Symbol* symbol(const std::string& name) const;
    std::int64_t value(const std::string& name) const;  // fails the test when missing
    std::string listing() const;                        // dates replaced by MM/DD/YY HH:MM:SS
    ml::ObjectFile object(bool debug = false) const;
};

struct AssembleOptions {
    std::vector<std::string> includeDirs;
    bool listing = true;
    ml::CaseMode caseMode = ml::CaseMode::Insensitive;
    bool debugInfo = true;  // /Zi, as the IDE assembles
    bool copyFirstPassCode = true;
    ml::ExpansionBounds expansionBounds;
};

// Writes `source` as `name` into `dir` (beside any INCLUDE files the test put there)
// and assembles it.
Assembly assemble(const TempDir& dir, const std::string& source, const std::string& name = "test.asm",
                  const AssembleOptions& options = {});
Assembly assemble(const std::string& source);

// The start of a flat-model program with its data segment open.
inline const std::string kDataHeader = ".386\n.MODEL FLAT\n.DATA\n";
// Assembles `body` after kDataHeader and before END; fails the test on any diagnostic.
Assembly assembleData(const std::string& body);
// Assembles a file where it lies (its INCLUDE files beside it).
Assembly assembleFile(const std::filesystem::path& path, const AssembleOptions& options = {});

// Expects each named symbol to have its value: {{"a1", 14}, {"a2", 20}}.
void expectValues(const Assembly& a, const std::vector<std::pair<std::string, std::int64_t>>& values);

// A data segment's source (after kDataHeader, before END), the bytes it assembles to,
// and the values and texts some of its symbols must have. Instantiated like
// AssemblyErrors: INSTANTIATE_TEST_SUITE_P(Data, AssemblyData, ValuesIn(rows), rowName<DataCase>).
struct DataCase {
    const char* name;
    std::string source;
    std::string bytes;
    std::vector<std::pair<std::string, std::int64_t>> values = {};
    std::vector<std::pair<std::string, std::string>> texts = {};
};
class AssemblyData : public testing::TestWithParam<DataCase> {};
inline void PrintTo(const DataCase& row, std::ostream* os) { *os << row.name; }

// A source that must fail, and every message it gives. A test file lists its rows and
// instantiates the suite: INSTANTIATE_TEST_SUITE_P(Data, AssemblyErrors, ValuesIn(rows), rowName<ErrorCase>).
struct ErrorCase {
    const char* name;
    std::string source;
    std::string messages;
};
class AssemblyErrors : public testing::TestWithParam<ErrorCase> {};
// A row shows as its name in test listings and failures.
inline void PrintTo(const ErrorCase& row, std::ostream* os) { *os << row.name; }

// The name of a table row as a test's name.
template <typename Row>
std::string rowName(const testing::TestParamInfo<Row>& info) {
    return info.param.name;
}

// "6A 00 E8 FC FF FF FF"
std::string hex(const std::vector<std::uint8_t>& bytes);

// A text view of an object: sections with their bytes, relocations and symbols.
//   section .text code 7
//     0000: 6A 00 E8 FC FF FF FF
//     reloc 0003 PC32 _ExitProcess@4
//   symbol _start global .text+0 size 0
std::string describeObject(const ml::ObjectFile& obj);

// The folder of this test's sources (tests/toolkit/ml).
std::filesystem::path testSourceDir();

}  // namespace mltest

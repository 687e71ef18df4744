// The ML program as the IDE runs it: command line, banner, diagnostics, exit status,
// object and listing files, and objects that GNU ld links into running programs.
#include <cstdio>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "ChildProcess.h"
#include "CommandLine.h"
#include "Driver.h"
#include "MlTestSupport.h"

using mltest::TempDir;
namespace fs = std::filesystem;
using mltest::readFile;

namespace {

// The new-file template of the IDE, line for line.
const char* kTemplate =
    ";Program: \n"
    ";Author: \n"
    ";Date: \n"
    "\n"
    ".386\n"
    ".MODEL FLAT\n"
    "\n"
    "ExitProcess PROTO NEAR32 stdcall, dwExitCode:DWORD\n"
    "\n"
    "INCLUDE io.h            ; header file for input/output\n"
    "\n"
    "cr      EQU     0dh     ; carriage return character\n"
    "Lf      EQU     0ah     ; line feed\n"
    "\n"
    ".STACK  4096            ; reserve 4096-byte stack\n"
    "\n"
    ".DATA                   ; reserve storage for data\n"
    "\n"
    "\n"
    ".CODE                           ; start of main program code\n"
    "_start:\n"
    "\n"
    "\n"
    "\n"
    "        INVOKE  ExitProcess, 0  ; exit with return code 0\n"
    "PUBLIC _start                   ; make entry point public\n"
    "\n"
    "END                             ; end of source code\n";

// A header in the style of the course's io.h: listing switched off, externals, and
// macros that check their operands.
const char* kIoHeader =
    ".NOLIST\n"
    ".NOLISTMACRO\n"
    "EXTRN dtoaproc:NEAR32, outproc:NEAR32\n"
    "output MACRO source, xtra\n"
    "  IFB <source>\n"
    "  .ERR <missing operand in OUTPUT>\n"
    "  ELSEIFNB <xtra>\n"
    "  .ERR <extra operand(s) in OUTPUT>\n"
    "  ELSE\n"
    "  lea eax, source\n"
    "  push eax\n"
    "  call outproc\n"
    "  ENDIF\n"
    "  ENDM\n"
    ".LIST\n";

// ExitProcess on Linux system calls, under its stdcall link name.
const char* kExitStub =
    ".386\n.MODEL FLAT\n.CODE\n"
    "ExitProcess PROC NEAR32 stdcall, code:DWORD\n"
    "  mov ebx, code\n"
    "  mov eax, 1\n"
    "  int 80h\n"
    "ExitProcess ENDP\n"
    "END\n";

struct ProgramRun {
    int status = 0;
    std::string output;
};

ProgramRun runMl(const std::vector<std::string>& args) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    ProgramRun r;
    r.status = ml::runAssemblerProgram(args, out);
    std::fclose(out);
    r.output.assign(buffer, size);
    std::free(buffer);
    return r;
}

}  // namespace

TEST(CommandLine, IdeFormAndCourseScriptForm) {
    auto ide = ml::parseCommandLine(
        {"/c", "/coff", "/Fl/tmp/x y/Debug/a.lst", "/Fo", "/tmp/x y/Debug/a.obj", "/Zi", "/tmp/x y/a.asm"});
    EXPECT_TRUE(ide.listing);
    EXPECT_EQ(ide.listingPath, "/tmp/x y/Debug/a.lst");
    EXPECT_EQ(ide.objectPath, "/tmp/x y/Debug/a.obj");
    EXPECT_TRUE(ide.debugInfo);
    EXPECT_EQ(ide.sources, std::vector<std::string>{"/tmp/x y/a.asm"});

    auto script = ml::parseCommandLine({"-Zi", "-c", "-coff", "-Fl", "file.asm", "-I", "inc", "/Iother", "-Foout.obj",
                                        "-nologo", "-Cp", "-W3", "-WX", "-Gz", "-bogus"});
    EXPECT_TRUE(script.listing);
    EXPECT_TRUE(script.listingPath.empty());
    EXPECT_EQ(script.sources, std::vector<std::string>{"file.asm"});
    EXPECT_EQ(script.includeDirs, (std::vector<std::string>{"inc", "other"}));
    EXPECT_EQ(script.objectPath, "out.obj");
    EXPECT_TRUE(script.noLogo);
    EXPECT_EQ(script.caseMode, ml::CaseMode::Sensitive);
    EXPECT_EQ(script.warningLevel, 3);
    EXPECT_TRUE(script.warningsAreErrors);
    EXPECT_EQ(script.language, ml::Language::Stdcall);
    EXPECT_EQ(script.unknownOptions, std::vector<std::string>{"-bogus"});

    auto missing = ml::parseCommandLine({"/Fo"});
    EXPECT_EQ(missing.missingArguments, std::vector<std::string>{"/Fo"});
}

TEST(Program, TemplateAssemblesLinksAndExitsWithZero) {
    TempDir dir;
    dir.write("io.h", kIoHeader);
    fs::path source = dir.write("lab 1.asm", kTemplate);
    fs::create_directories(dir.path() / "Debug");
    fs::path obj = dir.path() / "Debug" / "lab 1.obj";
    fs::path lst = dir.path() / "Debug" / "lab 1.lst";
    ProgramRun r = runMl({"/c", "/coff", "/Fl" + lst.string(), "/Fo", obj.string(), "/Zi", source.string()});
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(r.output, "Asmora Macro Assembler Version 1.00\n\n Assembling: " + source.string() + "\n");
    ASSERT_TRUE(fs::exists(obj));
    ASSERT_TRUE(fs::exists(lst));

    std::string readelf;
    EXPECT_EQ(mltest::runCommand("readelf -a -W '" + obj.string() + "'", &readelf), 0);
    EXPECT_EQ(readelf.find("Warning"), std::string::npos) << readelf;
    EXPECT_NE(readelf.find("REL (Relocatable file)"), std::string::npos);
    EXPECT_NE(readelf.find("Intel 80386"), std::string::npos);
    EXPECT_NE(readelf.find("R_386_PC32             00000000   _ExitProcess@4"), std::string::npos) << readelf;
    EXPECT_NE(readelf.find("GLOBAL DEFAULT    2 _start"), std::string::npos) << readelf;
    std::string objdump;
    EXPECT_EQ(mltest::runCommand("objdump -d -M intel '" + obj.string() + "'", &objdump), 0) << objdump;
    EXPECT_NE(objdump.find("6a 00                \tpush   0x0"), std::string::npos) << objdump;

    fs::path stub = dir.write("exit.asm", kExitStub);
    fs::path stubObj = dir.path() / "exit.obj";
    ASSERT_EQ(runMl({"/nologo", "/c", "/Fo", stubObj.string(), stub.string()}).status, 0);
    fs::path exe = dir.path() / "Debug" / "lab1";
    std::string out;
    ASSERT_EQ(mltest::runCommand("ld -m elf_i386 -e _start -o '" + exe.string() + "' '" + obj.string() + "' '" +
                                     stubObj.string() + "'",
                                 &out),
              0)
        << out;
    EXPECT_EQ(asmora::toolkit::runCaptured({exe.string()}).exitCode, 0);

    fs::path three = dir.write("three.asm", std::string(kTemplate).replace(
                                                std::string(kTemplate).find("ExitProcess, 0"), 14, "ExitProcess, 3"));
    ASSERT_EQ(runMl({"/nologo", "/Fo", obj.string(), three.string()}).status, 0);
    ASSERT_EQ(mltest::runCommand("ld -m elf_i386 -e _start -o '" + exe.string() + "' '" + obj.string() + "' '" +
                                 stubObj.string() + "'"),
              0);
    EXPECT_EQ(asmora::toolkit::runCaptured({exe.string()}).exitCode, 3);
}

TEST(Program, ErrorsFailTheRunAndRemoveAStaleObject) {
    TempDir dir;
    dir.write("io.h", kIoHeader);
    fs::path source = dir.write("bad.asm",
                                ".386\n.MODEL FLAT\nINCLUDE io.h\n.DATA\nmsg BYTE 'hi', 0\n.CODE\n_start:\n"
                                "  output msg, 4\n"
                                "  mov eax, missing\n"
                                "  output\n"
                                "END\n");
    fs::path obj = dir.write("bad.obj", "stale object from an earlier build");
    ProgramRun r = runMl({"/nologo", "/c", "/Fo", obj.string(), source.string()});
    EXPECT_NE(r.status, 0);
    EXPECT_FALSE(fs::exists(obj));
    const std::string s = source.string();
    EXPECT_EQ(r.output, " Assembling: " + s + "\n" + s +
                            "(8) : error A2052: error forced by .ERR : extra operand(s) in OUTPUT\n"
                            " output(4): inside macro expansion\n"
                            "  " +
                            s + "(8): invoked from this line\n" + s +
                            "(9) : error A2006: symbol is not defined : missing\n" + s +
                            "(10) : error A2052: error forced by .ERR : missing operand in OUTPUT\n"
                            " output(2): inside macro expansion\n"
                            "  " +
                            s + "(10): invoked from this line\n");
}

TEST(Program, CommandLineProblems) {
    TempDir dir;
    ProgramRun none = runMl({"/nologo"});
    EXPECT_NE(none.status, 0);
    EXPECT_EQ(none.output, "ML : fatal error A1017: no source file was given\n");

    ProgramRun absent = runMl({"/nologo", "/c", (dir.path() / "absent.asm").string()});
    EXPECT_NE(absent.status, 0);
    EXPECT_EQ(absent.output, " Assembling: " + (dir.path() / "absent.asm").string() +
                                 "\nML : fatal error A1000: cannot open file : " +
                                 (dir.path() / "absent.asm").string() + " (no such file)\n");

    fs::path ok = dir.write("ok.asm", ".386\n.MODEL FLAT\n.CODE\nret\nEND\n");
    ProgramRun unknown = runMl({"/nologo", "-Q", "-Fo", (dir.path() / "ok.obj").string(), ok.string()});
    EXPECT_EQ(unknown.status, 0);
    EXPECT_NE(unknown.output.find("ML : warning A4018: command-line option is not known; ignored : -Q"),
              std::string::npos)
        << unknown.output;

    ProgramRun unwritable = runMl({"/nologo", "/Fo", (dir.path() / "no-such-folder" / "ok.obj").string(), ok.string()});
    EXPECT_NE(unwritable.status, 0);
    EXPECT_NE(unwritable.output.find("error A1001: cannot write output file"), std::string::npos) << unwritable.output;

    ProgramRun help = runMl({"/?"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("/Fo file"), std::string::npos);
}

TEST(Program, WritesDefaultOutputsBesideTheCurrentDirectory) {
    TempDir dir;
    fs::path source = dir.write("Prog.Two.asm", ".386\n.MODEL FLAT\n.CODE\nnop\nEND\n");
    fs::path previous = fs::current_path();
    fs::current_path(dir.path());
    ProgramRun r = runMl({"-nologo", "-Zi", "-c", "-coff", "-Fl", "Prog.Two.asm"});
    fs::current_path(previous);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(fs::exists(dir.path() / "Prog.Two.obj"));
    EXPECT_TRUE(fs::exists(dir.path() / "Prog.Two.lst"));
    EXPECT_NE(readFile(dir.path() / "Prog.Two.lst").find("0 Errors"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".tmp-"), std::string::npos) << "temporary file left: " << entry.path();
}

TEST(Program, LinkNamesFollowTheLanguageType) {
    TempDir dir;
    auto a = mltest::assemble(dir,
                              ".386\n.MODEL FLAT, C\n"
                              "CFunc PROTO :DWORD\n"
                              "SFunc PROTO stdcall :DWORD, :WORD\n"
                              "YFunc PROTO syscall :DWORD\n"
                              "PFunc PROTO pascal :DWORD\n"
                              "EXTRN plainData:DWORD\n"
                              "EXTRN unused:NEAR32\n"
                              "PUBLIC exported, _start\n"
                              ".DATA\nexported DWORD plainData\n"
                              ".CODE\n_start:\n"
                              "INVOKE CFunc, 1\nINVOKE SFunc, 1, 2\nINVOKE YFunc, 3\nINVOKE PFunc, 4\n"
                              "Mine PROC stdcall, a:DWORD, b:DWORD\n ret\nMine ENDP\n"
                              "END\n");
    ASSERT_TRUE(a.ok) << a.messages();
    std::string obj = mltest::describeObject(a.object());
    for (const char* expected :
         {"symbol _CFunc global undefined", "symbol _SFunc@8 global undefined", "symbol YFunc global undefined",
          "symbol PFUNC global undefined", "symbol _plainData global undefined", "symbol _exported global .data+0",
          "symbol __start global .text+0", "symbol _Mine@8 global .text+"})
        EXPECT_NE(obj.find(expected), std::string::npos) << expected << "\n" << obj;
    EXPECT_EQ(obj.find("unused"), std::string::npos) << "an external that is never used stays out\n" << obj;
}

TEST(Program, NeverOverwritesItsInputs) {
    TempDir dir;
    const std::string text = ".386\n.MODEL FLAT\nINCLUDE defs.inc\n.CODE\nret\nEND\n";
    fs::path source = dir.write("keep.asm", text);
    fs::path include = dir.write("defs.inc", "x EQU 1\n");
    ProgramRun intoSource = runMl({"/nologo", "/Fo", source.string(), source.string()});
    EXPECT_NE(intoSource.status, 0);
    EXPECT_NE(intoSource.output.find("it is an input of this assembly"), std::string::npos) << intoSource.output;
    EXPECT_EQ(readFile(source), text);
    ProgramRun listingOverInclude =
        runMl({"/nologo", "/Fl" + include.string(), "/Fo", (dir.path() / "keep.obj").string(), source.string()});
    EXPECT_NE(listingOverInclude.status, 0);
    EXPECT_EQ(readFile(include), "x EQU 1\n");
    ProgramRun same = runMl(
        {"/nologo", "/Fl" + (dir.path() / "x.o").string(), "/Fo", (dir.path() / "x.o").string(), source.string()});
    EXPECT_NE(same.status, 0);
    EXPECT_NE(same.output.find("named for both listing and object"), std::string::npos) << same.output;
}

// /Fo and /Fl never put a plain file in the place of a link, a device or a pipe, and
// a failed run does not remove one either.
TEST(Program, NeverReplacesALinkADeviceOrAPipe) {
    TempDir dir;
    fs::path source = dir.write("ok.asm", ".386\n.MODEL FLAT\n.CODE\nret\nEND\n");
    fs::path bad = dir.write("bad.asm", ".386\n.MODEL FLAT\n.CODE\nmov eax, missing\nEND\n");
    fs::path real = dir.write("real.obj", "kept");
    fs::create_symlink(real, dir.path() / "link.obj");
    fs::create_symlink("/dev/null", dir.path() / "null.obj");
    ASSERT_EQ(::mkfifo((dir.path() / "pipe.obj").c_str(), 0600), 0);
    for (const char* name : {"link.obj", "null.obj", "pipe.obj"}) {
        const fs::path target = dir.path() / name;
        const auto kind = fs::symlink_status(target).type();
        for (const fs::path& input : {source, bad}) {
            ProgramRun asObject = runMl({"/nologo", "/c", "/Fo", target.string(), input.string()});
            EXPECT_NE(asObject.status, 0) << name;
            if (input == source) {
                EXPECT_NE(asObject.output.find("not a regular file; it is left as it is"), std::string::npos)
                    << asObject.output;
            }
            ProgramRun asListing = runMl(
                {"/nologo", "/c", "/Fl" + target.string(), "/Fo", (dir.path() / "out.obj").string(), input.string()});
            EXPECT_NE(asListing.status, 0) << name;
            EXPECT_EQ(fs::symlink_status(target).type(), kind) << name;
        }
    }
    EXPECT_EQ(readFile(real), "kept");
    EXPECT_EQ(fs::read_symlink(dir.path() / "null.obj"), "/dev/null");
}

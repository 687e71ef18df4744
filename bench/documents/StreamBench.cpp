// Measures loading and saving a 50 MB source file through TSciMyStream and the editor,
// in code page 936 and in UTF-8, next to the iconv program converting the same file.
// Run: QT_QPA_PLATFORM=offscreen asmora_documents_bench [megabytes]
#include "MyEditFileClasses.h"
#include "SciScintillaBase.h"

#include "platform/Cp936.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

// One line of a course program with a Chinese comment, in UTF-8.
const std::string kLine = "        mov     eax, [ebx+4]    ; 取出数组的下一个元素，累加到总和\r\n";

std::string MakeUtf8Text(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + kLine.size());
    while (text.size() < bytes) text += kLine;
    return text;
}

bool WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
}

double Seconds(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

void Report(const char* what, double megabytes, double seconds) {
    std::printf("%-44s %8.3f s %9.1f MB/s\n", what, seconds, megabytes / seconds);
}

double RunIconv(const QString& from, const QString& to, const QString& input, const QString& output) {
    return Seconds([&] {
        QProcess iconv;
        iconv.setStandardOutputFile(output);
        iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), from, QStringLiteral("-t"), to, input});
        if (!iconv.waitForFinished(-1) || iconv.exitCode() != 0) std::fprintf(stderr, "iconv failed\n");
    });
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? std::atof(argv[1]) : 50.0;
    QTemporaryDir folder;
    if (!QFile::copy(TSciLibrary::SciLinkedLibraryPath(), folder.filePath(QStringLiteral("SciLexer.dll"))) ||
        !TSciLibrary::Load(folder.path())) {
        std::fprintf(stderr, "the editing library cannot be prepared\n");
        return 1;
    }

    const std::string utf8 = MakeUtf8Text(static_cast<std::size_t>(megabytes * 1024 * 1024));
    const std::string ansi = platform::cp936::utf8ToCp936(utf8);
    const QString ansiPath = folder.filePath(QStringLiteral("cp936.asm"));
    const QString utf8Path = folder.filePath(QStringLiteral("utf8.asm"));
    const QString plainUtf8Path = folder.filePath(QStringLiteral("plain-utf8.asm"));  // iconv's input
    const QString outPath = folder.filePath(QStringLiteral("out.asm"));
    if (!WriteFile(ansiPath, ansi) || !WriteFile(utf8Path, "\xEF\xBB\xBF" + utf8) || !WriteFile(plainUtf8Path, utf8)) {
        std::fprintf(stderr, "cannot write the sample files\n");
        return 1;
    }
    const double ansiMB = static_cast<double>(ansi.size()) / (1024 * 1024);
    const double utf8MB = static_cast<double>(utf8.size() + 3) / (1024 * 1024);
    std::printf("sample: %.1f MB in code page 936, %.1f MB in UTF-8 (MB = 2^20 bytes of the file)\n\n", ansiMB, utf8MB);

    TScintillaBase editor;
    editor.SetStreamClass(&TSciMyStream::StreamClass);

    Report("load code page 936 (code page 0)", ansiMB, Seconds([&] { editor.LoadFromFile(ansiPath); }));
    Report("save code page 936 (kind 0)", ansiMB, Seconds([&] { editor.SaveToFile(outPath); }));
    Report("load UTF-8 with BOM (kind 3)", utf8MB, Seconds([&] { editor.LoadFromFile(utf8Path); }));
    Report("save UTF-8 with BOM (kind 3)", utf8MB, Seconds([&] { editor.SaveToFile(outPath); }));
    editor.Streamer()->SetEncoding(ekAnsi);
    Report("save UTF-8 text as code page 936 (kind 0)", ansiMB, Seconds([&] { editor.SaveToFile(outPath); }));
    Report("load code page 936 (code page 65001)", ansiMB, Seconds([&] { editor.LoadFromFile(ansiPath); }));
    editor.Streamer()->SetEncoding(ekUtf16LE);
    Report("save as UTF-16LE (kind 2)", utf8MB, Seconds([&] { editor.SaveToFile(outPath); }));
    Report("load UTF-16LE (kind 2)", utf8MB, Seconds([&] { editor.LoadFromFile(outPath); }));

    std::printf("\n");
    Report("iconv CP936 -> UTF-8", ansiMB,
           RunIconv(QStringLiteral("CP936"), QStringLiteral("UTF-8"), ansiPath, outPath));
    Report("iconv UTF-8 -> CP936", utf8MB,
           RunIconv(QStringLiteral("UTF-8"), QStringLiteral("CP936"), plainUtf8Path, outPath));
    return 0;
}

// Atomic whole-file writes with the failures in Chinese.
#include "AtomicFile.h"

#include "Errors.h"
#include "RegularFile.h"
#include "SystemReasons.h"

#include <QFile>

namespace platform {
namespace {

std::string nativePath(const QString& path) { return QFile::encodeName(path).toStdString(); }

asmora::toolkit::AtomicWriteOptions optionsFor(bool executable) {
    asmora::toolkit::AtomicWriteOptions options;
    options.executable = executable;
    return options;
}

QString reasonFor(const asmora::toolkit::WriteProblem& problem) {
    using Kind = asmora::toolkit::WriteProblem::Kind;
    switch (problem.kind) {
        case Kind::DanglingLink:
            return QStringLiteral("它是一个指向不存在位置的符号链接。");
        case Kind::NotRegular:
            return QStringLiteral("它不是普通文件，而是%1，不能写入。").arg(fileKindName(problem.fileKind));
        case Kind::ReadOnly:
            return QStringLiteral("文件是只读的。");
        case Kind::System:
            break;
    }
    return systemReason(problem.error);
}

}  // namespace

AtomicWrite::AtomicWrite(const QString& path, bool executable)
    : path_(path), file_(nativePath(path), optionsFor(executable)) {
    check();
}

void AtomicWrite::check() const {
    if (const auto& problem = file_.problem()) throw fileCreationError(path_, reasonFor(*problem));
}

void AtomicWrite::write(const QByteArray& bytes) {
    file_.write(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    check();
}

void AtomicWrite::commit() {
    file_.commit();
    check();
}

QString AtomicWrite::temporaryPath() const {
    return QFile::decodeName(QByteArray::fromStdString(file_.temporaryPath()));
}

void writeFileAtomically(const QString& path, const QByteArray& bytes, bool executable) {
    AtomicWrite file(path, executable);
    file.write(bytes);
    file.commit();
}

int removeStaleTemporaryFiles(const QString& path) {
    return asmora::toolkit::removeStaleTemporaryFiles(nativePath(path));
}

}  // namespace platform

// The freedesktop file association and the main window's `ASM1Click`.
#include "FileAssociation.h"

#include "app/CarriedFiles.h"
#include "app/Unit1.h"
#include "platform/AtomicFile.h"
#include "platform/DialogService.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/SystemReasons.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringDecoder>

namespace asmora::app {
namespace {

const QString kDefaultApplications = QStringLiteral("Default Applications");
const QString kDesktopEntry = QStringLiteral("Desktop Entry");
constexpr int kRefreshTimeoutMs = 15000;

QString desktopFileId() { return QString::fromUtf16(kAssociationType) + QStringLiteral(".desktop"); }

// The text of a key file (desktop entry, mimeapps.list) edited line by line, so
// that comments, other groups and other keys stay as they are:
//   [Desktop Entry]
//   Name=QorvelAsmora
class KeyFileText {
public:
    // Files with CR LF line ends keep them.
    explicit KeyFileText(const QString& text)
        : lines_(text.split(u'\n')), lineEnd_(text.contains(QStringLiteral("\r\n")) ? "\r\n" : "\n") {
        for (QString& line : lines_)
            if (line.endsWith(u'\r')) line.chop(1);
        if (!lines_.isEmpty() && lines_.last().isEmpty()) lines_.removeLast();
    }

    QString value(const QString& group, const QString& key) const {
        const int at = keyLine(group, key);
        return at < 0 ? QString() : lines_[at].mid(lines_[at].indexOf(u'=') + 1);
    }

    // Replaces the key's line in place, or adds it after the group's last entry;
    // a missing group is added at the end.
    void set(const QString& group, const QString& key, const QString& value) {
        const QString line = key + u'=' + value;
        if (const int at = keyLine(group, key); at >= 0) {
            lines_[at] = line;
            return;
        }
        int header = lines_.indexOf(u'[' + group + u']');
        if (header < 0) {
            if (!lines_.isEmpty() && !lines_.last().trimmed().isEmpty()) lines_.append(QString());
            lines_.append(u'[' + group + u']');
            header = static_cast<int>(lines_.size()) - 1;
        }
        int last = header;
        for (int at = header + 1; at < lines_.size() && !lines_[at].startsWith(u'['); ++at)
            if (!lines_[at].trimmed().isEmpty()) last = at;
        lines_.insert(last + 1, line);
    }

    QByteArray bytes() const {
        const QString end = QString::fromLatin1(lineEnd_);
        return (lines_.join(end) + end).toUtf8();
    }

private:
    int keyLine(const QString& group, const QString& key) const {
        const int header = lines_.indexOf(u'[' + group + u']');
        if (header < 0) return -1;
        for (int at = header + 1; at < lines_.size() && !lines_[at].startsWith(u'['); ++at) {
            const int equals = lines_[at].indexOf(u'=');
            if (equals > 0 && lines_[at].left(equals).trimmed() == key) return at;
        }
        return -1;
    }

    QStringList lines_;
    const char* lineEnd_;
};

platform::Error valueError(const QString& value, const QString& path, const QString& reason) {
    return platform::Error(QStringLiteral("无法写入文件关联的值 %1\n文件：%2\n%3").arg(value, path, reason), reason);
}

// Writes `bytes` to `path`, creating its folder; failures name the value.
void writeValueFile(const QString& value, const QString& path, const QByteArray& bytes) {
    const QString folder = platform::folderOf(path);
    if (!QDir().mkpath(folder)) throw valueError(value, path, QStringLiteral("无法创建文件夹 %1。").arg(folder));
    try {
        platform::writeFileAtomically(path, bytes);
    } catch (const platform::Error& error) {
        throw valueError(value, path, error.reason());
    }
}

// Key files are UTF-8; one that is not is left as it is rather than rewritten with
// its bytes replaced.
KeyFileText readKeyFile(const QString& value, const QString& path) {
    QFile file(path);
    if (!file.exists()) return KeyFileText(QString());
    if (!file.open(QIODevice::ReadOnly)) throw valueError(value, path, platform::reasonOf(file));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(file.readAll());
    if (utf8.hasError()) throw valueError(value, path, QStringLiteral("文件不是 UTF-8 文本，未作改动。"));
    return KeyFileText(text);
}

// The general escapes of desktop-entry string values.
QString escapeString(QString text) {
    text.replace(u'\\', QStringLiteral("\\\\"));
    text.replace(u'\n', QStringLiteral("\\n"));
    text.replace(u'\t', QStringLiteral("\\t"));
    text.replace(u'\r', QStringLiteral("\\r"));
    return text;
}

// Sets one key of the desktop entry. The entry is made a launcher for the type
// when it is not one yet; keys it has already are kept.
void setDesktopKey(const AssociationPlaces& places, const QString& key, const QString& value) {
    KeyFileText entry = readKeyFile(key, places.desktopEntry);
    if (entry.value(kDesktopEntry, QStringLiteral("Type")).isEmpty())
        entry.set(kDesktopEntry, QStringLiteral("Type"), QStringLiteral("Application"));
    QString types = entry.value(kDesktopEntry, QStringLiteral("MimeType"));
    if (!types.split(u';').contains(QString::fromUtf16(kAsmMimeType))) {
        if (!types.isEmpty() && !types.endsWith(u';')) types += u';';
        entry.set(kDesktopEntry, QStringLiteral("MimeType"), types + QString::fromUtf16(kAsmMimeType) + u';');
    }
    entry.set(kDesktopEntry, key, value);
    writeValueFile(key, places.desktopEntry, entry.bytes());
}

// *.asm -> text/x-asm, shown as the program's type name, and the program as its
// default application.
void writeTypeValue(const AssociationPlaces& places) {
    const QString value = QStringLiteral("*.asm");
    const QByteArray package = QStringLiteral(
                                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                                   "  <mime-type type=\"%1\">\n"
                                   "    <comment>%2</comment>\n"
                                   "    <sub-class-of type=\"text/plain\"/>\n"
                                   "    <glob pattern=\"*.asm\"/>\n"
                                   "  </mime-type>\n"
                                   "</mime-info>\n")
                                   .arg(QString::fromUtf16(kAsmMimeType), QString::fromUtf16(kAssociationName))
                                   .toUtf8();
    writeValueFile(value, places.mimePackage, package);
    KeyFileText defaults = readKeyFile(value, places.mimeApps);
    defaults.set(kDefaultApplications, QString::fromUtf16(kAsmMimeType), desktopFileId() + u';');
    writeValueFile(value, places.mimeApps, defaults.bytes());
}

void runQuietly(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (process.waitForStarted() && !process.waitForFinished(kRefreshTimeoutMs)) process.kill();
}

}  // namespace

AssociationPlaces AssociationPlaces::forUser() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    const QString type = QString::fromUtf16(kAssociationType);
    return {data + QStringLiteral("/mime/packages/") + type + QStringLiteral(".xml"),
            data + QStringLiteral("/applications/") + desktopFileId(), config + QStringLiteral("/mimeapps.list")};
}

QString desktopExecValue(const QString& programPath) {
    QString quoted;
    for (const QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u'%', QStringLiteral("%%"));
    return escapeString(u'"' + quoted + QStringLiteral("\" %f"));
}

void writeAssociation(const AssociationPlaces& places, const platform::ProgramFolder& programFolder,
                      const QString& programPath) {
    writeTypeValue(places);
    setDesktopKey(places, QStringLiteral("Name"), escapeString(QString::fromUtf16(kAssociationName)));
    setDesktopKey(places, QStringLiteral("Icon"), escapeString(programFolder.icon()));
    setDesktopKey(places, QStringLiteral("Exec"), desktopExecValue(programPath));
}

void refreshDesktopDatabase(const AssociationPlaces& places) {
    const QString mimeFolder = platform::folderOf(platform::folderOf(places.mimePackage));
    if (platform::folderExists(mimeFolder)) runQuietly(QStringLiteral("update-mime-database"), {mimeFolder});
    const QString applications = platform::folderOf(places.desktopEntry);
    if (platform::folderExists(applications)) runQuietly(QStringLiteral("update-desktop-database"), {applications});
}

// Makes the program the default for *.asm files: the icon first, then the four
// values, then the desktop is told; the success message only when all was written.
void TForm1::ASM1Click() {
    if (!platform::fileExists(programFolder().icon()))  // 1
        writeCarriedFile(programFolder(), carriedFile("asm_ico"));
    const AssociationPlaces places = AssociationPlaces::forUser();
    try {
        writeAssociation(places, programFolder(), platform::executablePath());  // 2
    } catch (...) {
        refreshDesktopDatabase(places);  // 3
        throw;
    }
    refreshDesktopDatabase(places);
    services().dialogs.messageBox(this, QStringLiteral("成功关联到ASM文件."), QStringLiteral("成功关联"),  // 4
                                  platform::MessageIcon::Information, platform::MessageButtons::Ok);
}

}  // namespace asmora::app

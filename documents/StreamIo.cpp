// Byte-stream helpers shared by the editor's stream classes.
#include "StreamIo.h"

#include "SciScintillaBase.h"
#include "platform/SystemReasons.h"

#include <QDir>
#include <QFileDevice>

namespace streamio {
namespace {

QString StreamName(QIODevice* stream) {
    const auto* file = qobject_cast<QFileDevice*>(stream);
    return file ? QDir::toNativeSeparators(file->fileName()) : QStringLiteral("(stream)");
}

[[noreturn]] void Fail(const QString& what, QIODevice* stream) {
    throw ESciException(
        QStringLiteral("%1“%2”。%3").arg(what, StreamName(stream), platform::chineseReasons(stream->errorString())));
}

}  // namespace

qint64 ReadPiece(QIODevice* stream, char* buffer, qint64 capacity) {
    qint64 filled = 0;
    while (filled < capacity) {
        const qint64 got = stream->read(buffer + filled, capacity - filled);
        if (got < 0) Fail(QStringLiteral("无法读取文件"), stream);
        if (got == 0) break;
        filled += got;
    }
    return filled;
}

void SeekTo(QIODevice* stream, qint64 position) {
    if (!stream->seek(position)) Fail(QStringLiteral("无法读取文件"), stream);
}

void WriteAll(QIODevice* stream, const char* bytes, qint64 length) {
    while (length > 0) {
        const qint64 put = stream->write(bytes, length);
        if (put <= 0) Fail(QStringLiteral("无法写入文件"), stream);
        bytes += put;
        length -= put;
    }
}

int DeviceOutput::Write(const std::uint8_t* bytes, int length) {
    WriteAll(stream_, reinterpret_cast<const char*>(bytes), length);
    return length;
}

UndoCollectionOff::UndoCollectionOff(TScintillaBase& editor) : editor_(editor), saved_(editor.UndoCollection()) {
    editor_.SetUndoCollection(false);
}

UndoCollectionOff::~UndoCollectionOff() {
    if (editor_.UndoCollection() != saved_) editor_.SetUndoCollection(saved_);
}

}  // namespace streamio

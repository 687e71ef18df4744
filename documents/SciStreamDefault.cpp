// The plain editor stream: bytes in, bytes out.
#include "SciStreamDefault.h"

#include "AnsiPieces.h"
#include "SciScintillaBase.h"
#include "StreamIo.h"

#include <vector>

const TSciStreamClass TSciStreamDefault::StreamClass{QStringLiteral("TSciStreamDefault"),
                                                     SciStreamFactory<TSciStreamDefault>};

namespace {

constexpr int kUtf8CodePage = 65001;

void Append(TScintillaBase& editor, const std::string& text) {
    if (!text.empty()) editor.AddText(text.data(), static_cast<int>(text.size()));
}

}  // namespace

void TSciStreamDefault::LoadText(QIODevice* stream) {
    if (!stream || !Editor()) return;
    TScintillaBase& editor = *Editor();
    const bool utf8 = editor.CodePage() == kUtf8CodePage;
    std::vector<char> buffer(kPieceSize);
    AnsiToUtf8Pieces ansi;
    while (const qint64 got = streamio::ReadPiece(stream, buffer.data(), kPieceSize)) {
        if (utf8)
            editor.AddText(buffer.data(), static_cast<int>(got));
        else
            Append(editor, ansi.Convert({buffer.data(), static_cast<std::size_t>(got)}));
    }
    if (!utf8) Append(editor, ansi.Finish());
}

void TSciStreamDefault::SaveText(QIODevice* stream) {
    if (!stream || !Editor()) return;
    const TScintillaBase& editor = *Editor();
    const bool utf8 = editor.CodePage() == kUtf8CodePage;
    const int length = editor.GetTextLength();
    Utf8ToAnsiPieces ansi;
    for (int position = 0; position < length; position += kPieceSize) {
        const QByteArray piece = editor.GetTextRange(position, position + kPieceSize);
        if (utf8) {
            streamio::WriteAll(stream, piece.constData(), piece.size());
        } else {
            const std::string bytes = ansi.Convert({piece.constData(), static_cast<std::size_t>(piece.size())});
            streamio::WriteAll(stream, bytes.data(), static_cast<qint64>(bytes.size()));
        }
    }
    if (!utf8) {
        const std::string rest = ansi.Finish();
        streamio::WriteAll(stream, rest.data(), static_cast<qint64>(rest.size()));
    }
}

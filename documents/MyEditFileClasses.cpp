// The encoding-aware editor stream TSciMyStream.
#include "MyEditFileClasses.h"

#include "AnsiPieces.h"
#include "SciScintillaBase.h"
#include "StreamIo.h"
#include "Utf8Scan.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <string_view>

const TSciStreamClass TSciMyStream::StreamClass{QStringLiteral("TSciMyStream"), SciStreamFactory<TSciMyStream>};

namespace {

constexpr int kUtf8CodePage = 65001;

std::uint8_t* Bytes(QByteArray& array) { return reinterpret_cast<std::uint8_t*>(array.data()); }

void Append(TScintillaBase& editor, std::string_view text) {
    if (!text.empty()) editor.AddText(text.data(), static_cast<int>(text.size()));
}

void Write(UtfWrite& writer, std::string_view text) {
    writer.Write(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<int>(text.size()));
}

// Room for the text a file of `size` bytes becomes: UTF-8 files are taken as they
// are; code page 936 and UTF-16 grow by at most half in UTF-8.
int ReserveFor(qint64 size, EncodingKind kind) {
    const qint64 text = kind == ekUtf8 || kind == ekUtf8Cookie ? size : size + size / 2;
    return static_cast<int>(std::min<qint64>(text + 1000, INT_MAX));
}

// Hands the editor's text to `use` in pieces of `pieceSize` bytes, NUL bytes included.
void ForEachTextPiece(const TScintillaBase& editor, int pieceSize, const std::function<void(std::string_view)>& use) {
    const int length = editor.GetTextLength();
    for (int position = 0; position < length; position += pieceSize) {
        const QByteArray piece = editor.GetTextRange(position, position + pieceSize);
        use({piece.constData(), static_cast<std::size_t>(piece.size())});
    }
}

}  // namespace

// ---------------------------------------------------------------------------------
// Loading

void TSciMyStream::LoadText(QIODevice* stream) {
    if (!stream || !Editor()) return;
    streamio::UndoCollectionOff undoOff(*Editor());
    const qint64 size = stream->size();
    if (size < 3) {
        TSciStreamDefault::LoadText(stream);
        return;
    }
    // Only the first piece is examined: a coding cookie beyond it is not found.
    Piece piece;
    piece.length = streamio::ReadPiece(stream, piece.bytes.data(), std::min<qint64>(kPieceSize, size));
    EncodingKind detected = ekAnsi;
    const int bomLength = DetectBom(Bytes(piece.bytes), static_cast<int>(piece.length), detected);
    // Without BOM and cookie, a file whose bytes are all valid UTF-8 is UTF-8 text, as
    // text files usually are on this system; it is kept as UTF-8 without BOM.
    if (detected == ekAnsi && IsUtf8Text(stream, piece, size)) detected = ekUtf8Cookie;
    kind_ = detected;
    if (kind_ != ekAnsi)
        LoadUnicode(stream, piece, bomLength, size);
    else
        LoadAnsi(stream, piece, size);
}

// Scans the whole file, then returns to the end of the first piece. A stream that
// cannot go back is judged by its first piece when that is all of it.
bool TSciMyStream::IsUtf8Text(QIODevice* stream, const Piece& first, qint64 size) {
    Utf8Scan scan;
    scan.Feed({first.bytes.constData(), static_cast<std::size_t>(first.length)});
    if (first.length >= size || !scan.StillValid()) return scan.IsUtf8Text();
    if (stream->isSequential()) return false;
    const qint64 resume = stream->pos();
    QByteArray rest(kPieceSize, '\0');
    for (qint64 got; scan.StillValid() && (got = streamio::ReadPiece(stream, rest.data(), kPieceSize)) > 0;)
        scan.Feed({rest.constData(), static_cast<std::size_t>(got)});
    streamio::SeekTo(stream, resume);
    return scan.IsUtf8Text();
}

void TSciMyStream::LoadUnicode(QIODevice* stream, Piece& piece, int bomLength, qint64 size) {
    TScintillaBase& editor = *Editor();
    UtfRead reader;
    reader.kind = kind_;  // no detection of its own
    editor.SetCodePage(kUtf8CodePage);
    editor.Allocate(ReserveFor(size, kind_));

    // Pieces are read full, so after a 2-byte BOM every UTF-16 piece but the last has
    // an even byte count and no unit is split; a final odd byte is dropped.
    std::uint8_t* data = Bytes(piece.bytes);
    qint64 start = bomLength;  // the BOM is skipped in the first piece only
    qint64 filled = piece.length;
    while (filled > 0) {
        const int count = reader.Decode(data + start, static_cast<int>(filled - start));
        if (reader.Output() && count > 0) editor.AddText(reinterpret_cast<const char*>(reader.Output()), count);
        filled = streamio::ReadPiece(stream, piece.bytes.data(), kPieceSize);
        start = 0;
    }
}

void TSciMyStream::LoadAnsi(QIODevice* stream, Piece& piece, qint64 size) {
    TScintillaBase& editor = *Editor();
    editor.Allocate(ReserveFor(size, kind_));
    AnsiToUtf8Pieces ansi;  // a double-byte character split between pieces arrives whole
    qint64 filled = piece.length;
    do {
        Append(editor, ansi.Convert({piece.bytes.constData(), static_cast<std::size_t>(filled)}));
        filled = streamio::ReadPiece(stream, piece.bytes.data(), kPieceSize);
    } while (filled > 0);
    Append(editor, ansi.Finish());
}

// ---------------------------------------------------------------------------------
// Saving
//
// What is written, by kind. The control holds UTF-8 in both of its code pages, so the
// rows of code page 0 and of code page 65001 write the same bytes:
//
//   kind 0          each piece converted UTF-8 -> code page 936, no BOM
//   kinds 3, 4      each piece's UTF-8 bytes as they are; EF BB BF first for kind 3
//   kinds 1,2,5,6   each piece converted to UTF-16 by the writer; FE FF (kind 1) or
//                   FF FE (kind 2) first

void TSciMyStream::SaveText(QIODevice* stream) {
    if (!stream || !Editor()) return;
    streamio::DeviceOutput output(stream);
    UtfWrite writer;
    writer.SetKind(kind_);
    writer.SetStream(&output);
    if (kind_ == ekAnsi)
        SaveAnsi(writer);
    else if (IsUtf16Kind(kind_))
        SaveUtf16(writer);
    else
        SaveUtf8(writer);
}

void TSciMyStream::SaveAnsi(UtfWrite& writer) {
    Utf8ToAnsiPieces ansi;  // a UTF-8 sequence split between pieces is converted whole
    ForEachTextPiece(*Editor(), kPieceSize, [&](std::string_view piece) { Write(writer, ansi.Convert(piece)); });
    Write(writer, ansi.Finish());
}

void TSciMyStream::SaveUtf8(UtfWrite& writer) {
    ForEachTextPiece(*Editor(), kPieceSize, [&](std::string_view piece) { Write(writer, piece); });
}

void TSciMyStream::SaveUtf16(UtfWrite& writer) {
    // Each piece ends where the UTF-8 converter finishes a unit; the rest waits for
    // the next piece.
    std::string pending;
    ForEachTextPiece(*Editor(), kPieceSize, [&](std::string_view piece) {
        pending.append(piece);
        const std::size_t open =
            OpenUtf8IterTail(reinterpret_cast<const std::uint8_t*>(pending.data()), pending.size());
        Write(writer, std::string_view(pending).substr(0, pending.size() - open));
        pending.erase(0, pending.size() - open);
    });
    Write(writer, pending);
}

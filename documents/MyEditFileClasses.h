// The encoding-aware editor stream: detects a file's encoding on loading, converts it
// to the control's UTF-8, remembers the kind and converts back on saving.
#pragma once

#include "SciStreamDefault.h"
#include "UtfFunct.h"

#include <QByteArray>

// Kind is the only memory of the file's encoding: LoadText sets it (files shorter than
// three bytes leave it alone), SaveText writes by it, SetEncoding replaces it.
// The control always holds UTF-8. Its logical code page turns to 65001 on the first
// load of a file that is not ANSI and stays there; ANSI (code page 936) text is
// converted at the file boundary without loss, so an ANSI file loaded and saved as
// ANSI keeps its bytes in either code page.
class TSciMyStream : public TSciStreamDefault {
public:
    static const TSciStreamClass StreamClass;
    static constexpr int kPieceSize = 64000;

    explicit TSciMyStream(TScintillaBase* editor) : TSciStreamDefault(editor) {}

    void SaveText(QIODevice* stream) override;
    void LoadText(QIODevice* stream) override;
    SciEncodingKind GetEncoding() const override { return kind_; }
    void SetEncoding(SciEncodingKind kind) override { kind_ = static_cast<EncodingKind>(kind); }

private:
    // The piece buffer, reused for every piece of a file.
    struct Piece {
        QByteArray bytes{kPieceSize, '\0'};
        qint64 length = 0;
    };

    bool IsUtf8Text(QIODevice* stream, const Piece& first, qint64 size);
    void LoadUnicode(QIODevice* stream, Piece& piece, int bomLength, qint64 size);
    void LoadAnsi(QIODevice* stream, Piece& piece, qint64 size);
    void SaveAnsi(UtfWrite& writer);
    void SaveUtf8(UtfWrite& writer);
    void SaveUtf16(UtfWrite& writer);

    EncodingKind kind_ = ekAnsi;
};

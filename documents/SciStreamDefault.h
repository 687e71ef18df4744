// The plain editor stream: the file's bytes are the text, in the editor's code page.
#pragma once

#include "SciStreamBase.h"

// Loads and saves the text unchanged, in pieces of 512 KiB. The control holds UTF-8;
// in code page 65001 its bytes are the file's bytes, in code page 0 (ANSI) they are
// the file's code page 936 text converted losslessly, so that bytes in equal bytes out
// in both.
class TSciStreamDefault : public TSciStreamBase {
public:
    static const TSciStreamClass StreamClass;
    static constexpr int kPieceSize = 524288;

    explicit TSciStreamDefault(TScintillaBase* editor) : TSciStreamBase(editor) {}

    void SaveText(QIODevice* stream) override;
    void LoadText(QIODevice* stream) override;
    SciEncodingKind GetEncoding() const override { return 0; }
    void SetEncoding(SciEncodingKind) override {}
    void UnusedOperation() override {}
    void SetStreamData(const QString&) override {}
};

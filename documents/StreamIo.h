// Reading and writing the open byte streams of the editor's load and save, with every
// failure raised as an error that names the stream and the system's reason.
#pragma once

#include "UtfFunct.h"

#include <QIODevice>

class TScintillaBase;

namespace streamio {

// Reads up to `capacity` bytes (less only at the end of the stream); 0 at the end.
qint64 ReadPiece(QIODevice* stream, char* buffer, qint64 capacity);
// Moves to `position` of a stream that can go back, or raises an error.
void SeekTo(QIODevice* stream, qint64 position);
// Writes all bytes or raises an error.
void WriteAll(QIODevice* stream, const char* bytes, qint64 length);

// A UtfWrite target on an open stream; a short write raises an error.
class DeviceOutput : public UtfOutputStream {
public:
    explicit DeviceOutput(QIODevice* stream) : stream_(stream) {}
    int Write(const std::uint8_t* bytes, int length) override;

private:
    QIODevice* stream_;
};

// Switches the editor's undo recording off and restores it on every way out.
class UndoCollectionOff {
public:
    explicit UndoCollectionOff(TScintillaBase& editor);
    ~UndoCollectionOff();
    UndoCollectionOff(const UndoCollectionOff&) = delete;
    UndoCollectionOff& operator=(const UndoCollectionOff&) = delete;

private:
    TScintillaBase& editor_;
    bool saved_;
};

}  // namespace streamio

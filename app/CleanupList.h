// The cleanup list `<program folder>/bin/Rubish.ini`: one three-line record for every
// assembly source opened during a run (its folder with a trailing separator, the
// stem of its work files, and whether the folder had its own io.h). At close, and at
// the next start after a run that did not close, the object, incremental-link and
// debug-database files of those sources are deleted, with the io.h that assembling
// copied beside them.
#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace asmora::app {

class TCleanupList {
public:
    explicit TCleanupList(platform::ProgramFolder programFolder) : programFolder_(std::move(programFolder)) {}

    QString path() const;

    // Appends the record of an ".asm" source (any other extension is ignored).
    // Raises platform::Error when the list cannot be appended to (it is missing).
    void addRecord(const QString& sourcePath) const;

    // Deletes the work files that the records name; the list itself is unchanged.
    void process() const;

    // Deletes the list, creates it again empty and marks it hidden.
    void reset() const;

    void remove() const;

private:
    platform::ProgramFolder programFolder_;
};

}  // namespace asmora::app

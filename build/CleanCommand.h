// Deleting the work files of the current source: the clean command, which reports
// each file and removes the then-empty Debug folder, and `DelYongYu`, which deletes
// them silently before each assemble.
//   发现文件：/home/u/Debug/hello.exe-------------------------成功删除。
#pragma once

#include <QString>

namespace asmora::build {

struct TBuildContext;
class TOutputList;

// Deletes the existing files among base + ".exe", ".lst", ".ilk", ".obj", ".pdb"
// and selects the last row of the output list after each; reports nothing and
// passes over failures.
void DelYongYu(TOutputList& output, const QString& base);

// The row for one work file: found and deleted, or found and still there.
QString cleanRow(const QString& file, bool deleted);

// `Button4Click`: deletes the five work files, one row for each that existed (a
// file that could not be deleted is reported as such), pauses 100 ms after each,
// and removes the Debug folder when it is then empty.
void cleanWorkFiles(const TBuildContext& context);

}  // namespace asmora::build

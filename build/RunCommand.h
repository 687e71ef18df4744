// Run (`Button3Click`): turns the console template into the run batch bin/ml.bat
// with the built program's quoted path, hides the batch and opens it maximised in a
// console window. Returns at once; the console window is not watched.
#pragma once

namespace asmora::build {

struct TBuildContext;

void runProgram(const TBuildContext& context);

}  // namespace asmora::build

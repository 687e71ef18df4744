// The listing view command (`Button8Click`): shows the assembler's listing of the
// current source, work base + ".lst", in the listing window.
#pragma once

namespace asmora::build {

struct TBuildContext;
class TForm4;

void showListing(const TBuildContext& context, TForm4& window);

}  // namespace asmora::build

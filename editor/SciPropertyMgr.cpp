// The property loader's editor binding.
#include "SciPropertyMgr.h"

#include "SciScintillaBase.h"

void TSciPropertyLoader::SetEditor(TScintillaBase* editor) { editor_ = editor; }

// The search and replace component's hooks and flags.
#include "SciSearchReplaceBase.h"

#include "SciScintillaBase.h"

void TSciSearchReplaceBase::DoBeforeShow() {
    if (BeforeShow) BeforeShow(this);
}

void TSciSearchReplaceBase::DoAfterShow() {
    if (AfterShow) AfterShow(this);
}

int TSciSearchReplaceBase::SearchFlags() const {
    int flags = 0;
    if (SearchCaseSensitive) flags |= QsciScintillaBase::SCFIND_MATCHCASE;
    if (SearchWholeWords) flags |= QsciScintillaBase::SCFIND_WHOLEWORD;
    if (SearchRegex) flags |= QsciScintillaBase::SCFIND_REGEXP;
    return flags;
}

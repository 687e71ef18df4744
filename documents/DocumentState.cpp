// The current document's path and "changed" mark.
#include "DocumentState.h"

void TDocumentState::SetPath(const QString& path) {
    if (path == path_) return;
    path_ = path;
    emit Changed();
}

void TDocumentState::SetModified(bool modified) {
    if (modified == modified_) return;
    modified_ = modified;
    emit Changed();
}

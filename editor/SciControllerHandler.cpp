// The event multiplexer's installation and its dispatchers.
#include "SciControllerHandler.h"

TSciController::~TSciController() { Uninstall(); }

void TSciController::Install() {
    if (installed_ || !editor_) return;
    installed_ = true;
    savedCharAdded_ = editor_->OnCharAdded;
    savedCallTipClick_ = editor_->OnCallTipClick;
    savedMacroRecord_ = editor_->OnMacroRecord;
    savedAutoCSelection_ = editor_->OnAutoCSelection;
    savedAutoCCancelled_ = editor_->OnAutoCCancelled;

    editor_->OnCharAdded = [this](TScintillaBase* sender, int ch) { DispatchCharAdded(sender, ch); };
    editor_->OnCallTipClick = [this](TScintillaBase* sender, int position) {
        callTipClick_.Dispatch(false, sender, position);
        if (savedCallTipClick_) savedCallTipClick_(sender, position);
    };
    editor_->OnMacroRecord = [this](TScintillaBase* sender, unsigned msg, unsigned long w, long l) {
        macroRecord_.Dispatch(false, sender, msg, w, l);
        if (savedMacroRecord_) savedMacroRecord_(sender, msg, w, l);
    };
    editor_->OnAutoCSelection = [this](TScintillaBase* sender, const QByteArray& text) {
        autoCSelection_.Dispatch(false, sender, text);
        if (savedAutoCSelection_) savedAutoCSelection_(sender, text);
    };
    editor_->OnAutoCCancelled = [this](TScintillaBase* sender) {
        autoCCancelled_.Dispatch(false, sender);
        if (savedAutoCCancelled_) savedAutoCCancelled_(sender);
    };
}

void TSciController::Uninstall() {
    if (!installed_ || !editor_) return;
    installed_ = false;
    editor_->OnCharAdded = savedCharAdded_;
    editor_->OnCallTipClick = savedCallTipClick_;
    editor_->OnMacroRecord = savedMacroRecord_;
    editor_->OnAutoCSelection = savedAutoCSelection_;
    editor_->OnAutoCCancelled = savedAutoCCancelled_;
}

// A character added while the previous one is still being dispatched (a handler that
// types into the editor) is ignored. Character 0 goes to the first handler only.
void TSciController::DispatchCharAdded(TScintillaBase* sender, int ch) {
    if (dispatchingCharAdded_) return;
    dispatchingCharAdded_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{dispatchingCharAdded_};

    if (charAdded_.Dispatch(ch == 0, sender, ch)) return;
    if (savedCharAdded_) savedCharAdded_(sender, ch);
}

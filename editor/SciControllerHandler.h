// The event multiplexer: several components share the editor's char-added,
// call-tip, macro-record and auto-completion events through handler objects.
#pragma once

#include "SciScintillaBase.h"

#include <algorithm>
#include <vector>

// A handler object holds one callable; the component that registers it owns it and
// removes it from the controller before freeing it.
template <class Event>
struct TSciHandlerProc {
    Event Proc;
};

struct TCharAddedProc : TSciHandlerProc<TSciCharAddedEvent> {};
struct TAutoCSelectionProc : TSciHandlerProc<TSciTextEvent> {};
struct TAutoCCancelledProc : TSciHandlerProc<TSciNotifyEvent> {};
struct TMacroRecordProc : TSciHandlerProc<TSciMacroRecordEvent> {};
struct TCallTipClickProc : TSciHandlerProc<TSciPositionEvent> {};

// Handler objects of one kind, in registration order.
template <class ProcT>
class TSciHandlerList {
public:
    void Add(ProcT* proc) {
        if (proc && std::find(items_.begin(), items_.end(), proc) == items_.end()) items_.push_back(proc);
    }
    void Remove(ProcT* proc) { std::erase(items_, proc); }
    int Count() const { return int(items_.size()); }

    // Calls the handlers from the most recently registered to the first, skipping
    // those without a callable. Stops after the first call when `stopAfterFirst`.
    // Returns whether it stopped early.
    template <class... Args>
    bool Dispatch(bool stopAfterFirst, Args&&... args) const {
        const std::vector<ProcT*> snapshot = items_;
        for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
            if (!(*it)->Proc) continue;
            (*it)->Proc(args...);
            if (stopAfterFirst) return true;
        }
        return false;
    }

private:
    std::vector<ProcT*> items_;
};

class TSciController {
public:
    explicit TSciController(TScintillaBase* editor) : editor_(editor) {}
    ~TSciController();
    TSciController(const TSciController&) = delete;
    TSciController& operator=(const TSciController&) = delete;

    // Saves the editor's five handlers and puts the dispatchers in their place.
    void Install();
    // Puts the saved handlers back.
    void Uninstall();
    bool Installed() const { return installed_; }

    void Add(TCharAddedProc* proc) { charAdded_.Add(proc); }
    void Remove(TCharAddedProc* proc) { charAdded_.Remove(proc); }
    void Add(TAutoCSelectionProc* proc) { autoCSelection_.Add(proc); }
    void Remove(TAutoCSelectionProc* proc) { autoCSelection_.Remove(proc); }
    void Add(TAutoCCancelledProc* proc) { autoCCancelled_.Add(proc); }
    void Remove(TAutoCCancelledProc* proc) { autoCCancelled_.Remove(proc); }
    void Add(TMacroRecordProc* proc) { macroRecord_.Add(proc); }
    void Remove(TMacroRecordProc* proc) { macroRecord_.Remove(proc); }
    void Add(TCallTipClickProc* proc) { callTipClick_.Add(proc); }
    void Remove(TCallTipClickProc* proc) { callTipClick_.Remove(proc); }

private:
    void DispatchCharAdded(TScintillaBase* sender, int ch);

    TScintillaBase* editor_;
    bool installed_ = false;
    bool dispatchingCharAdded_ = false;

    TSciCharAddedEvent savedCharAdded_;
    TSciPositionEvent savedCallTipClick_;
    TSciMacroRecordEvent savedMacroRecord_;
    TSciTextEvent savedAutoCSelection_;
    TSciNotifyEvent savedAutoCCancelled_;

    TSciHandlerList<TCharAddedProc> charAdded_;
    TSciHandlerList<TCallTipClickProc> callTipClick_;
    TSciHandlerList<TMacroRecordProc> macroRecord_;
    TSciHandlerList<TAutoCSelectionProc> autoCSelection_;
    TSciHandlerList<TAutoCCancelledProc> autoCCancelled_;
};

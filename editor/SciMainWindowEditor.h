// The main window's editor settings, assigned in the order of its stored form.
#pragma once

class TScintilla;
class TSciLanguageManager;

// The editor's hint text in the main window.
extern const char* const kMainEditorHint;

// Assigns the main window's editor values (window look, editing options, caret, other
// options, hot spot, colours, bookmark, margins, view options, folding, key table and
// language) in their stored order, then finishes with Loaded(). The language manager
// should already hold the main window's languages (FillMainWindowLanguages).
// The context menu and the key-down handler stay with the main window.
void ApplyMainWindowEditorForm(TScintilla& editor, TSciLanguageManager* languageManager);

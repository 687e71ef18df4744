// The main window's three languages: "ASM" (the course's assembly colouring), "null"
// and "container".
#pragma once

class TSciLanguageManager;

// Replaces the manager's languages by "ASM", "null" and "container".
void FillMainWindowLanguages(TSciLanguageManager& manager);

// The file association of `ASM1Click`: makes the program the desktop's default for
// assembly sources (*.asm), in the user's freedesktop data and config folders.
//
//   value                         file (XDG_DATA_HOME, XDG_CONFIG_HOME)       entry
//   *.asm -> QVL_ASM              mime/packages/QVL_ASM.xml                   glob *.asm of text/x-asm
//                                 mimeapps.list [Default Applications]        text/x-asm=QVL_ASM.desktop
//   QVL_ASM -> "QorvelAsmora"     applications/QVL_ASM.desktop                Name=QorvelAsmora
//   icon                          applications/QVL_ASM.desktop                Icon=<program folder>/bin/asm.ico
//   open command                  applications/QVL_ASM.desktop                Exec="<program>" %f
//
// Writing again replaces these values and keeps every other line of the files. The
// desktop's databases are refreshed afterwards, also when a write failed.
#pragma once

#include "platform/ProgramFolder.h"

#include <QString>

namespace asmora::app {

struct AssociationPlaces {
    QString mimePackage;   // <data>/mime/packages/QVL_ASM.xml
    QString desktopEntry;  // <data>/applications/QVL_ASM.desktop
    QString mimeApps;      // <config>/mimeapps.list

    // The places for the user's XDG_DATA_HOME and XDG_CONFIG_HOME (or their defaults).
    static AssociationPlaces forUser();
};

inline constexpr char16_t kAssociationType[] = u"QVL_ASM";
inline constexpr char16_t kAssociationName[] = u"QorvelAsmora";
inline constexpr char16_t kAsmMimeType[] = u"text/x-asm";

// Writes the four values in order. Raises platform::Error naming the value and its
// file at the first one that cannot be written; the later ones are not written.
void writeAssociation(const AssociationPlaces& places, const platform::ProgramFolder& programFolder,
                      const QString& programPath);

// Tells the desktop that associations changed: rebuilds the user's MIME database and
// the desktop-entry cache. Missing tools are passed over.
void refreshDesktopDatabase(const AssociationPlaces& places);

// The Exec value that starts `programPath` with the chosen file, quoted and escaped
// by the desktop-entry rules: "/opt/my asm/asmora" %f.
QString desktopExecValue(const QString& programPath);

}  // namespace asmora::app

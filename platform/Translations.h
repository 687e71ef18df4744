// The Chinese texts of the libraries the program is built on: Qt's own dialogs and
// message boxes, and the editing control's built-in context menu. Where a
// translation file is missing the library keeps its English texts and the program
// works on.
#pragma once

#include <QString>
#include <QStringList>
#include <QTranslator>

class QCoreApplication;

namespace platform {

// The editing control's built-in context menu (the one of editors without a menu of
// their own), from a table: Debian carries no Chinese catalogue for it.
class EditorMenuTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }
};

// Installs the simplified-Chinese catalogues found in `folder` (Qt's and the editing
// control's) and the editor menu table on `application`, and makes Chinese the
// default locale. Returns the names of the catalogue files that were loaded.
QStringList installChineseTranslations(QCoreApplication& application, const QString& folder);

// Where Debian puts Qt's catalogues.
QString qtTranslationsFolder();

}  // namespace platform

// Loading the Chinese catalogues of Qt and of the editing control.
#include "Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>

#include <cstring>

namespace platform {
namespace {

// The catalogues, by base name: Qt's (which pulls in qtbase) and the editing
// control's. The file is <base>_zh_CN.qm.
constexpr const char* kCatalogues[] = {"qt", "qscintilla"};

struct MenuText {
    const char* context;
    const char* english;
    const char16_t* chinese;
};

// The built-in context menu of the editing control. "ContextMenu" is the menu of the
// plain control; "QsciScintilla" the standard menu of its richer widget.
constexpr MenuText kEditorMenu[] = {
    {"ContextMenu", "Undo", u"撤销"},        {"ContextMenu", "Redo", u"恢复"},
    {"ContextMenu", "Cut", u"剪切"},         {"ContextMenu", "Copy", u"复制"},
    {"ContextMenu", "Paste", u"粘贴"},       {"ContextMenu", "Delete", u"删除"},
    {"ContextMenu", "Select All", u"全选"},  {"QsciScintilla", "&Undo", u"撤销(&U)"},
    {"QsciScintilla", "&Redo", u"恢复(&R)"}, {"QsciScintilla", "Cu&t", u"剪切(&T)"},
    {"QsciScintilla", "&Copy", u"复制(&C)"}, {"QsciScintilla", "&Paste", u"粘贴(&P)"},
    {"QsciScintilla", "Delete", u"删除"},    {"QsciScintilla", "Select All", u"全选"},
};

const QLocale kChinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);

}  // namespace

QString EditorMenuTranslator::translate(const char* context, const char* sourceText, const char*, int) const {
    if (!context || !sourceText) return {};
    for (const MenuText& text : kEditorMenu)
        if (std::strcmp(text.context, context) == 0 && std::strcmp(text.english, sourceText) == 0)
            return QString::fromUtf16(text.chinese);
    return {};
}

QString qtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

QStringList installChineseTranslations(QCoreApplication& application, const QString& folder) {
    QLocale::setDefault(kChinese);
    QStringList loaded;
    for (const char* base : kCatalogues) {
        auto* catalogue = new QTranslator(&application);
        if (catalogue->load(kChinese, QString::fromLatin1(base), QStringLiteral("_"), folder)) {
            application.installTranslator(catalogue);
            loaded.append(QDir(folder).relativeFilePath(catalogue->filePath()));
        } else {
            delete catalogue;
        }
    }
    application.installTranslator(new EditorMenuTranslator(&application));
    return loaded;
}

}  // namespace platform

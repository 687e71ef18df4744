// The property loader: in this program it only carries the path of the open document.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class TScintillaBase;

enum TSciStoreWhat : unsigned {
    stDefaults = 1u << 0,
    stColors = 1u << 1,
    stStyles = 1u << 2,
    stOther = 1u << 3,
    stLexerProperties = 1u << 4,
    stExtensions = 1u << 5,
};

class TSciPropertyLoader : public QObject {
public:
    explicit TSciPropertyLoader(QObject* parent = nullptr) : QObject(parent) {}

    // A plain string: setting it touches neither the editor nor any file.
    QString FileName;
    unsigned StoreWhat = stDefaults | stColors | stStyles | stOther | stLexerProperties | stExtensions;

    TScintillaBase* Editor() const { return editor_; }
    // The reference clears itself when the editor is destroyed.
    void SetEditor(TScintillaBase* editor);

    std::function<void(TSciPropertyLoader* sender, const QString& item)> OnLoadItem;
    std::function<void(TSciPropertyLoader* sender, int kind)> OnSaveItems;
    std::function<void(TSciPropertyLoader* sender)> OnPropertiesLoaded;

    void SaveItems(int kind) {
        if (OnSaveItems) OnSaveItems(this, kind);
    }
    void PropertiesLoaded() {
        if (OnPropertiesLoaded) OnPropertiesLoaded(this);
    }

private:
    QPointer<TScintillaBase> editor_;
};

// The property loader only carries a file name; its editor reference clears itself.
#include "EditorTestSupport.h"

#include "SciPropertyMgr.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SciPropertyLoaderTest, FileNameTouchesNeitherEditorNorFiles) {
    QTemporaryDir folder;
    TScintilla editor;
    TSciPropertyLoader loader;
    loader.SetEditor(&editor);
    editor.StartRecording();
    loader.FileName = folder.filePath("a.asm");
    loader.FileName.clear();
    EXPECT_TRUE(editor.RecordedMessages().empty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_EQ(loader.StoreWhat,
              unsigned(stDefaults | stColors | stStyles | stOther | stLexerProperties | stExtensions));
}

TEST(SciPropertyLoaderTest, TheEditorReferenceClearsWhenTheEditorGoes) {
    TSciPropertyLoader loader;
    auto* editor = new TScintilla;
    loader.SetEditor(editor);
    EXPECT_EQ(loader.Editor(), editor);
    delete editor;
    EXPECT_EQ(loader.Editor(), nullptr);
}

TEST(SciPropertyLoaderTest, DispatchersCallTheirEvents) {
    TSciPropertyLoader loader;
    int saved = -1;
    bool loaded = false;
    loader.OnSaveItems = [&](TSciPropertyLoader*, int kind) { saved = kind; };
    loader.OnPropertiesLoaded = [&](TSciPropertyLoader*) { loaded = true; };
    loader.SaveItems(3);
    loader.PropertiesLoaded();
    EXPECT_EQ(saved, 3);
    EXPECT_TRUE(loaded);
}

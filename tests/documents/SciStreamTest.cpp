// Tests of the editor streams: encoding detection on loading, the save table, the code
// page switch, piece boundaries, NUL bytes and failing streams.
#include "EditorTestSupport.h"
#include "MyEditFileClasses.h"
#include "SciScintillaBase.h"
#include "SciStreamDefault.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <memory>
#include <random>

namespace {

const std::string kUtf8Text = "\xE4\xB8\xAD\xE6\x96\x87 mov\r\n";  // "中文 mov" CR LF
const std::string kAnsiText = "\xD6\xD0\xCE\xC4 mov\r\n";          // the same in code page 936
const std::u16string kUnits = u"中文 mov\r\n";
const std::string kUtf8Bom = "\xEF\xBB\xBF";

std::string Utf16(std::u16string_view text, bool lowByteFirst) {
    std::string out;
    for (char16_t u : text) {
        const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
        out += lowByteFirst ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

// An open stream whose reads and writes fail.
class FailingDevice : public QIODevice {
public:
    FailingDevice() { open(QIODevice::ReadWrite); }
    qint64 size() const override { return 100; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64) override { return -1; }
};

class StreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureEditorEnvironment();
        editor = std::make_unique<TScintillaBase>();
        editor->SetStreamClass(&TSciMyStream::StreamClass);
    }

    std::string Load(const std::string& bytes) {
        editor->LoadFromFile(folder.Write(QStringLiteral("in.asm"), bytes));
        return Text();
    }
    std::string Save() {
        const QString path = folder.Path(QStringLiteral("out.asm"));
        editor->SaveToFile(path);
        return ReadBytes(path);
    }
    std::string Text() const { return editor->GetText().toStdString(); }
    int Kind() { return editor->Streamer()->GetEncoding(); }
    void SetKind(int kind) { editor->Streamer()->SetEncoding(static_cast<SciEncodingKind>(kind)); }

    TestFolder folder;
    std::unique_ptr<TScintillaBase> editor;
};

}  // namespace

TEST_F(StreamTest, FilesWithBomLoadAsUtf8AndSaveBackUnchanged) {
    const struct {
        int kind;
        std::string file;
    } cases[] = {
        {1, "\xFE\xFF" + Utf16(kUnits, false)},
        {2, "\xFF\xFE" + Utf16(kUnits, true)},
        {3, kUtf8Bom + kUtf8Text},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(Load(c.file), kUtf8Text);
        EXPECT_EQ(Kind(), c.kind);
        EXPECT_EQ(editor->CodePage(), 65001);
        EXPECT_EQ(Save(), c.file);
    }
    EXPECT_EQ(Load(kUtf8Bom + "A"), "A");
    EXPECT_EQ(Save(), kUtf8Bom + "A");
}

TEST_F(StreamTest, ACodingCookieMakesUtf8WithoutBom) {
    const std::string file = "; coding: utf-8\r\n" + kUtf8Text;
    EXPECT_EQ(Load(file), file);
    EXPECT_EQ(Kind(), 4);
    EXPECT_EQ(Save(), file);

    const std::string farCookie = std::string(63990, 'x') + "\n; coding: utf-8\n";
    Load(farCookie);
    EXPECT_EQ(Kind(), 0) << "the cookie crosses the end of the first piece";
    const std::string nearCookie = std::string(100, 'x') + "\n; coding: utf-8\n";
    Load(nearCookie);
    EXPECT_EQ(Kind(), 4);
}

TEST_F(StreamTest, EveryKindIsWrittenByTheSaveTable) {
    Load(kUtf8Bom + kUtf8Text);
    const struct {
        int kind;
        std::string bytes;
    } rows[] = {
        {0, kAnsiText},
        {1, "\xFE\xFF" + Utf16(kUnits, false)},
        {2, "\xFF\xFE" + Utf16(kUnits, true)},
        {3, kUtf8Bom + kUtf8Text},
        {4, kUtf8Text},
        {5, Utf16(kUnits, false)},
        {6, Utf16(kUnits, true)},
    };
    for (const auto& row : rows) {
        SetKind(row.kind);
        EXPECT_EQ(Save(), row.bytes) << "kind " << row.kind;
    }
}

TEST_F(StreamTest, Utf16WithoutBomIsNotDetectedOnLoadingButKeepsItsBytes) {
    const std::string file = Utf16(kUnits, true);
    Load(file);
    EXPECT_EQ(Kind(), 0) << "loading does not run the UTF-16 statistics";
    EXPECT_EQ(Save(), file);
}

TEST_F(StreamTest, AnsiBytesSurviveLoadAndSaveInBothCodePages) {
    std::mt19937 random(936);
    std::string bytes(200000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    bytes[0] = 'x';  // no BOM
    EXPECT_EQ(editor->CodePage(), 0);
    Load(bytes);
    ASSERT_EQ(Kind(), 0);
    EXPECT_TRUE(Save() == bytes) << "code page 0";

    Load(kUtf8Bom + kUtf8Text);
    Load(bytes);
    EXPECT_EQ(editor->CodePage(), 65001) << "nothing switches back";
    EXPECT_TRUE(Save() == bytes) << "code page 65001";
}

TEST_F(StreamTest, AnsiChineseAfterAUtf8FileShowsAsChineseAndSavesBack) {
    Load(kUtf8Bom + "A");
    EXPECT_EQ(Load(kAnsiText), kUtf8Text);
    EXPECT_EQ(Kind(), 0);
    EXPECT_EQ(Save(), kAnsiText);
}

TEST_F(StreamTest, Utf8SavedAsAnsiUsesTheDefaultCharacter) {
    Load(kUtf8Bom +
         "\xE4\xB8\xAD\xE0\xB8\x81"
         "A");  // 中, Thai ko kai, A
    SetKind(0);
    EXPECT_EQ(Save(), "\xD6\xD0?A");
}

TEST_F(StreamTest, FilesShorterThanThreeBytesGoThroughTheDefaultStream) {
    Load(kUtf8Bom + "A");
    EXPECT_EQ(Load("\xFF\xFE"), "\xFF\xFE") << "code page 65001: the bytes as they are";
    EXPECT_EQ(Kind(), 3) << "the kind of the previous file stays";
    SetKind(0);
    EXPECT_EQ(Save(), "\xFF\xFE");

    TScintillaBase fresh;
    fresh.SetStreamClass(&TSciMyStream::StreamClass);
    fresh.LoadFromFile(folder.Write(QStringLiteral("short"), "\xFF\xFE"));
    EXPECT_EQ(fresh.CodePage(), 0);
    fresh.SaveToFile(folder.Path(QStringLiteral("short.out")));
    EXPECT_EQ(ReadBytes(folder.Path(QStringLiteral("short.out"))), "\xFF\xFE");

    fresh.LoadFromFile(folder.Write(QStringLiteral("zhong"), "\xD6\xD0"));
    EXPECT_EQ(fresh.GetText().toStdString(), "\xE4\xB8\xAD") << "code page 0 shows ANSI text";
}

TEST_F(StreamTest, AnEmptyFileLoadsAsEmptyTextAndKeepsTheKind) {
    Load(kUtf8Bom + kUtf8Text);
    EXPECT_EQ(Load(""), "");
    EXPECT_EQ(Kind(), 3);
    EXPECT_EQ(Save(), "") << "no piece, so no BOM either";
}

TEST_F(StreamTest, TheCodePageTurnsToUtf8OnTheFirstUnicodeFileAndStays) {
    Load(kAnsiText);
    EXPECT_EQ(editor->CodePage(), 0);
    Load("\xFF\xFE" + Utf16(u"A", true));
    EXPECT_EQ(editor->CodePage(), 65001);
    Load(kAnsiText);
    EXPECT_EQ(editor->CodePage(), 65001);
}

TEST_F(StreamTest, UndecodableUtf16AndUtf8LoadByTheConverterRules) {
    EXPECT_EQ(Load(std::string("\xFF\xFE"
                               "A\0B",
                               5)),
              "A")
        << "odd byte count";
    EXPECT_EQ(Load("\xFE\xFF\xD8\x3D"), "\xED\xA0\xBD");
    EXPECT_EQ(Save(), "\xFE\xFF\xD8\x3D") << "the surrogate unit comes back";
    const std::string broken = kUtf8Bom +
                               "\xE4\xB8"
                               "A\x80";
    EXPECT_EQ(Load(broken), broken.substr(3));
    EXPECT_EQ(Save(), broken);
}

TEST_F(StreamTest, ACharacterAcrossAPieceBoundaryArrivesWhole) {
    const std::string ascii(TSciMyStream::kPieceSize - 1, 'a');
    const std::string ansiFile = ascii +
                                 "\xD6\xD0"
                                 "b";  // 中 starts at the last byte of piece 1
    EXPECT_TRUE(Load(ansiFile) == ascii +
                                      "\xE4\xB8\xAD"
                                      "b");
    EXPECT_TRUE(Save() == ansiFile);

    // The UTF-8 text "中" straddles the first piece of the control's text.
    const std::string utf8Text = ascii +
                                 "\xE4\xB8\xAD"
                                 "b";
    Load(kUtf8Bom + utf8Text);
    SetKind(0);
    EXPECT_TRUE(Save() == ansiFile);
    SetKind(2);
    EXPECT_TRUE(Save() == "\xFF\xFE" + Utf16(std::u16string(ascii.begin(), ascii.end()) + u"中b", true));
}

TEST_F(StreamTest, TheDefaultStreamConvertsAcrossItsPiecesToo) {
    editor->SetStreamClass(&TSciStreamDefault::StreamClass);
    EXPECT_EQ(editor->Streamer()->GetEncoding(), 0);
    const std::string ascii(TSciStreamDefault::kPieceSize - 1, 'a');
    const std::string file = ascii +
                             "\xD6\xD0"
                             "b";
    EXPECT_TRUE(Load(file) == ascii +
                                  "\xE4\xB8\xAD"
                                  "b");
    EXPECT_TRUE(Save() == file);

    editor->SetCodePage(65001);
    EXPECT_TRUE(Load(file) == file) << "code page 65001 takes the bytes as they are";
    EXPECT_TRUE(Save() == file);
}

TEST_F(StreamTest, NulBytesLoadAndSaveWhole) {
    const std::string ansi("a\0b\xD6\xD0", 5);
    EXPECT_EQ(Load(ansi), std::string("a\0b\xE4\xB8\xAD", 6));
    EXPECT_EQ(Save(), ansi);

    const std::string utf8 = kUtf8Bom + std::string("a\0b", 3);
    EXPECT_EQ(Load(utf8), std::string("a\0b", 3));
    EXPECT_EQ(Save(), utf8);

    const std::string utf16(
        "\xFF\xFE"
        "a\0\0\0b\0",
        8);
    EXPECT_EQ(Load(utf16), std::string("a\0b", 3));
    EXPECT_EQ(Save(), utf16);
}

TEST_F(StreamTest, AFailingStreamRaisesAndRestoresUndoRecording) {
    editor->SetUndoCollection(true);
    FailingDevice device;
    EXPECT_THROW(editor->LoadFromStream(&device), ESciException);
    EXPECT_TRUE(editor->UndoCollection());

    Load(kAnsiText);
    EXPECT_TRUE(editor->UndoCollection()) << "loading restores the setting";
    EXPECT_THROW(editor->SaveToStream(&device), ESciException);
}

TEST_F(StreamTest, AStreamWithoutEditorOrDeviceDoesNothing) {
    TSciMyStream orphan(nullptr);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    orphan.SaveText(&buffer);
    orphan.LoadText(&buffer);
    EXPECT_EQ(buffer.size(), 0);
    Load(kAnsiText);
    editor->Streamer()->LoadText(nullptr);
    editor->Streamer()->SaveText(nullptr);
    EXPECT_EQ(Text(), kUtf8Text);
}

namespace {

// Course texts in code page 936 (as GBK course files hold them) and in UTF-8.
struct CourseText {
    const char* name;
    std::string gbk;
    std::string utf8;
};

// clang-format off
const CourseText kCourseTexts[] = {
    {"comment", ";\xB3\xCC\xD0\xF2\xBF\xAA\xCA\xBC\xD4\xCB\xD0\xD0\r\n",  // ;程序开始运行
     ";\xE7\xA8\x8B\xE5\xBA\x8F\xE5\xBC\x80\xE5\xA7\x8B\xE8\xBF\x90\xE8\xA1\x8C\r\n"},
    {"prompt", "prompt BYTE \"\xC7\xEB\xCA\xE4\xC8\xEB\xD2\xBB\xB8\xF6\xCA\xFD:\", 0\r\n",  // 请输入一个数:
     "prompt BYTE \"\xE8\xAF\xB7\xE8\xBE\x93\xE5\x85\xA5\xE4\xB8\x80\xE4\xB8\xAA\xE6\x95\xB0:\", 0\r\n"},
    {"title", ";\xBB\xE3\xB1\xE0\xD3\xEF\xD1\xD4\xB3\xCC\xD0\xF2\xC9\xE8\xBC\xC6\r\n",  // ;汇编语言程序设计
     ";\xE6\xB1\x87\xE7\xBC\x96\xE8\xAF\xAD\xE8\xA8\x80\xE7\xA8\x8B\xE5\xBA\x8F\xE8\xAE\xBE\xE8\xAE\xA1\r\n"},
    {"two characters", "mov eax, 1 ;\xC1\xAA\xCD\xA8\r\n",  // ;联通, a classic near-UTF-8 pair
     "mov eax, 1 ;\xE8\x81\x94\xE9\x80\x9A\r\n"},
    {"punctuation", ";\xA3\xA8\xD7\xA2\xD2\xE2\xA3\xA9\xA1\xA3\r\n",  // ;（注意）。
     ";\xEF\xBC\x88\xE6\xB3\xA8\xE6\x84\x8F\xEF\xBC\x89\xE3\x80\x82\r\n"},
};
// clang-format on

}  // namespace

TEST_F(StreamTest, CourseTextsLoadRightInGbkAndInUtf8WithoutBom) {
    for (const CourseText& text : kCourseTexts) {
        SCOPED_TRACE(text.name);
        EXPECT_EQ(Load(text.gbk), text.utf8) << "GBK";
        EXPECT_EQ(Kind(), 0);
        EXPECT_EQ(Save(), text.gbk);

        EXPECT_EQ(Load(text.utf8), text.utf8) << "UTF-8";
        EXPECT_EQ(Kind(), 4) << "UTF-8 without BOM";
        EXPECT_EQ(editor->CodePage(), 65001);
        EXPECT_EQ(Save(), text.utf8) << "written back as it was read";
    }
}

TEST_F(StreamTest, OnlyStrictUtf8WithNonAsciiTextIsTakenForUtf8) {
    const struct {
        const char* name;
        std::string bytes;
        int kind;
    } cases[] = {
        {"ASCII only", "mov eax, ebx\r\n", 0},
        {"four-byte character", "; \xF0\x9F\x98\x80\r\n", 4},
        {"overlong form", "; \xC0\xAF\r\n", 0},
        {"surrogate", "; \xED\xA0\xBD\r\n", 0},
        {"beyond U+10FFFF", "; \xF4\x90\x80\x80\r\n", 0},
        {"unfinished at the end", "; \xE4\xB8", 0},
        {"lone continuation byte", "; \x80 ok", 0},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.name);
        Load(item.bytes);
        EXPECT_EQ(Kind(), item.kind);
        SetKind(item.kind);
        EXPECT_EQ(Save(), item.bytes) << "the bytes come back";
    }
}

TEST_F(StreamTest, TheWholeFileDecidesNotJustItsFirstPiece) {
    const std::string ascii(TSciMyStream::kPieceSize + 10, 'a');
    const std::string utf8 = "\xE4\xB8\xAD" + ascii + "\xE6\x96\x87";
    EXPECT_TRUE(Load(utf8) == utf8);
    EXPECT_EQ(Kind(), 4);

    const std::string gbkLater = "\xE4\xB8\xAD" + ascii + "\xD6\xD0";  // valid UTF-8 until its last piece
    Load(gbkLater);
    EXPECT_EQ(Kind(), 0);
    EXPECT_TRUE(Save() == gbkLater) << "code page 936 throughout, bytes kept";

    // A UTF-8 character that straddles the first two pieces.
    const std::string straddling = std::string(TSciMyStream::kPieceSize - 1, 'b') + "\xE4\xB8\xAD";
    EXPECT_TRUE(Load(straddling) == straddling);
    EXPECT_EQ(Kind(), 4);
}

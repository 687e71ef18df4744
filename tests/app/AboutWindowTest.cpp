// The splash and about windows: their layout and texts, colours that hold under
// every skin, the modal about window and its help link.
#include "AppFixture.h"

#include "app/HelpViewer.h"
#include "app/Unit3.h"
#include "app/Unit5.h"
#include "skins/SkinStore.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

using namespace asmora::app;

namespace {

QColor textColour(QWidget* widget) {
    widget->ensurePolished();
    return widget->palette().color(QPalette::WindowText);
}

}  // namespace

TEST(SplashWindow, IsABorderless597By182WindowWithThePictureAndTwoLines) {
    TForm5 splash;
    EXPECT_EQ(splash.size(), QSize(597, 182));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.Image1->geometry(), QRect(0, 0, 601, 153));
    ASSERT_FALSE(splash.Image1->pixmap().isNull());
    EXPECT_EQ(splash.Image1->pixmap().size(), QSize(601, 153));
    EXPECT_EQ(splash.Label1->text(), QStringLiteral("欢迎使用Qorvel工作室提供的汇编工具 ") + makerWebAddress());
    EXPECT_EQ(splash.Label1->pos(), QPoint(264, 160));
    EXPECT_EQ(textColour(splash.Label1), QColor("green"));
    EXPECT_EQ(splash.Label2->text(), QStringLiteral("版本发布：V2009 Build 3.818"));
    EXPECT_EQ(splash.Label2->pos(), QPoint(5, 160));
    EXPECT_EQ(textColour(splash.Label2), QColor("purple"));
    EXPECT_TRUE(splash.Label2->font().bold());
    EXPECT_EQ(splash.Label2->font().pixelSize(), 12);
    // Both lines fit inside the window.
    EXPECT_LE(splash.Label1->geometry().right(), splash.width());
}

class AboutWindowTest : public AppFixture {
protected:
    std::unique_ptr<TForm3> about;
    void SetUp() override {
        AppFixture::SetUp();
        about = std::make_unique<TForm3>(programFolder(), dialogs);
    }
    void TearDown() override {
        about.reset();
        qApp->setStyleSheet(QString());
        AppFixture::TearDown();
    }
    QLabel* label(const char* name) const { return about->findChild<QLabel*>(name); }
};

TEST_F(AboutWindowTest, HasTheFixedLayoutOfTheAboutWindow) {
    EXPECT_EQ(about->size(), QSize(519, 335));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("关于  ") + makerWebAddress());
    const struct {
        QGroupBox* group;
        const char16_t* title;
        QRect geometry;
    } groups[] = {
        {about->GroupBox1, u"教材图片", {8, 8, 193, 289}},
        {about->GroupBox2, u"教材简介", {208, 8, 305, 129}},
        {about->GroupBox3, u"程序制作", {208, 144, 305, 81}},
        {about->GroupBox4, u"授权声明", {208, 232, 305, 65}},
    };
    for (const auto& group : groups) {
        EXPECT_EQ(group.group->title(), QString::fromUtf16(group.title));
        EXPECT_EQ(group.group->geometry(), group.geometry);
        // Every line, the last one included, stays clear of the group's bottom border.
        for (const QLabel* line : group.group->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            if (line == about->Image1) continue;
            EXPECT_LE(line->geometry().bottom() + 8, group.geometry.height()) << line->objectName().toStdString();
            EXPECT_TRUE(line->alignment() & Qt::AlignTop) << line->objectName().toStdString();
        }
    }
    EXPECT_EQ(about->Image1->size(), QSize(177, 257));
    EXPECT_TRUE(about->Image1->hasScaledContents());
    EXPECT_FALSE(about->Image1->pixmap().isNull());
    EXPECT_EQ(about->Button1->text(), QStringLiteral("确       定"));
    EXPECT_EQ(about->Button1->geometry(), QRect(384, 304, 129, 25));
    EXPECT_EQ(about->Label12->text(), QStringLiteral("常见问题可参阅帮助文件：Asmora帮助.HLP(点击链接)"));
    EXPECT_EQ(about->Label12->pos(), QPoint(10, 309));
    EXPECT_EQ(about->Label12->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(AboutWindowTest, ShowsTheTextbookLinesAtA16PixelPitch) {
    const QStringList lines = {QStringLiteral("本书的主要特点："), QStringLiteral("重点介绍了32位内存模型和32位指令；"),
                               QStringLiteral("强调体系结构，如寄存器、内存编址、硬件功能等；"),
                               QStringLiteral("阐述了如何在汇编语言中实现高级语言概念"),
                               QStringLiteral("提前介绍了汇编语言编程及Microsft的Windbg调试器；")};
    const QList<QLabel*> shown = about->GroupBox2->findChildren<QLabel*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(shown.size(), 6);
    for (int line = 0; line < 6; ++line) EXPECT_EQ(shown[line]->y(), 20 + 16 * line);
    for (int line = 0; line < lines.size(); ++line) EXPECT_EQ(shown[line + 1]->text(), lines[line]);
    EXPECT_EQ(label("Label7")->text(), QStringLiteral("发布： Norwick计算机科学学院"));
    EXPECT_EQ(label("Label10")->text(), QString());
    EXPECT_EQ(label("Label11")->text(), QString());
}

TEST_F(AboutWindowTest, KeepsItsColoursOnWhiteUnderEverySkin) {
    const asmora::skins::TSkinStore store;
    for (int index = -1; index < store.count(); ++index) {
        qApp->setStyleSheet(index < 0 ? QString() : store.sheet(index));
        const std::string skin = index < 0 ? "no skin" : store.name(index).toStdString();
        about->ensurePolished();
        EXPECT_EQ(about->palette().color(QPalette::Window), QColor(Qt::white)) << skin;
        EXPECT_EQ(textColour(label("TextbookAuthor")), QColor("blue")) << skin;
        EXPECT_EQ(textColour(label("Label2")), QColor("black")) << skin;
        EXPECT_EQ(textColour(label("Label8")), QColor("navy")) << skin;
        EXPECT_EQ(textColour(label("Label10")), QColor("red")) << skin;
        EXPECT_EQ(textColour(about->Label12), QColor("navy")) << skin;
    }
}

TEST_F(AboutWindowTest, TheMenuShowsItModallyAndTheButtonClosesIt) {
    writeFile("bin/setting.ini", "[setting]\r\nAutoCheckASM=1\r\n");
    start();
    window->setAboutWindow(about.get());
    bool shownModal = false;
    QTimer::singleShot(0, about.get(), [&] {
        shownModal = about->isVisible() && about->isModal();
        about->Button1->click();
    });
    window->action(MenuId::AboutAuthor)->trigger();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(about->isVisible());
    // F1 opens it as well, as often as asked.
    QTimer::singleShot(0, about.get(), [&] { about->Button1->click(); });
    window->action(MenuId::About)->trigger();
    EXPECT_EQ(window->action(MenuId::About)->shortcut(), QKeySequence("F1"));
}

TEST_F(AboutWindowTest, TheHelpLinkOpensTheProgramsHelpInTheViewer) {
    writeFile("bin/Asmora帮助.hlp", "Asmora 帮助\n目录\n  1. 界面\n\n1. 界面\n窗口。\n");
    QMouseEvent click(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(about->Label12, &click);
    ASSERT_NE(about->helpViewer(), nullptr);
    EXPECT_TRUE(about->helpViewer()->isVisible());
    EXPECT_EQ(about->helpViewer()->path(), path("bin/Asmora帮助.hlp"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(AboutWindowTest, AMissingHelpFileIsReportedByTheViewer) {
    about->Label12Click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("帮助"));
    EXPECT_TRUE(dialogs.shown[0].text.contains(path("bin/Asmora帮助.hlp")));
    EXPECT_EQ(dialogs.shown[0].icon, platform::MessageIcon::Warning);
    EXPECT_FALSE(about->helpViewer()->isVisible());
}

// The skin store: the ten skins in their order, stored compressed, each a sheet Qt
// parses and a look of its own.
#include "skins/SkinStore.h"

#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QResource>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

using asmora::skins::TSkinStore;

namespace {

const QStringList kOrder = {
    "ClearBlue",       "GNOME-Green",   "LunaBlue",           "Royale1-HOMESTEAD", "Vista",
    "GUIRelax-CINDER", "RoueGrey-SLIM", "RoyaleGlass-INDIGO", "ClearLooks-HUMAN",  "Extensis-COPPER"};

// Collects Qt's warnings while alive (style-sheet parse errors arrive as warnings).
class WarningCollector {
public:
    WarningCollector() { previous_ = qInstallMessageHandler(&WarningCollector::collect); }
    ~WarningCollector() { qInstallMessageHandler(previous_); }
    static QStringList& warnings() {
        static QStringList list;
        return list;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) warnings().append(message);
    }
    QtMessageHandler previous_;
};

// One of each kind of control the skins paint.
void polishAll(QWidget& root) {
    root.ensurePolished();
    for (QWidget* child : root.findChildren<QWidget*>()) child->ensurePolished();
}

}  // namespace

TEST(SkinStore, HoldsTheTenSkinsInTheirOrder) {
    const TSkinStore store;
    ASSERT_EQ(store.count(), 10);
    for (int index = 0; index < store.count(); ++index) {
        EXPECT_EQ(store.name(index), kOrder[index]);
        EXPECT_EQ(store.indexOf(kOrder[index]), index);
    }
    EXPECT_TRUE(store.name(10).isEmpty());
    EXPECT_TRUE(store.name(-1).isEmpty());
}

TEST(SkinStore, FindsNamesOnlyWithTheirExactCase) {
    const TSkinStore store;
    EXPECT_EQ(store.indexOf("Vista"), 4);
    EXPECT_EQ(store.indexOf("vista"), -1);
    EXPECT_EQ(store.indexOf("VISTA"), -1);
    EXPECT_EQ(store.indexOf(""), -1);
}

TEST(SkinStore, StoresEverySkinCompressed) {
    const TSkinStore store;
    for (int index = 0; index < store.count(); ++index) {
        const QResource resource(TSkinStore::resourcePath(index));
        ASSERT_TRUE(resource.isValid()) << index;
        EXPECT_NE(resource.compressionAlgorithm(), QResource::NoCompression) << index;
        EXPECT_LT(resource.size(), store.sheet(index).toUtf8().size()) << index;
    }
}

TEST(SkinStore, AnIndexOutsideTheStoreRaisesAnError) {
    const TSkinStore store;
    EXPECT_THROW(store.sheet(10), platform::Error);
}

TEST(SkinStore, EverySheetParsesAndPaintsEachKindOfControl) {
    const TSkinStore store;
    QMainWindow window;
    window.menuBar()->addMenu("文件(&F)")->addAction("新建文件(&N)");
    auto* central = new QWidget(&window);
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(new QPushButton("编  译"));
    layout->addWidget(new QLineEdit("ml /c"));
    layout->addWidget(new QCheckBox("自动执行"));
    layout->addWidget(new QListWidget);
    layout->addWidget(new QComboBox);
    layout->addWidget(new QTextBrowser);
    layout->addWidget(new QGroupBox("教材简介"));
    auto* tabs = new QTabWidget;
    tabs->addTab(new QWidget, "&1 未命名.asm");
    layout->addWidget(tabs);
    window.setCentralWidget(central);
    QDialog dialog;
    for (int index = 0; index < store.count(); ++index) {
        WarningCollector collector;
        WarningCollector::warnings().clear();
        qApp->setStyleSheet(store.sheet(index));
        polishAll(window);
        polishAll(dialog);
        EXPECT_TRUE(WarningCollector::warnings().isEmpty())
            << store.name(index).toStdString() << ": " << WarningCollector::warnings().join("; ").toStdString();
    }
    qApp->setStyleSheet(QString());
}

TEST(SkinStore, EverySkinHasALookOfItsOwn) {
    const TSkinStore store;
    for (int first = 0; first < store.count(); ++first) {
        const QString sheet = store.sheet(first);
        EXPECT_GT(sheet.size(), 1500) << first;
        for (const char* part : {"QMenuBar", "QMenu::item:selected", "QPushButton", "QPushButton:disabled", "QLineEdit",
                                 "QAbstractItemView", "QTabBar::tab", "QScrollBar", "QToolTip", "QDialog"})
            EXPECT_TRUE(sheet.contains(QLatin1String(part))) << store.name(first).toStdString() << " lacks " << part;
        for (int second = first + 1; second < store.count(); ++second)
            EXPECT_TRUE(sheet != store.sheet(second)) << first << " and " << second;
    }
}

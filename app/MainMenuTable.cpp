// The menu tables of the main window.
#include "MainMenuTable.h"

namespace asmora::app {
namespace {

constexpr MenuRow kMenus[] = {
    {"F1", u"文件(&F)", ""},
    {"E3", u"编辑(&E)", ""},
    {"N7", u"汇编操作(&D)", ""},
    {"DOS1", u"调整界面(&D)", ""},
    {"N4", u"设置(&S)", ""},
    {"A1", u"关于(&A)", "F1"},
};

//  menu    item        caption                      shortcut       check  sep    sub
constexpr MenuItemRow kItems[] = {
    {"F1", "E1", u"新建文件(&N)", "Ctrl+N", false, false, false},
    {"F1", "S0", u"打开(&O)", "Ctrl+O", false, false, false},
    {"F1", "SaveB", u"保存(&S)", "Ctrl+S", false, false, false},
    {"F1", "A2", u"另存为...(&A)", "", false, true, false},
    {"F1", "N3", u"删除该文件(慎用)", "Ctrl+D", false, true, false},
    {"F1", "E2", u"退出(&E)", "", false, false, false},
    {"E3", "N5", u"查找(&F)", "Ctrl+F", false, false, false},
    {"E3", "N8", u"查找下一处(&N)", "F3", false, false, false},
    {"E3", "N6", u"替换(&R)", "Ctrl+H", false, true, false},
    {"E3", "GotoLine1", u"转到行(&G)...", "Ctrl+G", false, false, false},
    {"N7", "M1", u"汇编(&ML)", "F4", false, false, false},
    {"N7", "L1", u"链接(&Link)", "F5", false, false, false},
    {"N7", "R1", u"运行(&Run)", "F6", false, false, false},
    {"N7", "Windbg1", u"调试Windbg(&Debug)", "F7", false, false, false},
    {"N7", "C1", u"清理冗余文件(&Clean)", "F8", false, false, false},
    {"N7", "List1", u"显示&List文件", "F9", false, true, false},
    {"N7", "NextError1", u"下一个错误(&E)", "F2", false, false, false},
    {"N7", "PrevError1", u"上一个错误(&P)", "Shift+F2", false, false, false},
    {"DOS1", "DOSF101", u"调整&DOS界面", "F10", false, true, false},
    {"DOS1", "N29", u"不使用皮肤", "F12", true, false, false},
    {"DOS1", "N19", u"切换界面皮肤", "", false, true, true},
    {"DOS1", "N23", u"隐藏目录提示框", "", true, false, false},
    {"DOS1", "N21", u"隐藏右边控制栏", "", true, false, false},
    {"DOS1", "N22", u"隐藏命令输出框", "", true, false, false},
    {"N4", "ASM1", u"设为&ASM默认打开方式", "F11", false, true, false},
    {"N4", "N25", u"启动时不检测汇编器", "", true, false, false},
    {"N4", "N26", u"手动修复汇编器", "", false, false, false},
    {"N4", "N27", u"调试前不提示用户", "", true, false, false},
    {"A1", "N9", u"关于作者", "", false, false, false},
};

constexpr MenuItemRow kPopupItems[] = {
    {"PopupMenu1", "Undo1", u"撤销", "Ctrl+Z", false, false, false},
    {"PopupMenu1", "Redo1", u"恢复", "Shift+Ctrl+Z", false, true, false},
    {"PopupMenu1", "Cut1", u"剪切", "Ctrl+X", false, false, false},
    {"PopupMenu1", "Copy1", u"复制", "Ctrl+C", false, false, false},
    {"PopupMenu1", "Paste1", u"粘贴", "Ctrl+V", false, false, false},
    {"PopupMenu1", "SelectAll1", u"全选", "Ctrl+A", false, true, false},
    {"PopupMenu1", "SaveFile1", u"保存文件", "Ctrl+S", false, false, false},
};

}  // namespace

std::span<const MenuRow> mainMenus() { return kMenus; }
std::span<const MenuItemRow> mainMenuItems() { return kItems; }
std::span<const MenuItemRow> popupMenuItems() { return kPopupItems; }

}  // namespace asmora::app

#include "shell/DialogResources.h"

#include "platform/graphics/Gdi.h"
#include "platform/win/WinDialog.h"

void RegisterProgramDialogs()
{
    const DWORD popup = static_cast<DWORD>(WS_POPUP);
    if (!HasDialogTemplate(kStartDialogResource)) {
        DIALOGTEMPLATE start;
        start.style = popup | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME;
        start.caption = "";
        start.font = "ＭＳ Ｐゴシック";
        start.pointSize = 9;
        start.cx = 222;
        start.cy = 171;
        start.items = {
            {1075, DialogItemKind::StaticPicture, "", 7, 7, 20, 21, 0},
            {1000, DialogItemKind::DefPushButton, "ゲーム開始", 80, 105, 50, 25, WS_TABSTOP},
            {1001, DialogItemKind::PushButton, "ゲーム中止", 80, 140, 50, 18, WS_TABSTOP},
            {1006, DialogItemKind::GroupBox, "描画モード", 15, 15, 190, 55, 0},
            {1002, DialogItemKind::AutoRadioButton, "Direct3D", 20, 30, 42, 10, WS_TABSTOP | WS_GROUP},
            {1003, DialogItemKind::AutoRadioButton, "DirectDraw", 80, 30, 45, 10, WS_TABSTOP},
            {1005, DialogItemKind::Static, "詳細な設定は環境設定ファイル「System.ini」で行って下さい。", 20, 50, 177, 12, 0},
            {1004, DialogItemKind::AutoCheckBox, "次回からこのダイアログを表示しない", 50, 85, 120, 10, WS_TABSTOP},
        };
        RegisterDialogTemplate(kStartDialogResource, start);
    }
    if (!HasDialogTemplate(kNameEntryDialogResource)) {
        DIALOGTEMPLATE name;
        name.style = popup | WS_VISIBLE | DS_MODALFRAME;
        name.caption = "";
        name.font = "ＭＳ Ｐゴシック";
        name.pointSize = 9;
        name.cx = 110;
        name.cy = 65;
        name.items = {
            {1075, DialogItemKind::StaticPicture, "", 7, 7, 20, 21, 0},
            {1003, DialogItemKind::Edit, "", 75, 12, 24, 14, WS_BORDER | WS_TABSTOP},
            {1000, DialogItemKind::DefPushButton, "OK", 30, 35, 50, 18, WS_TABSTOP},
            {1007, DialogItemKind::Static, "登録名(3文字まで)", 15, 15, 56, 16, 0},
        };
        RegisterDialogTemplate(kNameEntryDialogResource, name);
    }
}

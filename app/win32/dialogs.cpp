#include "app/win32/dialogs.h"

#include <shellapi.h>

#include <cstddef>

#include "hoppel_version.h"

#include "app/win32/display_dpi.h"

namespace {

// The dialog record without the fields added after Windows NT 4.0: 76 bytes
// on i686, 136 on x86_64.
constexpr DWORD kSaveDialogRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);

}  // namespace

DialogHooks systemDialogs() {
    DialogHooks hooks;
    hooks.askSavePath = [](OPENFILENAMEA& dialog) { return GetSaveFileNameA(&dialog) != 0; };
    hooks.showMessage = [](HWND owner, const char* text, const char* caption, UINT type) {
        MessageBoxA(owner, text, caption, type);
    };
    hooks.openAddress = [](const char* address) {
        ShellExecuteA(nullptr, "open", address, nullptr, nullptr, SW_SHOWNORMAL);
    };
    hooks.windowDpi = [](HWND window) { return dpiOfWindow(window); };
    return hooks;
}

bool askSavePath(DialogHooks& hooks, HWND owner, char* path, DWORD size) {
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = kSaveDialogRecordSize;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = "ビットマップ(*.bmp)\0*.bmp\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = size;
    dialog.lpstrTitle = "保存するファイル名を指定してください";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    dialog.lpstrDefExt = "bmp";
    return hooks.askSavePath(dialog);
}

void showAbout(DialogHooks& hooks, HWND owner) {
    hooks.showMessage(owner, "Hoppelmaru バージョン " HOPPEL_VERSION_TEXT, "バージョン情報", MB_OK);
}

void showWriteError(DialogHooks& hooks, HWND owner) {
    hooks.showMessage(owner, "ファイル作成に失敗しました。空き容量を確認してください",
                      "書き込みエラー", MB_OK);
}

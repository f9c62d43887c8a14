#include "app/win32/dialogs.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstddef>

#include "hoppel_version.h"

#include "app/win32/display_dpi.h"

namespace {

// The dialog record without the fields added after Windows NT 4.0: 76 bytes
// on i686, 136 on x86_64.
constexpr DWORD kSaveDialogRecordSize = offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR);

}  // namespace

DialogHooks systemDialogs() {
    DialogHooks hooks;
    hooks.askSavePath = [](OPENFILENAMEW& dialog) { return GetSaveFileNameW(&dialog) != 0; };
    hooks.showMessage = [](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
        MessageBoxW(owner, text, caption, type);
    };
    hooks.openAddress = [](const wchar_t* address) { openWithShell(address, ShellExecuteW); };
    hooks.windowDpi = [](HWND window) { return dpiOfWindow(window); };
    return hooks;
}

bool askSavePath(DialogHooks& hooks, HWND owner, wchar_t* path, DWORD size) {
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = kSaveDialogRecordSize;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"" HOPPEL_TEXT_SAVE_FILTER L"\0*.bmp\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = size;
    dialog.lpstrTitle = L"" HOPPEL_TEXT_SAVE_TITLE;
    // The dialog leaves the current folder alone (a USB stick saved to can
    // still be ejected), and names only a folder that is there and a file
    // that can be written.
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   OFN_NOREADONLYRETURN;
    dialog.lpstrDefExt = L"bmp";
    return hooks.askSavePath(dialog);
}

void showAbout(DialogHooks& hooks, HWND owner) {
    hooks.showMessage(owner, L"" HOPPEL_TEXT_ABOUT HOPPEL_VERSION_TEXT,
                      L"" HOPPEL_TEXT_ABOUT_CAPTION, MB_OK);
}

void showWriteError(DialogHooks& hooks, HWND owner) {
    hooks.showMessage(owner, L"" HOPPEL_TEXT_WRITE_ERROR, L"" HOPPEL_TEXT_WRITE_ERROR_CAPTION,
                      MB_OK);
}

void openWithShell(const wchar_t* address, ShellExecuteCall call) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    call(nullptr, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

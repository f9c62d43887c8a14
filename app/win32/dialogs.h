#pragma once
// What the main window asks of the user and of the shell: the save dialog, the
// About and write-error boxes, the home page. Each goes through DialogHooks,
// which the program fills with the system's calls and tests with their own.
#include <windows.h>
#include <commdlg.h>

#include <functional>

// The maker's home page (Help > 作者サイト).
constexpr const char kHomePageUrl[] = "https://quillmarsh.example/hoppelmaru/";

// What would block or leave the process (the modal dialogs and the shell) and
// what only the system's display decides.
struct DialogHooks {
    // GetSaveFileNameA: true when a file name was chosen.
    std::function<bool(OPENFILENAMEA& dialog)> askSavePath;
    // MessageBoxA.
    std::function<void(HWND owner, const char* text, const char* caption, UINT type)> showMessage;
    // ShellExecuteA "open".
    std::function<void(const char* address)> openAddress;
    // The DPI of the window's monitor as the system reports it (0 when it cannot).
    std::function<UINT(HWND window)> windowDpi;
};

// The real ones.
DialogHooks systemDialogs();

// The save dialog over path, a buffer of size characters that keeps the last
// name; true when a name was chosen into it.
bool askSavePath(DialogHooks& hooks, HWND owner, char* path, DWORD size);
void showAbout(DialogHooks& hooks, HWND owner);
void showWriteError(DialogHooks& hooks, HWND owner);

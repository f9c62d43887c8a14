#pragma once
// What the main window asks of the user and of the shell: the save dialog, the
// About and write-error boxes, the home page. Each goes through DialogHooks,
// which the program fills with the system's calls and tests with their own.
// Texts go to the system as UTF-16, right on every Windows and code page.
#include <windows.h>
#include <commdlg.h>

#include <functional>

#include "app/shown_texts.h"

constexpr const wchar_t kHomePageUrl[] = L"" HOPPEL_TEXT_HOME_PAGE;

// What would block or leave the process (the modal dialogs and the shell) and
// what only the system's display decides.
struct DialogHooks {
    // GetSaveFileNameW: true when a file name was chosen.
    std::function<bool(OPENFILENAMEW& dialog)> askSavePath;
    // MessageBoxW.
    std::function<void(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type)>
        showMessage;
    // The shell's "open" (openWithShell).
    std::function<void(const wchar_t* address)> openAddress;
    // The DPI of the window's monitor as the system reports it (0 when it cannot).
    std::function<UINT(HWND window)> windowDpi;
};

// The real ones.
DialogHooks systemDialogs();

// The save dialog over path, a buffer of size characters that keeps the last
// name; true when a name was chosen into it.
bool askSavePath(DialogHooks& hooks, HWND owner, wchar_t* path, DWORD size);
void showAbout(DialogHooks& hooks, HWND owner);
void showWriteError(DialogHooks& hooks, HWND owner);

// ShellExecuteW, which tests replace to see what it is asked in what state.
using ShellExecuteCall = HINSTANCE(WINAPI*)(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                            LPCWSTR directory, INT show);
// The shell's "open" on address, with COM initialised on the thread
// (apartment-threaded) for the call, as the shell asks of its callers.
void openWithShell(const wchar_t* address, ShellExecuteCall call);

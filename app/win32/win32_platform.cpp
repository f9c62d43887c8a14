#include "app/win32/win32_platform.h"

#include <mmsystem.h>

#include <climits>
#include <string>

#include "app/win32/picture_view_window.h"
#include "app/win32/wide_text.h"
#include "stream/block.h"

namespace {

// What a shell's open leaves to others: viewers, indexers and virus scanners
// open files this way, and a file they hold so stays usable.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A scanner, an indexer or a preview holding a file for a moment.
bool heldForAMoment(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION ||
           error == ERROR_ACCESS_DENIED;
}

// call() again while it fails as a passing hold makes it fail, about half a
// second in all; its last error stays for the caller.
template <class Call>
bool retried(Call call, bool (*passing)(DWORD) = heldForAMoment) {
    constexpr int kAttempts = 6;
    constexpr DWORD kPause = 100;
    for (int attempt = 1;; ++attempt) {
        if (call()) {
            return true;
        }
        const DWORD error = GetLastError();
        if (attempt == kAttempts || !passing(error)) {
            SetLastError(error);
            return false;
        }
        Sleep(kPause);
    }
}

// Only a sharing or lock violation: access denied on opening means a
// read-only file or a folder, which no wait changes.
bool sharedForAMoment(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

HANDLE openRetried(const wchar_t* path, DWORD access, DWORD disposition) {
    HANDLE file = INVALID_HANDLE_VALUE;
    retried(
        [&] {
            file = CreateFileW(path, access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
            return file != INVALID_HANDLE_VALUE;
        },
        sharedForAMoment);
    return file;
}

bool exists(const wchar_t* path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The file's bytes on the disk, not only in the system's cache: a rename that
// survives a power cut must not name a file whose data did not.
bool flushToDisk(const wchar_t* path) {
    HANDLE file = openRetried(path, GENERIC_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

bool moveWrittenThrough(const wchar_t* from, const wchar_t* to, DWORD flags = 0) {
    return retried([&] { return MoveFileExW(from, to, flags | MOVEFILE_WRITE_THROUGH) != 0; });
}

}  // namespace

void Win32Platform::attach(HWND mainWindow, HWND autoButton, HWND clearButton, HWND pictureView) {
    mainWindow_ = mainWindow;
    autoButton_ = autoButton;
    clearButton_ = clearButton;
    pictureView_ = pictureView;
}

void Win32Platform::playSound(const uint8_t* wav, int32_t) {
    // Synchronous: returns once the sound has played (or failed to). A sound
    // that cannot play stays silent rather than ringing the system's own.
    sndPlaySoundW(reinterpret_cast<LPCWSTR>(wav), SND_MEMORY | SND_NODEFAULT);
}

void Win32Platform::pause(int32_t milliseconds) {
    Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}

void Win32Platform::repaintView() {
    InvalidateRgn(pictureView_, nullptr, FALSE);
    UpdateWindow(pictureView_);
}

void Win32Platform::repaintViewChange(const ViewChange& change) {
    SendMessageW(pictureView_, kRepaintChangeMessage, 0, reinterpret_cast<LPARAM>(&change));
}

void Win32Platform::repaintWindow() {
    // Children are named explicitly: the main window clips them from its own paint.
    RedrawWindow(mainWindow_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Platform::startAutoTimer() {
    SetTimer(mainWindow_, kAutoTimerId, kAutoTimerPeriod, nullptr);
}

void Win32Platform::stopAutoTimer() {
    KillTimer(mainWindow_, kAutoTimerId);
}

void Win32Platform::enableClearButton(bool enabled) {
    EnableWindow(clearButton_, enabled ? TRUE : FALSE);
}

void Win32Platform::setAutoButtonText(const char* text) {
    SetWindowTextW(autoButton_, widened(text).c_str());
}

FileBytes Win32Platform::readFile(const char* path, int32_t minimumSize) {
    FileBytes file;
    std::wstring wide;
    if (!toWide(path, &wide)) {
        return file;
    }
    // Others may go on reading, writing or even deleting it meanwhile: the
    // one read below takes what is there.
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return file;
    }
    LARGE_INTEGER length;
    if (GetFileSizeEx(handle, &length) && length.QuadPart >= minimumSize &&
        length.QuadPart <= INT32_MAX) {
        const int32_t n = static_cast<int32_t>(length.QuadPart);
        file.bytes.reset(allocBlock(n));
        if (file.bytes != nullptr) {
            // One read of the whole file; what it does not deliver stays 0.
            DWORD read = 0;
            ReadFile(handle, file.bytes.get(), static_cast<DWORD>(n), &read, nullptr);
            file.size = n;
        }
    }
    CloseHandle(handle);
    return file;
}

bool Win32Platform::createNewFile(const char* path) {
    std::wstring wide;
    if (!toWide(path, &wide)) {
        return false;
    }
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

ReplaceOutcome Win32Platform::replaceFile(const char* from, const char* to, const char* backup) {
    std::wstring wideFrom, wideTo, wideBackup;
    if (!toWide(from, &wideFrom) || !toWide(to, &wideTo) || !toWide(backup, &wideBackup)) {
        return ReplaceOutcome::Kept;
    }
    return replaceWide(wideFrom.c_str(), wideTo.c_str(), wideBackup.c_str());
}

ReplaceOutcome Win32Platform::replaceWide(const wchar_t* from, const wchar_t* to,
                                          const wchar_t* backup) {
    if (!flushToDisk(from)) {
        return ReplaceOutcome::Kept;
    }
    const DWORD kept = GetFileAttributesW(to);
    if (kept == INVALID_FILE_ATTRIBUTES) {
        return moveWrittenThrough(from, to) ? ReplaceOutcome::Replaced : ReplaceOutcome::Kept;
    }
    // A target the replace would fail on (read-only, a folder, or held by
    // another program that does not share its deletion) is refused before
    // anything is touched; the check asks no more than the replace does.
    if ((kept & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        return ReplaceOutcome::Kept;
    }
    HANDLE target = openRetried(to, GENERIC_READ | DELETE | SYNCHRONIZE, OPEN_EXISTING);
    if (target == INVALID_HANDLE_VALUE) {
        return ReplaceOutcome::Kept;
    }
    CloseHandle(target);
    const bool replaced = retried([&] {
        return replace_(to, from, backup,
                        REPLACEFILE_WRITE_THROUGH | REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                        nullptr) != 0;
    });
    if (!replaced) {
        // Some failures leave the old file under the backup name only: then
        // the new one takes its place, or else the old one goes back. Where
        // the old file is still whole at its name and nothing holds it, the
        // file system refused the call itself (some file servers do): the
        // same moves by hand, the old file first.
        const bool held = heldForAMoment(GetLastError());
        if (exists(to) && (held || !moveWrittenThrough(to, backup, MOVEFILE_REPLACE_EXISTING))) {
            return ReplaceOutcome::Kept;
        }
        if (!moveWrittenThrough(from, to)) {
            return moveWrittenThrough(backup, to) ? ReplaceOutcome::Kept : ReplaceOutcome::Stranded;
        }
    }
    // Not every implementation carries all of the replaced file's attributes over.
    if (GetFileAttributesW(to) != kept) {
        SetFileAttributesW(to, kept);
    }
    return ReplaceOutcome::Replaced;
}

bool Win32Platform::removeFile(const char* path) {
    std::wstring wide;
    return toWide(path, &wide) && DeleteFileW(wide.c_str()) != 0;
}

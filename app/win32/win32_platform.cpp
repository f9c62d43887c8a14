#include "app/win32/win32_platform.h"

#include <mmsystem.h>

#include <climits>

#include "app/win32/picture_view_window.h"
#include "stream/block.h"

void Win32Platform::attach(HWND mainWindow, HWND autoButton, HWND clearButton, HWND pictureView) {
    mainWindow_ = mainWindow;
    autoButton_ = autoButton;
    clearButton_ = clearButton;
    pictureView_ = pictureView;
}

void Win32Platform::playSound(const uint8_t* wav, int32_t) {
    // Synchronous: returns once the sound has played (or failed to).
    sndPlaySoundA(reinterpret_cast<LPCSTR>(wav), SND_MEMORY);
}

void Win32Platform::pause(int32_t milliseconds) {
    Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
}

void Win32Platform::repaintView() {
    InvalidateRgn(pictureView_, nullptr, FALSE);
    UpdateWindow(pictureView_);
}

void Win32Platform::repaintViewChange(const ViewChange& change) {
    SendMessageA(pictureView_, kRepaintChangeMessage, 0, reinterpret_cast<LPARAM>(&change));
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
    SetWindowTextA(autoButton_, text);
}

FileBytes Win32Platform::readFile(const char* path, int32_t minimumSize) {
    FileBytes file;
    if (path == nullptr) {
        return file;
    }
    HANDLE handle =
        CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    HANDLE file =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

namespace {

bool exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The file's bytes on the disk, not only in the system's cache: a rename that
// survives a power cut must not name a file whose data did not.
bool flushToDisk(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool flushed = FlushFileBuffers(file) != 0;
    CloseHandle(file);
    return flushed;
}

bool moveWrittenThrough(const char* from, const char* to) {
    return MoveFileExA(from, to, MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace

ReplaceOutcome Win32Platform::replaceFile(const char* from, const char* to, const char* backup) {
    if (!flushToDisk(from)) {
        return ReplaceOutcome::Kept;
    }
    const DWORD kept = GetFileAttributesA(to);
    if (kept == INVALID_FILE_ATTRIBUTES) {
        return moveWrittenThrough(from, to) ? ReplaceOutcome::Replaced : ReplaceOutcome::Kept;
    }
    // A target that cannot be written now (read-only, a folder, or held open
    // by another program) is refused before anything is touched.
    HANDLE target = CreateFileA(to, GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        return ReplaceOutcome::Kept;
    }
    CloseHandle(target);
    if (!replace_(to, from, backup, REPLACEFILE_WRITE_THROUGH | REPLACEFILE_IGNORE_MERGE_ERRORS,
                  nullptr, nullptr)) {
        // Some failures leave the old file under the backup name only: then
        // the new one takes its place, or else the old one goes back.
        if (exists(to)) {
            return ReplaceOutcome::Kept;
        }
        if (!moveWrittenThrough(from, to)) {
            return moveWrittenThrough(backup, to) ? ReplaceOutcome::Kept : ReplaceOutcome::Stranded;
        }
    }
    // Not every implementation carries all of the replaced file's attributes over.
    if (GetFileAttributesA(to) != kept) {
        SetFileAttributesA(to, kept);
    }
    return ReplaceOutcome::Replaced;
}

bool Win32Platform::removeFile(const char* path) {
    return DeleteFileA(path) != 0;
}

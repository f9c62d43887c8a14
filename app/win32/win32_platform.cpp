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

using FileCalls = Win32Platform::FileCalls;

// A file whatever its name, as GetFileInformationByHandle tells it: a move
// keeps its volume and its index there.
struct Identity {
    enum { None, Seen, Unknown } what = Unknown;
    DWORD volume = 0, high = 0, low = 0;
    bool is(const Identity& other) const {
        return what == Seen && other.what == Seen && volume == other.volume && high == other.high &&
               low == other.low;
    }
};

bool nameIsFree(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool lookFailsForAMoment(DWORD error) {
    return !nameIsFree(error);
}

Identity identityOf(const FileCalls& calls, HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    Identity identity;
    if (calls.identify(file, &info)) {
        identity = {Identity::Seen, info.dwVolumeSerialNumber, info.nFileIndexHigh,
                    info.nFileIndexLow};
    }
    return identity;
}

// The file at path now, or None; Unknown where the look went on failing.
Identity lookAt(const FileCalls& calls, const wchar_t* path) {
    Identity identity;
    retried(
        [&] {
            // Attributes only: no holder's sharing stands in the way.
            HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
            if (file == INVALID_HANDLE_VALUE) {
                identity.what = nameIsFree(GetLastError()) ? Identity::None : Identity::Unknown;
                return identity.what == Identity::None;
            }
            identity = identityOf(calls, file);
            const DWORD error = GetLastError();
            CloseHandle(file);
            SetLastError(error);
            return identity.what == Identity::Seen;
        },
        lookFailsForAMoment);
    return identity;
}

// Some file servers have no flush to give: the bytes are as far as they go.
bool cannotFlush(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

// The file's bytes on the disk, not only in the system's cache: a rename that
// survives a power cut must not name a file whose data did not. Notes the
// file's identity on the way.
bool flushToDisk(const FileCalls& calls, const wchar_t* path, Identity* identity) {
    HANDLE file = openRetried(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool flushed = calls.flush(file) != 0 || cannotFlush(GetLastError());
    *identity = identityOf(calls, file);
    CloseHandle(file);
    return flushed && identity->what == Identity::Seen;
}

bool moveWrittenThrough(const FileCalls& calls, const wchar_t* from, const wchar_t* to,
                        DWORD flags = 0) {
    return retried([&] { return calls.move(from, to, flags | MOVEFILE_WRITE_THROUGH) != 0; });
}

// The replace refused the call itself and moved nothing (some file servers
// do): the same moves by hand may serve. A network error says nothing of
// what happened.
bool refusedCall(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ||
           error == ERROR_INVALID_PARAMETER || error == ERROR_CALL_NOT_IMPLEMENTED ||
           error == ERROR_UNABLE_TO_REMOVE_REPLACED || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT;
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
    // Each file is known by its identity, noted before anything moves, so that
    // after a failure a look tells where each one is, whatever the calls said.
    Identity fresh;
    if (!flushToDisk(calls_, from, &fresh)) {
        return ReplaceOutcome::Kept;
    }
    const Identity old = lookAt(calls_, to), reserved = lookAt(calls_, backup);
    const DWORD kept = GetFileAttributesW(to);
    bool done;
    if (old.what == Identity::None) {
        done = moveWrittenThrough(calls_, from, to);
    } else {
        // A target no look could tell, or one the replace would fail on
        // (read-only, a folder, or held by another program that does not share
        // its deletion), is refused before anything is touched; the check asks
        // no more than the replace does.
        if (old.what == Identity::Unknown || kept == INVALID_FILE_ATTRIBUTES ||
            (kept & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
            return ReplaceOutcome::Kept;
        }
        HANDLE target = openRetried(to, GENERIC_READ | DELETE | SYNCHRONIZE, OPEN_EXISTING);
        if (target == INVALID_HANDLE_VALUE) {
            return ReplaceOutcome::Kept;
        }
        CloseHandle(target);
        done = retried([&] {
            return calls_.replace(to, from, backup,
                                  REPLACEFILE_WRITE_THROUGH | REPLACEFILE_IGNORE_MERGE_ERRORS,
                                  nullptr, nullptr) != 0;
        });
    }
    if (!done) {
        const DWORD error = GetLastError();
        Identity atTo, atFrom, atBackup;
        const auto look = [&] {
            atTo = lookAt(calls_, to);
            atFrom = lookAt(calls_, from);
            atBackup = lookAt(calls_, backup);
        };
        const auto spare = [&] { return atBackup.what == Identity::None || atBackup.is(reserved); };
        look();
        // Each move only from where a look shows its file to a name seen
        // free or spare; whatever it answers, the next look tells what it did.
        if (old.what == Identity::Seen) {
            if (refusedCall(error) && atTo.is(old) && atFrom.is(fresh) && spare()) {
                moveWrittenThrough(calls_, to, backup, MOVEFILE_REPLACE_EXISTING);
                look();
            }
            if (atTo.what == Identity::None && atFrom.is(fresh)) {
                moveWrittenThrough(calls_, from, to);
                look();
            }
            if (atTo.what == Identity::None && atBackup.is(old)) {
                moveWrittenThrough(calls_, backup, to);
                look();
            }
        }
        if (!atTo.is(fresh)) {
            const bool oldInPlace =
                old.what == Identity::None ? atTo.what == Identity::None : atTo.is(old);
            return oldInPlace && atFrom.is(fresh) && spare() ? ReplaceOutcome::Kept
                                                             : ReplaceOutcome::Stranded;
        }
    }
    // Not every implementation carries all of the replaced file's attributes over.
    if (old.what == Identity::Seen && GetFileAttributesW(to) != kept) {
        SetFileAttributesW(to, kept);
    }
    return ReplaceOutcome::Replaced;
}

bool Win32Platform::removeFile(const char* path) {
    std::wstring wide;
    // A scanner that opens the file as the save ends holds it for a moment.
    return toWide(path, &wide) && retried([&] { return DeleteFileW(wide.c_str()) != 0; });
}

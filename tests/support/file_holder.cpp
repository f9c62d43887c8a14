// A program of its own that holds a file open, as a viewer, an indexer or a
// virus scanner does, for the tests of files other programs hold:
//   hoppel_file_holder <share> <path>
// share names what the holder lets others do meanwhile: any of the letters r,
// w, d (read, write, delete), or "none". It opens the file for reading (and
// makes it when missing), signals the event "hoppel-holder-<its process id>"
// and says "held" on its standard output once it holds it, and then holds it
// until it is ended, at most three minutes.
// Exit code 0 when it held the file, 1 when it could not.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

int main() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count != 3) {
        return 2;
    }
    DWORD share = 0;
    for (const wchar_t* c = args[1]; *c != L'\0'; ++c) {
        share |= *c == L'r'   ? FILE_SHARE_READ
                 : *c == L'w' ? FILE_SHARE_WRITE
                 : *c == L'd' ? FILE_SHARE_DELETE
                              : 0;
    }
    HANDLE file = CreateFileW(args[2], GENERIC_READ, share, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    const std::wstring name = L"hoppel-holder-" + std::to_wstring(GetCurrentProcessId());
    HANDLE held = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    SetEvent(held);
    std::printf("held\n");
    std::fflush(stdout);
    Sleep(180000);
    CloseHandle(file);
    return 0;
}

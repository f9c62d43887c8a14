// Files dropped on the window and File > Save image, on real files.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <thread>
#include <tuple>

#include "tests/support/bmp_files.h"
#include "tests/support/deep_folders.h"
#include "win32_test_support.h"

using MainWindowFiles = MainWindowTest;

TEST_F(MainWindowFiles, DroppedPictureReplacesBothPicturesResetsCounterAndStopsAutoMode) {
    move(241, 160);
    command(IDC_AUTO);
    window_->app().state().slapCount = 7;
    const Picture dropped = stripes(0x80C040);
    ASSERT_TRUE(writeFile(file("stripes.bmp"), encodeBmp24(dropped)));
    EXPECT_EQ(GlobalFlags(drop({file("stripes.bmp")})), UINT(GMEM_INVALID_HANDLE));  // released
    EXPECT_TRUE(current() == dropped.pixels);
    EXPECT_TRUE(untouched() == dropped.pixels);
    EXPECT_EQ(state().slapCount, 0);
    expectAutoMode(false);
    EXPECT_FALSE(KillTimer(main_, kAutoTimerId));
    // Clear now returns to the dropped picture, not the built-in one; the hand stays throughout.
    slapAt(200, 160);
    ASSERT_FALSE(current() == dropped.pixels);
    command(IDC_CLEAR);
    EXPECT_TRUE(current() == dropped.pixels);
    EXPECT_EQ(state().slapCount, 0);
    EXPECT_EQ(std::make_pair(state().handX, state().handY), std::make_pair(240u, 159u));
}

TEST_F(MainWindowFiles, RejectedDroppedFilesChangeNothingAndLeaveAutoModeRunning) {
    const std::vector<uint32_t> original = current();
    command(IDC_AUTO);
    KillTimer(main_, kAutoTimerId);
    window_->app().state().slapCount = 5;
    std::vector<NamedFile> files = rejectedPictureFiles();
    files.emplace_back("", std::vector<uint8_t>());  // no file of that name
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE(files[i].first);
        const std::string name = file("rejected-" + std::to_string(i) + ".bmp");
        ASSERT_TRUE(files[i].first.empty() || writeFile(name, files[i].second));
        EXPECT_EQ(GlobalFlags(drop({name})), UINT(GMEM_INVALID_HANDLE));
        EXPECT_TRUE(current() == original && untouched() == original);
        EXPECT_EQ(state().slapCount, 5);
        expectAutoMode(true);
    }
}

TEST_F(MainWindowFiles, OnlyTheFirstDroppedFileCountsAndJapaneseAndOverlongPathsAreHandled) {
    EXPECT_EQ(GetACP(), 65001u);  // narrow drops, as old shells made them, are in this code page
    const std::vector<uint32_t> original = current();
    ASSERT_TRUE(writeFile(file("good.bmp"), encodeBmp24(stripes(0x80C040))));
    ASSERT_TRUE(writeFile(file("ほっぺ画像.bmp"), encodeBmp24(stripes(0x4080C0))));
    ASSERT_TRUE(writeFile(file("bad.bmp"), std::vector<uint8_t>(100, 1)));
    drop({file("bad.bmp"), file("good.bmp")});
    EXPECT_TRUE(current() == original);
    drop({file("ほっぺ画像.bmp"), file("good.bmp"), file("bad.bmp")});
    EXPECT_TRUE(current() == stripes(0x4080C0).pixels);
    // Longer than the platform takes: refused, no crash.
    drop({file(std::string(300, 'a') + ".bmp")});
    EXPECT_TRUE(current() == stripes(0x4080C0).pixels);
}

TEST_F(MainWindowFiles, SaveDialogRecordHasItsSettingsAndCancelWritesNothing) {
    command(IDM_SAVE_IMAGE);
    ASSERT_EQ(saveDialogs_.size(), 1u);
    const OPENFILENAMEW& record = saveDialogs_[0];
    // The record without its later fields: 76 bytes on i686, 136 on x86_64.
    const DWORD recordSize = sizeof(void*) == 8 ? 136ul : 76ul;
    // The current folder stays; only a folder that is there and a writable file are taken.
    const DWORD flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                        OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    EXPECT_EQ(std::make_tuple(record.lStructSize, record.hwndOwner, record.nFilterIndex,
                              record.nMaxFile, record.Flags),
              std::make_tuple(recordSize, main_, 1ul, static_cast<DWORD>(kLongestPath + 1), flags));
    // One entry, then the empty string that ends the list.
    EXPECT_EQ(std::wstring(record.lpstrFilter, 21),
              std::wstring(L"ビットマップ(*.bmp)\0*.bmp\0\0", 21));
    EXPECT_EQ(record.lpstrFile, window_->savePath());
    EXPECT_EQ(std::wstring(record.lpstrTitle), L"保存するファイル名を指定してください");
    EXPECT_EQ(std::wstring(record.lpstrDefExt), L"bmp");
    EXPECT_TRUE(!record.lpstrCustomFilter && !record.lpstrFileTitle && !record.lpstrInitialDir &&
                !record.lpfnHook && !record.lpTemplateName);
    EXPECT_TRUE(shown_.empty());
}

TEST_F(MainWindowFiles, SaveWritesTheSlappedPictureAsA24BitBmpAndOffersTheNameAgain) {
    loadTestPicture();
    slapAt(300, 160);
    move(241, 160);  // the hand is not saved
    const std::vector<uint32_t> slapped = current();
    nextSavePath_ = file("保存.bmp");
    std::vector<uint8_t> saved;
    for (int round = 0; round < 2; ++round) {  // the second saves over the first
        command(IDM_SAVE_IMAGE);
        EXPECT_TRUE(savedAsShown(nextSavePath_)) << "round " << round;
        saved = readWholeFile(nextSavePath_);
        slapAt(300, 160);
    }
    EXPECT_FALSE(saved == encodeBmp24({480, 320, slapped}));
    EXPECT_EQ(namesOffered_, (std::vector<std::string>{"", nextSavePath_}));  // the last name again
}

TEST_F(MainWindowFiles, SaveWriteFailureShowsTheErrorBoxOwnedByTheMainWindow) {
    nextSavePath_ = file("no-such-folder\\picture.bmp");
    command(IDM_SAVE_IMAGE);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].owner, main_);
    EXPECT_EQ(shown_[0].text, "ファイル作成に失敗しました。空き容量を確認してください");
    EXPECT_EQ(shown_[0].caption, "書き込みエラー");
    EXPECT_EQ(shown_[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(GetFileAttributesA(nextSavePath_.c_str()), INVALID_FILE_ATTRIBUTES);
}

namespace {

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::u8path(folder))) {
        names.push_back(entry.path().filename().u8string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Another program holds the old file open: the save fails with the error box
// and leaves the old file and the folder exactly as they were.
TEST_F(MainWindowFiles, SaveOverALockedFileKeepsItAndLeavesNothingBehind) {
    const std::vector<uint8_t> old(1000, 'o');
    nextSavePath_ = file("locked.bmp");
    ASSERT_TRUE(writeFile(nextSavePath_, old));
    ASSERT_TRUE(
        writeFile(file("~hm0.tmp"), {'t'}));  // someone else's file of a temporary-looking name
    HANDLE lock = CreateFileA(nextSavePath_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    command(IDM_SAVE_IMAGE);
    CloseHandle(lock);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].caption, "書き込みエラー");
    EXPECT_TRUE(readWholeFile(nextSavePath_) == old);
    EXPECT_TRUE(readWholeFile(file("~hm0.tmp")) == std::vector<uint8_t>{'t'});
    EXPECT_EQ(namesIn(folder_), (std::vector<std::string>{"locked.bmp", "~hm0.tmp"}));
}

// A replaced file keeps what the user set on it; the new bytes are all there.
TEST_F(MainWindowFiles, SaveOverAnExistingFileKeepsItsAttributes) {
    nextSavePath_ = file("hidden.bmp");
    ASSERT_TRUE(writeFile(nextSavePath_, std::vector<uint8_t>(1000, 'o')));
    if (!SetFileAttributesA(nextSavePath_.c_str(), FILE_ATTRIBUTE_HIDDEN) ||
        (GetFileAttributesA(nextSavePath_.c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0) {
        GTEST_SKIP() << "this file system keeps no hidden attribute";
    }
    command(IDM_SAVE_IMAGE);
    EXPECT_TRUE(savedAsShown(nextSavePath_));
    EXPECT_NE(GetFileAttributesA(nextSavePath_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(namesIn(folder_), std::vector<std::string>{"hidden.bmp"});
}

// Every name the dialog can return saves, the longest (259 characters) too,
// in the deepest folder Windows makes (247 characters).
TEST_F(MainWindowFiles, SaveWorksForTheLongestPathTheDialogReturns) {
    const std::vector<std::string> folders = deepFolders(folder_, 247, '\\');
    for (const std::string& folder : folders) {
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    nextSavePath_ = folders.back() + "\\" + std::string(7, 'n') + ".bmp";
    ASSERT_EQ(nextSavePath_.size(), 259u);
    command(IDM_SAVE_IMAGE);
    EXPECT_TRUE(savedAsShown(nextSavePath_));
    EXPECT_EQ(namesIn(folders.back()), std::vector<std::string>{"nnnnnnn.bmp"});
}

// Japanese names take three bytes each in the program's UTF-8: a folder of
// 120 of them is far past 260 bytes, but well within the platform's 259 units.
TEST_F(MainWindowFiles, JapanesePathsOfTheirWholeLengthDropAndSave) {
    std::string folder = folder_;
    for (int level = 0; level < 2; ++level) {  // 60 characters a name: a Unix name holds 255 bytes
        folder += "\\" + repeated("お尻画", 20);
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
    }
    const std::string picture = folder + "\\ほっぺ.bmp", saved = folder + "\\保存した絵.bmp";
    ASSERT_GT(picture.size(), 360u);
    const Picture dropped = stripes(0x80C040);
    ASSERT_TRUE(writeFile(picture, encodeBmp24(dropped)));
    for (bool wide : {false, true}) {  // the shell hands over UTF-16 names
        SCOPED_TRACE(wide ? "UTF-16 drop" : "narrow drop");
        command(IDC_CLEAR);
        drop({picture}, wide);
        EXPECT_TRUE(current() == dropped.pixels);
        loadTestPicture();
    }
    nextSavePath_ = saved;
    command(IDM_SAVE_IMAGE);
    EXPECT_TRUE(savedAsShown(saved));
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"ほっぺ.bmp", "保存した絵.bmp"}));
}

// A name the platform would not take does not fit the dialog's buffer, so
// the dialog fails as if cancelled: nothing is touched.
TEST_F(MainWindowFiles, SaveNeverSeesAPathLongerThanThePlatformTakes) {
    nextSavePath_ = file(std::string(259 - folder_.size(), 'n'));
    ASSERT_EQ(widened(nextSavePath_.c_str()).size(), 260u);
    command(IDM_SAVE_IMAGE);
    EXPECT_EQ(saveDialogs_.size(), 1u);
    EXPECT_TRUE(shown_.empty());
    EXPECT_TRUE(namesIn(folder_).empty());
}

// What the replace may meet, beyond a plain failure: every case ends with
// the old file or the new picture whole at the chosen name, the error box
// exactly when it is not the new picture, and no only copy of either removed.
namespace {

struct InjectedReplace {
    // A letter each: the real replace runs first (r); the old file is moved to
    // the backup name (m), as ReplaceFileW's documented half-way failures
    // leave it, or deleted by another program (d); the new file (n), the moved
    // old one (o) or the target (t) is held; the backup is held for a moment
    // after a replace that succeeds (b); two looks after the replace fail (l).
    const char* does = "";
    DWORD error = 0;       // the replace's answer; 0: the real one's
    int failures = 0;      // calls answered so before the real one runs; 0: all
    DWORD moveError = 0;   // the first move after the replace is made, then answered so
    DWORD flushError = 0;  // the flush answers so, flushing nothing
};
InjectedReplace injected;
std::vector<HANDLE> injectedLocks;
int injectedCalls = 0, injectedMoves = 0, injectedLooks = 0;
std::thread releaser;

bool does(char what) {
    return std::strchr(injected.does, what) != nullptr;
}

HANDLE holdExclusively(const wchar_t* path) {
    return CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

BOOL WINAPI injectedReplace(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags,
                            LPVOID exclude, LPVOID reserved) {
    ++injectedCalls;
    if (does('t'))
        injectedLocks.push_back(holdExclusively(replaced));
    const bool real =
        injected.error == 0 || (injected.failures > 0 && injectedCalls > injected.failures);
    const BOOL done = (real || does('r')) &&
                      ReplaceFileW(replaced, replacement, backup, flags, exclude, reserved);
    if (real && does('b')) {
        releaser = std::thread([held = holdExclusively(backup)] {
            Sleep(150);
            CloseHandle(held);
        });
    }
    if (real)
        return done;
    if (does('m'))
        MoveFileExW(replaced, backup, MOVEFILE_REPLACE_EXISTING);
    if (does('d'))
        DeleteFileW(replaced);
    for (const auto& [what, path] : {std::make_pair('n', replacement), {'o', backup}})
        if (does(what))
            injectedLocks.push_back(holdExclusively(path));
    SetLastError(injected.error);
    return FALSE;
}

BOOL WINAPI injectedMove(LPCWSTR from, LPCWSTR to, DWORD flags) {
    const BOOL moved = MoveFileExW(from, to, flags);
    const bool lost = moved && injected.moveError != 0 && injectedCalls > 0 && !injectedMoves++;
    SetLastError(lost ? injected.moveError : GetLastError());
    return moved && !lost;
}

BOOL WINAPI injectedFlush(HANDLE file) {
    SetLastError(injected.flushError);
    return injected.flushError == 0 && FlushFileBuffers(file);
}

BOOL WINAPI injectedIdentify(HANDLE file, LPBY_HANDLE_FILE_INFORMATION info) {
    SetLastError(ERROR_NETNAME_DELETED);
    return !(does('l') && injectedCalls > 0 && injectedLooks++ < 2) &&
           GetFileInformationByHandle(file, info);
}

}  // namespace

TEST_F(MainWindowFiles, SaveThatFailsAnywhereLosesNeitherFile) {
    struct Case {
        const char* name;
        InjectedReplace inject;
        // What picture.bmp, ~hm0.tmp and ~hm1.tmp hold: the new picture (n),
        // the old file (o), the empty reservation (e) or nothing (-).
        const char* left;
    };
    // A refusal of the call itself with the old file whole at its name and
    // nothing holding it (87, 1, 50, as some file servers give, or the
    // replace's own 1175 and 1176) is done again by renames; a hold is waited
    // out for a while; anything else is looked at, and moved on only from
    // what is seen.
    // clang-format off
    const Case cases[] = {
        {"the target locked after the checks", {"t"},               "o--"},
        {"refused, nothing moved (1175)",      {"", 1175},          "n--"},
        {"refused, nothing moved (1176)",      {"", 1176},          "n--"},
        {"refused by the server (87)",         {"", 87},            "n--"},
        {"refused by the server (1)",          {"", 1},             "n--"},
        {"refused by the server (50)",         {"", 50},            "n--"},
        {"refused (87), new file held",        {"n", 87},           "on-"},
        {"held for a moment (32)",             {"", 32, 2},         "n--"},
        {"held for a moment (33)",             {"", 33, 3},         "n--"},
        {"denied for a moment (5)",            {"", 5, 1},          "n--"},
        {"held throughout (32)",               {"", 32},            "o--"},
        {"old file moved away (1177)",         {"m", 1177},         "n--"},
        {"moved away, new file held",          {"mn", 1177},        "on-"},
        {"moved away, both held",              {"mno", 1177},       "-no"},
        {"done, answered 87",                  {"r", 87},           "n--"},
        {"done, the answer lost (64)",         {"r", 64},           "n--"},
        {"nothing done, network error (64)",   {"", 64},            "o--"},
        {"refused (87), backup move lost (64)",{"", 87, 0, 64},     "n--"},
        {"old file deleted, new file held",    {"dn", 2},           "-ne"},
        {"held throughout, looks fail (32)",   {"l", 32},           "o--"},
        {"no flush here (1)",                  {"", 0, 0, 0, 1},    "n--"},
        {"no flush here (50)",                 {"", 0, 0, 0, 50},   "n--"},
        {"the flush fails (1117)",             {"", 0, 0, 0, 1117}, "o--"},
        {"the backup held for a moment",       {"b"},               "n--"},
    };
    // clang-format on
    window_->platform().fileCalls() = {injectedReplace, injectedMove, injectedFlush,
                                       injectedIdentify};
    const std::vector<uint8_t> old(1000, 'o');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        nextSavePath_ = file("picture.bmp");
        ASSERT_TRUE(writeFile(nextSavePath_, old));
        slapAt(300, 160);
        const std::vector<uint8_t> fresh = encodeBmp24({480, 320, current()});
        injected = c.inject;
        injectedCalls = injectedMoves = injectedLooks = 0;
        shown_.clear();
        command(IDM_SAVE_IMAGE);
        for (HANDLE lock : injectedLocks) {
            CloseHandle(lock);
        }
        injectedLocks.clear();
        if (releaser.joinable()) {
            releaser.join();
        }
        EXPECT_EQ(shown_.size(), c.left[0] == 'n' ? 0u : 1u);
        std::string held;
        for (const char* name : {"picture.bmp", "~hm0.tmp", "~hm1.tmp"}) {
            const std::vector<uint8_t> bytes = readWholeFile(file(name));
            const bool there = GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
            held += !there           ? '-'
                    : bytes == fresh ? 'n'
                    : bytes == old   ? 'o'
                    : bytes.empty()  ? 'e'
                                     : '?';
        }
        EXPECT_EQ(held, c.left);
        const std::vector<std::string> left = namesIn(folder_);
        EXPECT_EQ(left.size(), size_t(3 - std::count(held.begin(), held.end(), '-')));
        for (const std::string& name : left) {  // the next case starts afresh
            DeleteFileA(file(name).c_str());
        }
    }
    window_->platform().fileCalls() = {};
}

// A folder or a read-only file of the chosen name is refused before anything
// is touched.
TEST_F(MainWindowFiles, SaveOverAFolderOrAReadOnlyFileKeepsIt) {
    nextSavePath_ = file("folder.bmp");
    ASSERT_TRUE(CreateDirectoryA(nextSavePath_.c_str(), nullptr));
    command(IDM_SAVE_IMAGE);
    EXPECT_EQ(shown_.size(), 1u);
    EXPECT_NE(GetFileAttributesA(nextSavePath_.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    const std::vector<uint8_t> old(1000, 'o');
    nextSavePath_ = file("read-only.bmp");
    ASSERT_TRUE(writeFile(nextSavePath_, old));
    ASSERT_TRUE(SetFileAttributesA(nextSavePath_.c_str(), FILE_ATTRIBUTE_READONLY));
    command(IDM_SAVE_IMAGE);
    EXPECT_EQ(shown_.size(), 2u);
    EXPECT_TRUE(readWholeFile(nextSavePath_) == old);
    EXPECT_EQ(namesIn(folder_), (std::vector<std::string>{"folder.bmp", "read-only.bmp"}));
    SetFileAttributesA(nextSavePath_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The first temporary name in another case is the chosen file itself on a
// file system that ignores case: the save must not take it, whether or not
// the file is there yet (a new one would be replaced by itself).
TEST_F(MainWindowFiles, SaveOverAFileNamedLikeATemporaryInAnotherCase) {
    nextSavePath_ = file("~HM0.TMP");
    for (bool there : {false, true}) {
        SCOPED_TRACE(there ? "over an old file" : "a new file");
        if (there) {
            ASSERT_TRUE(writeFile(nextSavePath_, std::vector<uint8_t>(1000, 'o')));
        }
        slapAt(300, 160);
        command(IDM_SAVE_IMAGE);
        EXPECT_TRUE(savedAsShown(nextSavePath_));
        EXPECT_EQ(namesIn(folder_), std::vector<std::string>{"~HM0.TMP"});
        DeleteFileA(nextSavePath_.c_str());
    }
}

// What a viewer, an indexer or a scanner holding the file does to a drop and
// a save, in another program: the file is read and replaced wherever the
// holder lets others do so, and otherwise left exactly as it was.
TEST_F(MainWindowFiles, FilesAnotherProgramHoldsOpenDropAndSaveWhereItShares) {
    // clang-format off
    const struct {
        const char* share;
        bool dropLoads, saveReplaces;
    } cases[] = {
        {"none", false, false},
        {"r",    true,  false},  // a viewer: reading, but not deleting, allowed
        {"rw",   true,  false},
        {"rwd",  true,  true},   // an indexer or a scanner
    };
    // clang-format on
    const std::vector<uint8_t> old(1000, 'o');
    uint32_t color = 0x80C040;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.share);
        const Picture dropped = stripes(color += 0x10);
        ASSERT_TRUE(writeFile(file("held.bmp"), encodeBmp24(dropped)));
        nextSavePath_ = file("saved.bmp");
        ASSERT_TRUE(writeFile(nextSavePath_, old));
        slapAt(300, 160);
        const std::vector<uint32_t> before = current();
        {
            HeldFile heldDrop(c.share, file("held.bmp"));
            HeldFile heldSave(c.share, nextSavePath_);
            ASSERT_TRUE(heldDrop.held() && heldSave.held());
            shown_.clear();
            command(IDM_SAVE_IMAGE);
            drop({file("held.bmp")}, true);
        }
        EXPECT_EQ(shown_.size(), c.saveReplaces ? 0u : 1u);
        EXPECT_TRUE(readWholeFile(nextSavePath_) ==
                    (c.saveReplaces ? encodeBmp24({480, 320, before}) : old));
        EXPECT_TRUE(current() == (c.dropLoads ? dropped.pixels : before));
        // The holder gone, nothing but the two files is left.
        EXPECT_EQ(namesIn(folder_), (std::vector<std::string>{"held.bmp", "saved.bmp"}));
        command(IDC_CLEAR);
    }
}

// A name with no UTF-8 form (an unpaired surrogate, which the shell can
// hand over) is refused as a bad file is: nothing changes, nothing is written.
TEST_F(MainWindowFiles, NamesWithoutAUtf8FormAreRefused) {
    const Picture good = stripes(0x80C040);
    ASSERT_TRUE(writeFile(file("good.bmp"), encodeBmp24(good)));
    const std::vector<uint32_t> original = current();
    const std::wstring folder = widened(folder_.c_str());
    EXPECT_EQ(GlobalFlags(dropUnits(folder + L"\\bad\xD800.bmp")), UINT(GMEM_INVALID_HANDLE));
    dropUnits(folder + L"\\\xDC00good.bmp" + L'\0' + folder +
              L"\\good.bmp");  // only the first counts
    EXPECT_TRUE(current() == original);
    window_->hooks().askSavePath = [&](OPENFILENAMEW& dialog) {
        lstrcpynW(dialog.lpstrFile, (folder + L"\\saved\xDBFF.bmp").c_str(), dialog.nMaxFile);
        return true;
    };
    command(IDM_SAVE_IMAGE);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].caption, "書き込みエラー");
    EXPECT_EQ(namesIn(folder_), std::vector<std::string>{"good.bmp"});
}

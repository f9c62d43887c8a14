#include <chrono>
#include <filesystem>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include "app_test_support.h"
#include "app/picture_file_head.h"
#include "stream/little_endian.h"
#include "stream/utf16.h"
#include "tests/support/bmp_files.h"
#include "tests/support/collecting_stream.h"
#include "tests/support/deep_folders.h"
#include "tests/support/file_bytes.h"
// Not in wasm: its setrlimit does nothing and reports success.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include "tests/support/file_size_limit.h"
#endif

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Both pictures painted with seeds 21 and 22, and a folder of its own.
class PictureExchangeTest : public AppFixture {
protected:
    PictureExchangeTest() {
        paintPattern(*state.currentPicture, 21);
        paintPattern(*state.untouchedPicture, 22);
        fs::create_directories(root);
    }
    ~PictureExchangeTest() override {
        std::error_code error;
        fs::remove_all(root, error);
    }

    std::string path(const std::string& name) const { return (root / name).u8string(); }
    std::string place(const std::string& name, const Bytes& bytes) const {
        EXPECT_TRUE(writeFile(path(name), bytes));
        return path(name);
    }
    // The BMP file the image library saves with this id for a painted picture.
    static Bytes patternFile(int32_t width, int32_t height, uint32_t seed, int32_t id) {
        Dib32Image image(width, height);
        paintPattern(image, seed);
        CollectingStream out;
        EXPECT_TRUE(image.save(&out, id));
        return out.written;
    }
    static std::ptrdiff_t filesIn(const fs::path& folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    }
    void expectPictures(uint32_t currentSeed, uint32_t untouchedSeed) {
        EXPECT_EQ(wordsOf(*state.currentPicture), patternWords(480, 320, currentSeed));
        EXPECT_EQ(wordsOf(*state.untouchedPicture), patternWords(480, 320, untouchedSeed));
    }

    const fs::path root =
        fs::temp_directory_path() /
        ("hoppel-app-" + std::to_string(std::random_device{}()) + "-" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
};

TEST_F(PictureExchangeTest, LoadsOnly480By320PicturesOfAtLeast460854BytesIntoBothPictures) {
    const Bytes good = patternFile(480, 320, 7, kImageReaderId);
    // The first two are accepted.
    std::vector<NamedFile> cases = {{"24 bits per pixel", good},
                                    {"32 bits per pixel", patternFile(480, 320, 7, 0)}};
    for (const NamedFile& rejected : rejectedPictureFiles())
        cases.push_back(rejected);
    state.slapCount = 9;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const bool accepted = &c < &cases[2];
        paintPattern(*state.currentPicture, 21);
        paintPattern(*state.untouchedPicture, 22);
        const std::string file = place("load.bmp", c.second);
        platform.calls.clear();
        EXPECT_EQ(app.loadPictureFile(file.c_str()), accepted);
        expectPictures(accepted ? 7 : 21, accepted ? 7 : 22);
        EXPECT_TRUE(state.currentPicture->isBottomUp());
        EXPECT_EQ(platform.calls, Calls{"readFile " + file + " 460854"});
    }
    EXPECT_EQ(state.slapCount, 9);
    EXPECT_FALSE(app.loadPictureFile(path("missing.bmp").c_str()));
    EXPECT_FALSE(app.loadPictureFile(nullptr));
    expectPictures(21, 22);

    // Rows that start at offset 0 let a 480 x 320 picture decode from fewer
    // bytes than the floor: the floor alone decides, even when the platform
    // hands such a file out after all.
    Bytes floor = good;
    storeLe32(&floor[10], 0);
    floor.resize(460853);
    for (bool ignoreMinimum : {false, true}) {
        platform.ignoreMinimum = ignoreMinimum;
        EXPECT_FALSE(app.loadPictureFile(place("short.bmp", floor).c_str()));
        expectPictures(21, 22);
    }
    floor.push_back(0);
    EXPECT_TRUE(app.loadPictureFile(place("enough.bmp", floor).c_str()));
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(*state.untouchedPicture));
}

// The page copies only the prefix the head names: loading it gives what
// loading the whole file gives, and a head that rules a file out is right.
TEST_F(PictureExchangeTest, AFilesHeadNamesThePrefixThatLoadsAsTheWholeFile) {
    const Bytes good = patternFile(480, 320, 7, kImageReaderId);
    Bytes trailing = good, later = good, sizeShort = good, bitsHighByte = good;
    trailing.resize(good.size() + 100000, 'T');
    storeLe32(&later[10], 1000);
    later.insert(later.begin() + 54, 946, 0);
    storeLe32(&later[2], uint32_t(later.size()));
    storeLe32(&sizeShort[2], 460853);
    bitsHighByte[29] = 1;
    std::vector<NamedFile> cases = {{"24 bits per pixel", good},
                                    {"32 bits per pixel", patternFile(480, 320, 7, 0)},
                                    {"bytes after the rows", trailing},
                                    {"rows further on", later},
                                    {"a size field short of the rows", sizeShort},
                                    {"a bit count's second byte set", bitsHighByte}};
    for (const NamedFile& rejected : rejectedPictureFiles())
        cases.push_back(rejected);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const int64_t size = int64_t(c.second.size());
        const int64_t prefix = pictureFilePrefix(c.second.data(), int32_t(size), size);
        EXPECT_EQ(pictureFilePrefix(c.second.data(), kPictureFileHeadSize - 1, size), 0);
        paintPattern(*state.currentPicture, 21);
        const bool whole = app.loadPictureFile(place("whole.bmp", c.second).c_str());
        const std::vector<uint32_t> loaded = wordsOf(*state.currentPicture);
        EXPECT_EQ(prefix != 0, whole);
        if (prefix == 0)
            continue;
        EXPECT_LE(prefix, size);
        paintPattern(*state.currentPicture, 21);
        const Bytes head(c.second.begin(), c.second.begin() + prefix);
        EXPECT_TRUE(app.loadPictureFile(place("prefix.bmp", head).c_str()));
        EXPECT_EQ(wordsOf(*state.currentPicture), loaded);
    }
    EXPECT_EQ(pictureFilePrefix(trailing.data(), int32_t(trailing.size()), 460853), 0);
}

TEST_F(PictureExchangeTest, DropResetsCounterAndStopsAutoModeOnlyWhenItLoadsAndClearReturnsToIt) {
    const std::string good = place("drop.bmp", patternFile(480, 320, 10, kImageReaderId));
    const std::string bad = place("bad.bmp", Bytes(460854, 'Q'));
    for (const auto& c : {std::make_pair(good, true), {good, false}, {bad, true}}) {
        const bool loads = c.first == good, autoMode = c.second;
        SCOPED_TRACE(c.first + (autoMode ? " in auto mode" : ""));
        state.slapCount = 7;
        if (autoMode)
            app.startAutoMode();
        else
            app.stopAutoMode();
        platform.calls.clear();
        app.pictureDropped(c.first.c_str());
        EXPECT_EQ(state.slapCount, loads ? 0 : 7);
        EXPECT_EQ(state.autoMode, autoMode && !loads);
        Calls expected{"readFile " + c.first + " 460854"};
        if (loads && autoMode)
            expected.insert(expected.end(),
                            {"stopAutoTimer", "enableClearButton 1", "setAutoButtonText 自動"});
        expected.push_back("repaintView 0,0");
        EXPECT_EQ(platform.calls, expected);
    }
    app.slapAt(240, 160);
    ASSERT_NE(wordsOf(*state.currentPicture), patternWords(480, 320, 10));
    // Still in auto mode from the last drop, where the hand ignores the pointer.
    app.stopAutoMode();
    app.pointerMoved(151, 159);
    app.startAutoMode();
    platform.calls.clear();
    app.clear();
    expectPictures(10, 10);
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(state.handX, 150u);
    EXPECT_EQ(platform.calls, Calls{"repaintWindow"});
}

// Start-up: the picture becomes the current picture and its untouched copy,
// the hand decodes, and the three sounds are kept as they lie in memory.
TEST_F(PictureExchangeTest, BuiltInsLoadBothPicturesTheHandAndTheSounds) {
    const Bytes picture = patternFile(480, 320, 31, kImageReaderId);
    const Bytes hand = patternFile(196, 100, 32, kImageReaderId);
    const uint8_t sounds[3][2] = {{7, 7}, {8, 8}, {9, 9}};
    const Sound given[3] = {{sounds[0], 2}, {sounds[1], 2}, {sounds[2], 2}};
    app.loadBuiltIns(picture.data(), int32_t(picture.size()), hand.data(), int32_t(hand.size()),
                     given);
    expectPictures(31, 31);
    EXPECT_EQ(wordsOf(*state.handImage), patternWords(196, 100, 32));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(state.slapSounds[i].bytes == sounds[i] && state.slapSounds[i].size == 2) << i;
    EXPECT_TRUE(platform.calls.empty());
}

TEST_F(PictureExchangeTest, SavedPictureReplacesTheOldFileAndDropsBackInUnchanged) {
    random.always(1);
    for (int i = 0; i < 5; ++i)
        app.slapAt(200 + 10 * i, 150);
    // The hand on the display must not reach the file.
    app.pointerMoved(241, 159);
    fillWords(*state.handImage, 0);
    app.composeDisplay();
    const std::vector<uint32_t> slapped = wordsOf(*state.currentPicture);
    const std::string file = place("saved.bmp", Bytes(1000, 'o'));
    const std::string temporary = path("~hm0.tmp"), backup = path("~hm1.tmp");
    platform.calls.clear();

    ASSERT_TRUE(app.savePicture(file.c_str()));
    const Bytes saved = readWholeFile(file);
    EXPECT_EQ(saved.size(), 460854u);
    EXPECT_EQ(saved.at(28), 24);
    EXPECT_EQ(platform.calls, (Calls{"createNewFile " + temporary, "createNewFile " + backup,
                                     "replaceFile " + temporary + " " + file + " " + backup,
                                     "removeFile " + backup}));
    EXPECT_EQ(filesIn(root), 1);
    paintBoth(kSkin, kSkin);
    app.pictureDropped(file.c_str());
    EXPECT_EQ(wordsOf(*state.currentPicture), slapped);
    EXPECT_EQ(wordsOf(*state.untouchedPicture), slapped);
    // Where case is ignored the first candidate is the chosen file itself.
    platform.calls.clear();
    ASSERT_TRUE(app.savePicture(path("~HM0.TMP").c_str()));
    EXPECT_EQ(platform.calls.at(0), "createNewFile " + path("~hm1.tmp"));
}

// Files that happen to carry a temporary-looking name are no one's to touch:
// the save takes the next free names, and gives up when fewer than two are left.
TEST_F(PictureExchangeTest, SaveNeverTouchesAnExistingFileOfATemporaryName) {
    const Bytes theirs(10, 't');
    const std::string file = path("saved.bmp");
    place("~hm0.tmp", theirs);
    ASSERT_TRUE(app.savePicture(file.c_str()));
    EXPECT_EQ(readWholeFile(file).size(), 460854u);
    EXPECT_EQ(readWholeFile(path("~hm0.tmp")), theirs);
    EXPECT_EQ(filesIn(root), 2);

    std::vector<std::string> all;  // every name the save would try: ~hm0.tmp to ~hm2r.tmp, base 36
    const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int32_t i = 0; i < 100; ++i) {
        const std::string number =
            i < 36 ? std::string(1, digits[i]) : std::string{digits[i / 36], digits[i % 36]};
        all.push_back(path("~hm" + number + ".tmp"));
    }
    paintBoth(kSkin, kSkin);
    for (size_t taken :
         {all.size() - 2, all.size() - 1, all.size()}) {  // two names left, one, none
        SCOPED_TRACE(std::to_string(taken) + " names taken");
        for (size_t i = 0; i < taken; ++i)
            place(fs::u8path(all[i]).filename().u8string(), theirs);
        const Bytes before = readWholeFile(file);
        const bool saves = taken + 2 == all.size();
        EXPECT_EQ(app.savePicture(file.c_str()), saves);
        EXPECT_EQ(readWholeFile(file) != before, saves);
        for (size_t i = 0; i < taken; ++i)
            EXPECT_EQ(readWholeFile(all[i]), theirs) << all[i];
        EXPECT_EQ(filesIn(root), std::ptrdiff_t(taken + 1));
    }
}

// The dialog takes paths of up to 259 characters; the temporary name shrinks
// to fit beside the chosen one, and is never the chosen name itself.
TEST_F(PictureExchangeTest, SaveWorksForPathsOfTheLongestLength) {
    const char separator = char(fs::path::preferred_separator);
    // ほっぺ.bmp: 7 units, 13 bytes.
    for (const std::string name : {"a.bmp", "a", "0", "\xE3\x81\xBB\xE3\x81\xA3\xE3\x81\xBA.bmp"}) {
        SCOPED_TRACE(name);
        const std::string folder =
            deepFolders(root.u8string(), 259 - 1 - utf16Length(name), separator).back();
        fs::create_directories(fs::u8path(folder));
        const std::string file = folder + separator + name;
        ASSERT_EQ(utf16Length(file), 259u);
        platform.calls.clear();
        ASSERT_TRUE(app.savePicture(file.c_str()));
        EXPECT_EQ(readWholeFile(file).size(), 460854u);
        EXPECT_EQ(filesIn(fs::u8path(folder)), 1);
        const std::string created = "createNewFile ";
        ASSERT_EQ(platform.calls.at(0).rfind(created, 0), 0u);
        EXPECT_LE(utf16Length(platform.calls[0].substr(created.size())), 259u);
        fs::remove_all(
            fs::u8path(folder.substr(0, folder.find(separator, root.u8string().size() + 1))));
    }
}

// A path the platform would not take is refused before any file is made or read.
TEST_F(PictureExchangeTest, PathsLongerThanThePlatformTakesAreRefusedUntouched) {
    const std::string folder = deepFolders(root.u8string(), 250, '/').back();
    fs::create_directories(fs::u8path(folder));
    const Bytes good = patternFile(480, 320, 40, kImageReaderId);
    const std::string fits = folder + "/" + std::string(258 - folder.size(), 'n');
    const std::string over = fits + "n";
    ASSERT_EQ(std::make_pair(utf16Length(fits), utf16Length(over)),
              std::make_pair(size_t(259), size_t(260)));
    ASSERT_TRUE(writeFile(over, good));
    platform.calls.clear();
    EXPECT_FALSE(app.loadPictureFile(over.c_str()));
    EXPECT_FALSE(app.savePicture(over.c_str()));
    EXPECT_TRUE(platform.calls.empty());
    EXPECT_EQ(readWholeFile(over), good);
    expectPictures(21, 22);
    EXPECT_TRUE(app.savePicture(fits.c_str()));
    EXPECT_TRUE(app.loadPictureFile(fits.c_str()));
}

TEST_F(PictureExchangeTest, FailedSaveKeepsTheOldFileAndLeavesNothingBehind) {
    const Bytes old(1000, 'o');
    struct Case {
        const char* name;
        uint64_t fileSizeLimit;  // 0: none
        ReplaceOutcome replace;
        Calls calls;  // on the temporary file t and the backup name b
    };
    // clang-format off
    const Case cases[] = {
        {"the move fails", 0, ReplaceOutcome::Kept,
         {"createNewFile t", "createNewFile b", "replaceFile t", "removeFile t", "removeFile b"}},
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
        {"the disk fills up", 460000, ReplaceOutcome::Replaced,
         {"createNewFile t", "createNewFile b", "removeFile t", "removeFile b"}},
        {"the disk is full", 1, ReplaceOutcome::Replaced,
         {"createNewFile t", "createNewFile b", "removeFile t", "removeFile b"}},
#endif
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = place("old.bmp", old);
        const std::string temporary = path("~hm0.tmp"), backup = path("~hm1.tmp");
        platform.calls.clear();
        platform.replaceOutcome = c.replace;
        {
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
            std::unique_ptr<FileSizeLimit> limit;
            if (c.fileSizeLimit != 0) {
                limit = std::make_unique<FileSizeLimit>(c.fileSizeLimit);
                ASSERT_TRUE(limit->active());
            }
#endif
            EXPECT_FALSE(app.savePicture(file.c_str()));
        }
        EXPECT_EQ(readWholeFile(file), old);
        Calls expected;
        for (const std::string& call : c.calls) {
            const std::string on = call.back() == 't' ? temporary : backup;
            const std::string verb = call.substr(0, call.size() - 2);
            expected.push_back(verb + " " + on +
                               (verb == "replaceFile" ? " " + file + " " + backup : ""));
        }
        EXPECT_EQ(platform.calls, expected);
        EXPECT_EQ(filesIn(root), 1);
    }
    // A missing folder or no name at all: nothing is created.
    const std::string missing = path("missing/picture.bmp");
    EXPECT_FALSE(app.savePicture(missing.c_str()));
    EXPECT_FALSE(fs::exists(fs::u8path(path("missing"))));
    platform.calls.clear();
    EXPECT_FALSE(app.savePicture(""));
    EXPECT_FALSE(app.savePicture(nullptr));
    EXPECT_EQ(platform.calls, Calls{});
}

// The old file left its name and neither file could be put back there: both
// stay, whole, under their temporary names, and the save says it failed.
TEST_F(PictureExchangeTest, StrandedReplaceRemovesNeitherCopy) {
    const Bytes old(1000, 'o');
    const std::string file = place("old.bmp", old);
    platform.replaceOutcome = ReplaceOutcome::Stranded;
    EXPECT_FALSE(app.savePicture(file.c_str()));
    EXPECT_EQ(readWholeFile(path("~hm1.tmp")), old);
    EXPECT_EQ(readWholeFile(path("~hm0.tmp")).size(), 460854u);
    for (const std::string& call : platform.calls)
        EXPECT_EQ(call.rfind("removeFile", 0), std::string::npos) << call;
}

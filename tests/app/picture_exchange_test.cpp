#include <filesystem>
#include <functional>
#include <string>

#include "app_test_support.h"
#include "stream/memory_buffer.h"

class PictureExchangeTest : public AppFixture {
protected:
    PictureExchangeTest()
    {
        paintPattern(*state.currentPicture, 21);
        paintPattern(*state.untouchedPicture, 22);
    }

    // A 480 x 320 picture file with id 0x30 (24 bits) or 0 (32 bits).
    Bytes pictureFile(uint32_t seed, int32_t id)
    {
        Dib32Image picture(480, 320);
        paintPattern(picture, seed);
        return encoded(picture, id, dir);
    }

    std::string place(const std::string& name, const Bytes& bytes)
    {
        const std::string path = dir.path(name);
        writeBytes(path, bytes);
        return path;
    }

    void expectPicturesUnchanged()
    {
        Dib32Image current(480, 320), untouched(480, 320);
        paintPattern(current, 21);
        paintPattern(untouched, 22);
        EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(current));
        EXPECT_EQ(wordsOf(*state.untouchedPicture), wordsOf(untouched));
    }

    TempDir dir;
};

TEST_F(PictureExchangeTest, AcceptsA24BitPictureIntoBothPictures)
{
    const Bytes file = pictureFile(5, kImageReaderId);
    ASSERT_EQ(file.size(), 460854u);
    state.slapCount = 9;
    EXPECT_TRUE(app.loadPictureFile(place("a.bmp", file).c_str()));

    Dib32Image expected(480, 320);
    paintPattern(expected, 5);
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(expected));
    EXPECT_EQ(wordsOf(*state.untouchedPicture), wordsOf(expected));
    EXPECT_TRUE(state.currentPicture->isBottomUp());
    EXPECT_EQ(platform.readMinimums, std::vector<int32_t>{460854});
    EXPECT_EQ(state.slapCount, 9);
}

TEST_F(PictureExchangeTest, AcceptsA32BitPicture)
{
    const Bytes file = pictureFile(6, 0);
    ASSERT_EQ(file.size(), 614454u);
    ASSERT_EQ(file[28], 32);
    EXPECT_TRUE(app.loadPictureFile(place("b.bmp", file).c_str()));
    Dib32Image expected(480, 320);
    paintPattern(expected, 6);
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(expected));
    EXPECT_EQ(wordsOf(*state.untouchedPicture), wordsOf(expected));
}

TEST_F(PictureExchangeTest, RejectsEveryOtherFileAndChangesNothing)
{
    const Bytes good = pictureFile(7, kImageReaderId);
    const auto sized = [this](int32_t width, int32_t height) {
        Dib32Image picture(width, height);
        paintPattern(picture, 8);
        return encoded(picture, kImageReaderId, dir);
    };
    const std::pair<const char*, std::function<Bytes()>> cases[] = {
        {"8 bits per pixel",
         [&] {
             Bytes b = good;
             b[28] = 8;
             b.resize(54 + 1024 + 480 * 320);
             return b;
         }},
        {"top-down rows",
         [&] {
             Bytes b = good;
             setFieldAt(b, 22, -320);
             return b;
         }},
        {"481 x 320", [&] { return sized(481, 320); }},
        {"480 x 321", [&] { return sized(480, 321); }},
        {"479 x 320", [&] { return sized(479, 320); }},
        {"hand-sized", [&] { return sized(196, 100); }},
        {"no BMP at all", [] { return Bytes(460854, 'Q'); }},
        {"no BMP, larger", [] { return Bytes(700000, 0); }},
        {"one byte short", [&] { return Bytes(good.begin(), good.end() - 1); }},
        {"header only", [&] { return Bytes(good.begin(), good.begin() + 54); }},
        {"empty", [] { return Bytes(); }},
        {"compressed",
         [&] {
             Bytes b = good;
             setFieldAt(b, 30, 1);
             return b;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const Bytes bytes = c.second();
        EXPECT_FALSE(app.loadPictureFile(place("reject.bmp", bytes).c_str()));
        expectPicturesUnchanged();
    }
    EXPECT_FALSE(app.loadPictureFile(dir.path("missing.bmp").c_str()));
    expectPicturesUnchanged();
}

TEST_F(PictureExchangeTest, SizeFloorIsExactly460854Bytes)
{
    // Rows that start at offset 0 let a 480 x 320 picture decode from fewer
    // bytes than the floor: the floor alone decides.
    Bytes file = pictureFile(9, kImageReaderId);
    setFieldAt(file, 10, 0);
    file.resize(460853);
    EXPECT_FALSE(app.loadPictureFile(place("short.bmp", file).c_str()));
    expectPicturesUnchanged();
    // Also when the platform hands such a file out after all.
    platform.ignoreMinimum = true;
    EXPECT_FALSE(app.loadPictureFile(place("short.bmp", file).c_str()));
    expectPicturesUnchanged();
    platform.ignoreMinimum = false;
    file.push_back(0);
    EXPECT_TRUE(app.loadPictureFile(place("enough.bmp", file).c_str()));
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(*state.untouchedPicture));
}

TEST_F(PictureExchangeTest, DropThatLoadsResetsTheCounterAndStopsAutoMode)
{
    const std::string path = place("drop.bmp", pictureFile(10, kImageReaderId));
    state.slapCount = 7;
    app.startAutoMode();
    platform.calls.clear();
    app.pictureDropped(path.c_str());
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_FALSE(state.autoMode);
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"readFile " + path, "stopAutoTimer", "enableClearButton 1",
                                        "setAutoButtonText 自動", "repaintView 0,0"}));
}

TEST_F(PictureExchangeTest, DropThatLoadsWithoutAutoModeLeavesTheButtons)
{
    const std::string path = place("drop.bmp", pictureFile(10, kImageReaderId));
    state.slapCount = 7;
    app.pictureDropped(path.c_str());
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"readFile " + path, "repaintView 0,0"}));
}

TEST_F(PictureExchangeTest, RejectedDropKeepsCounterAndAutoModeButRepaints)
{
    const std::string path = place("bad.bmp", Bytes(460854, 'Q'));
    state.slapCount = 7;
    app.startAutoMode();
    platform.calls.clear();
    app.pictureDropped(path.c_str());
    EXPECT_EQ(state.slapCount, 7);
    EXPECT_TRUE(state.autoMode);
    EXPECT_EQ(platform.calls, (std::vector<std::string>{"readFile " + path, "repaintView 0,0"}));
    expectPicturesUnchanged();
}

TEST_F(PictureExchangeTest, ClearReturnsToTheLastLoadedPicture)
{
    app.pictureDropped(place("drop.bmp", pictureFile(11, kImageReaderId)).c_str());
    Dib32Image dropped(480, 320);
    paintPattern(dropped, 11);
    random.always(0);
    app.slapAt(240, 160);
    app.slapAt(100, 100);
    ASSERT_NE(wordsOf(*state.currentPicture), wordsOf(dropped));
    state.handX = 150;
    state.handY = 150;
    platform.calls.clear();

    app.clear();
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(dropped));
    EXPECT_EQ(wordsOf(*state.untouchedPicture), wordsOf(dropped));
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_EQ(state.handX, 150u);
    EXPECT_EQ(platform.calls, std::vector<std::string>{"repaintWindow"});

    // A slap after Clear is the slap on the fresh picture.
    app.slapAt(240, 160);
    App fresh(platform, random);
    ASSERT_TRUE(fresh.state().currentPicture->copyFrom(&dropped));
    ASSERT_TRUE(fresh.state().untouchedPicture->copyFrom(&dropped));
    fresh.slapAt(240, 160);
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(*fresh.state().currentPicture));
}

TEST_F(PictureExchangeTest, ClearWithNothingSlappedStillRepaints)
{
    app.clear();
    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(*state.untouchedPicture));
    EXPECT_EQ(platform.calls, std::vector<std::string>{"repaintWindow"});
}

TEST_F(PictureExchangeTest, SavedPictureDropsBackInUnchanged)
{
    random.always(1);
    for (int i = 0; i < 5; ++i)
        app.slapAt(200 + 10 * i, 150);
    // The hand on the display must not reach the file.
    state.handX = 240;
    state.handY = 160;
    fillWords(*state.handImage, 0);
    app.composeDisplay();
    const std::vector<uint32_t> slapped = wordsOf(*state.currentPicture);
    const std::string path = dir.path("saved.bmp");
    platform.calls.clear();

    ASSERT_TRUE(app.savePicture(path.c_str()));
    const Bytes file = readBytes(path);
    EXPECT_EQ(file.size(), 460854u);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(fieldAt(file, 2), 460854);
    EXPECT_FALSE(fileExists(path + ".tmp"));
    EXPECT_EQ(platform.count("replaceFile " + path + ".tmp " + path), 1);
    EXPECT_EQ(platform.count("removeFile"), 0);
    EXPECT_EQ(state.slapCount, 5);

    FakePlatform otherPlatform;
    ScriptedRandom otherRandom;
    App other(otherPlatform, otherRandom);
    other.pictureDropped(path.c_str());
    EXPECT_EQ(wordsOf(*other.state().currentPicture), slapped);
    EXPECT_EQ(wordsOf(*other.state().untouchedPicture), slapped);
}

TEST_F(PictureExchangeTest, SaveReplacesAnExistingFile)
{
    const std::string path = place("old.bmp", Bytes(1000, 'o'));
    ASSERT_TRUE(app.savePicture(path.c_str()));
    const Bytes file = readBytes(path);
    ASSERT_EQ(file.size(), 460854u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_FALSE(fileExists(path + ".tmp"));
}

TEST_F(PictureExchangeTest, FailedSaveKeepsTheOldFile)
{
    const Bytes old(1000, 'o');
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> arrange;
        bool replaces;  // whether the move is attempted at all
    };
    const Case cases[] = {
        {"the move fails", [&](const std::string&) { platform.failReplace = true; }, true},
        {"the written file comes up short",
         [&](const std::string& path) {
             platform.beforeRead = [path](const std::string& read) {
                 if (read == path + ".tmp")
                     std::filesystem::resize_file(std::filesystem::u8path(read), 460000);
             };
         },
         false},
        {"the written file is too long",
         [&](const std::string& path) {
             platform.beforeRead = [path](const std::string& read) {
                 if (read == path + ".tmp")
                     std::filesystem::resize_file(std::filesystem::u8path(read), 460855);
             };
         },
         false},
        {"the new file cannot be created",
         [&](const std::string& path) {
             std::filesystem::create_directory(std::filesystem::u8path(path + ".tmp"));
             writeBytes(path + ".tmp/keep", Bytes(1, 'k'));
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = place(std::string(c.name) + ".bmp", old);
        platform.calls.clear();
        platform.failReplace = false;
        platform.beforeRead = nullptr;
        c.arrange(path);

        EXPECT_FALSE(app.savePicture(path.c_str()));
        EXPECT_EQ(readBytes(path), old);
        EXPECT_EQ(platform.count("replaceFile"), c.replaces ? 1 : 0);
        EXPECT_EQ(platform.count("removeFile " + path + ".tmp"), 1);
        if (c.replaces || platform.beforeRead) {
            EXPECT_FALSE(fileExists(path + ".tmp"));
        }
    }
}

#ifndef _WIN32
TEST_F(PictureExchangeTest, DiskFullKeepsTheOldFile)
{
    if (!fileExists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const Bytes old(1000, 'o');
    const std::string path = place("full.bmp", old);
    std::filesystem::create_symlink("/dev/full", std::filesystem::u8path(path + ".tmp"));
    EXPECT_FALSE(app.savePicture(path.c_str()));
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(platform.count("replaceFile"), 0);
    EXPECT_FALSE(fileExists(path + ".tmp"));
}
#endif

TEST_F(PictureExchangeTest, SaveIntoAMissingFolderFailsAndCreatesNothing)
{
    const std::string path = dir.path("missing/picture.bmp");
    EXPECT_FALSE(app.savePicture(path.c_str()));
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(fileExists(path + ".tmp"));
    EXPECT_FALSE(app.savePicture(""));
    EXPECT_FALSE(app.savePicture(nullptr));
}

TEST_F(PictureExchangeTest, BuiltInsDecodeWithoutTouchingTheirBytes)
{
    Dib32Image picture(480, 320), hand(196, 100);
    paintPattern(picture, 31);
    paintPattern(hand, 32);
    const Bytes pictureBytes = encoded(picture, kImageReaderId, dir);
    const Bytes handBytes = encoded(hand, kImageReaderId, dir);
    ASSERT_EQ(pictureBytes.size(), 460854u);
    ASSERT_EQ(handBytes.size(), 58854u);
    const Bytes pictureCopy = pictureBytes, handCopy = handBytes;
    const uint8_t wavA[2] = {1, 2}, wavB[3] = {3, 4, 5}, wavC[1] = {6};
    const Sound sounds[3] = {{wavA, 2}, {wavB, 3}, {wavC, 1}};

    app.loadBuiltIns(pictureBytes.data(), static_cast<int32_t>(pictureBytes.size()), handBytes.data(),
                     static_cast<int32_t>(handBytes.size()), sounds);

    EXPECT_EQ(wordsOf(*state.currentPicture), wordsOf(picture));
    EXPECT_EQ(wordsOf(*state.untouchedPicture), wordsOf(picture));
    EXPECT_EQ(wordsOf(*state.handImage), wordsOf(hand));
    EXPECT_EQ(pictureBytes, pictureCopy);
    EXPECT_EQ(handBytes, handCopy);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(state.slapSounds[i].bytes, sounds[i].bytes);
        EXPECT_EQ(state.slapSounds[i].size, sounds[i].size);
    }
    EXPECT_EQ(state.slapCount, 0);
    EXPECT_FALSE(state.autoMode);
    EXPECT_EQ(state.displayImage->width(), 480);
    EXPECT_EQ(state.displayImage->height(), 320);
}

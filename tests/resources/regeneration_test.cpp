#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/resources/resource_bytes.h"

namespace fs = std::filesystem;

// The committed resources are the generator's output, byte for byte: run it
// into a fresh folder and compare every file.
TEST(ResourceGenerator, ReproducesTheCommittedFilesExactly) {
    const fs::path out = fs::current_path() / "regenerated_resources";
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string command = std::string("\"") + HOPPEL_RESGEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    for (const char* name :
         {"radav.bmp", "hand.bmp", "slap1.wav", "slap2.wav", "slap3.wav", "app.ico", "null.cur",
          "icon-192.png", "icon-512.png", "icon-maskable.png"}) {
        const Bytes committed = readResource(name);
        const Bytes fresh = readWholeFile((out / name).string());
        ASSERT_FALSE(committed.empty()) << name;
        const auto firstDifference =
            std::mismatch(fresh.begin(), fresh.end(), committed.begin(), committed.end());
        EXPECT_TRUE(firstDifference.first == fresh.end() &&
                    firstDifference.second == committed.end())
            << name << " differs from byte " << firstDifference.first - fresh.begin();
    }
    fs::remove_all(out);
}

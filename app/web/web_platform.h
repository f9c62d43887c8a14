#pragma once
// The page's platform: what the logic asks of the platform, handed to the
// page as effects of the call under way (see web_app.cpp).
#include <cstdint>
#include <vector>

#include "app/app.h"
#include "app/picture_file_head.h"
#include "stream/block.h"

// The one name a dropped file goes by: the page reads it, the logic asks for it.
constexpr char kDroppedPath[] = "/dropped.bmp";
// Where a save is written, and the name the page offers for it.
constexpr char kSaveFolder[] = "/saved";
constexpr char kSaveName[] = "hoppelmaru.bmp";

class WebPlatform final : public Platform {
public:
    App* app = nullptr;
    // The head of the file being dropped, then the prefix of it the picture
    // needs, which the page reads straight into this block; the drop's call
    // hands the block on to the logic, uncopied.
    uint8_t droppedHead[kPictureFileHeadSize] = {};
    OwnedBlock dropped;
    int32_t droppedSize = 0;

    void playSound(const uint8_t* wav, int32_t size) override;
    void pause(int32_t milliseconds) override;
    void repaintView() override { paint(); }
    // The buttons are the page's own: only the view has pixels of ours.
    void repaintWindow() override { paint(); }
    void startAutoTimer() override;
    void stopAutoTimer() override;
    void enableClearButton(bool enabled) override;
    void setAutoButtonText(const char* text) override;
    FileBytes readFile(const char* path, int32_t minimumSize) override;
    // The save goes to the module's memory file system; the page takes the
    // finished file from there.
    bool createNewFile(const char* path) override;
    ReplaceOutcome replaceFile(const char* from, const char* to, const char* backup) override;
    bool removeFile(const char* path) override;

private:
    void paint();
    static constexpr int32_t kFramePlaces = 4;
    std::vector<uint8_t> canvas_;
    int32_t nextPlace_ = 0;
};

#include <string>

#include "app/app.h"
#include "stream/block.h"
#include "stream/file_output_stream.h"
#include "stream/memory_block_reader.h"

// Length of the 24-bit BMP file that save writes for an image of this size.
static int64_t savedFileSize(int32_t width, int32_t height)
{
    const int64_t stride = (3 * static_cast<int64_t>(width) + 3) / 4 * 4;
    return 54 + stride * height;
}

bool App::loadPictureFile(const char* path)
{
    if (path == nullptr)
        return false;
    int32_t size = 0;
    uint8_t* bytes = platform_.readFile(path, kMinimumPictureFileSize, &size);
    if (bytes == nullptr)
        return false;
    if (size < kMinimumPictureFileSize) {
        freeBlock(bytes);
        return false;
    }

    Dib32Image picture;
    {
        MemoryBlockReader reader(static_cast<const uint8_t*>(bytes), size);
        // A file that does not decode leaves the default 256 x 256, which the
        // size test below turns away.
        picture.loadFromBlock(&reader, kImageReaderId);
    }
    freeBlock(bytes);
    if (picture.width() != kPictureWidth || picture.height() != kPictureHeight)
        return false;

    const bool currentCopied = state_.currentPicture->copyFrom(&picture);
    const bool untouchedCopied = state_.untouchedPicture->copyFrom(&picture);
    return currentCopied && untouchedCopied;
}

void App::pictureDropped(const char* path)
{
    if (loadPictureFile(path)) {
        state_.slapCount = 0;
        if (state_.autoMode)
            stopAutoMode();
    }
    platform_.repaintView();
}

bool App::savePicture(const char* path)
{
    if (path == nullptr || *path == '\0')
        return false;
    // The new file is made beside the chosen one and takes its place only once
    // it is known to be whole: a failed save must not cost the old file.
    const std::string temporary = std::string(path) + ".tmp";
    const Dib32Image& picture = *state_.currentPicture;

    bool written;
    {
        FileOutputStream stream(temporary.c_str());
        written = picture.save(&stream, kImageReaderId);
        stream.close();
    }

    // The stream's close does not report a failed flush, so the file on disk
    // is measured instead.
    written = written && platform_.fileSize(temporary.c_str()) ==
                             savedFileSize(picture.width(), picture.height());

    if (!written || !platform_.replaceFile(temporary.c_str(), path)) {
        platform_.removeFile(temporary.c_str());
        return false;
    }
    return true;
}

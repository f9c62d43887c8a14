#include <algorithm>
#include <cctype>
#include <string>

#include "app/app.h"
#include "stream/file_output_stream.h"
#include "stream/memory_block_reader.h"
#include "stream/utf16.h"

namespace {

// Names tried for the temporary file before the save gives up.
constexpr int32_t kTemporaryNameAttempts = 100;

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(uint8_t(x)) == std::tolower(uint8_t(y));
           });
}

// The attempt-th candidate for a temporary file beside the chosen one: in the
// same folder, so that the final move stays on one volume, and never longer
// than the longest path or the chosen path itself, so that every path the
// dialog accepts can save. Empty when no candidate of that number fits.
std::string temporarySibling(const std::string& chosen, int32_t attempt) {
    const size_t cut = chosen.find_last_of("\\/");
    const size_t folderLength = cut == std::string::npos ? 0 : cut + 1;
    const std::string chosenName = chosen.substr(folderLength);
    // The candidates are ASCII: a unit each.
    const size_t folderUnits = utf16Length(chosen.substr(0, folderLength));
    const size_t longest = size_t(kLongestPath);
    const size_t room =
        std::max(utf16Length(chosenName), longest > folderUnits ? longest - folderUnits : 0);
    std::string number;
    for (int32_t n = attempt; number.empty() || n > 0; n /= 36)
        number.insert(number.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
    for (const std::string& name :
         {"~hm" + number + ".tmp", "~" + number + ".tmp", "~" + number, number}) {
        if (name.size() > room)
            continue;
        // Never the chosen name itself: the old file must survive.
        if (sameNameIgnoringCase(name, chosenName))
            return std::string();
        return chosen.substr(0, folderLength) + name;
    }
    return std::string();
}

}  // namespace

// Creates the first free temporary sibling from *attempt on and returns its
// name, leaving *attempt past it; empty when none could be made.
std::string App::reserveTemporarySibling(const std::string& chosen, int32_t* attempt) {
    for (; *attempt < kTemporaryNameAttempts; ++*attempt) {
        const std::string candidate = temporarySibling(chosen, *attempt);
        if (!candidate.empty() && platform_.createNewFile(candidate.c_str())) {
            ++*attempt;
            return candidate;
        }
    }
    return std::string();
}

bool App::loadPictureFile(const char* path) {
    if (path == nullptr || utf16Length(path) > size_t(kLongestPath))
        return false;
    const FileBytes file = platform_.readFile(path, kMinimumPictureFileSize);
    if (file.bytes == nullptr || file.size < kMinimumPictureFileSize)
        return false;

    Dib32Image picture;
    {
        MemoryBlockReader reader(static_cast<const uint8_t*>(file.bytes.get()), file.size);
        // A file that does not decode leaves the default 256 x 256, which the
        // size test below turns away.
        picture.loadFromBlock(&reader, kImageReaderId);
    }
    if (picture.width() != kPictureWidth || picture.height() != kPictureHeight)
        return false;

    const bool currentCopied = state_.currentPicture->copyFrom(&picture);
    const bool untouchedCopied = state_.untouchedPicture->copyFrom(&picture);
    return currentCopied && untouchedCopied;
}

void App::pictureDropped(const char* path) {
    if (loadPictureFile(path)) {
        state_.slapCount = 0;
        if (state_.autoMode)
            stopAutoMode();
    }
    repaintWholeView();
}

bool App::savePicture(const char* path) {
    if (path == nullptr || *path == '\0' || utf16Length(path) > size_t(kLongestPath))
        return false;
    // The picture goes into a new file of its own beside the chosen one, which
    // it replaces only once the file is known to be whole: a failed save must
    // not cost the old file, nor any other file of the folder. The old file
    // leaves through a second reserved name, so that it is never gone before
    // the new one is in place.
    int32_t attempt = 0;
    const std::string temporary = reserveTemporarySibling(path, &attempt);
    const std::string backup =
        temporary.empty() ? temporary : reserveTemporarySibling(path, &attempt);
    if (backup.empty()) {
        if (!temporary.empty())
            platform_.removeFile(temporary.c_str());
        return false;
    }

    bool written;
    {
        FileOutputStream stream(temporary.c_str());
        written = state_.currentPicture->save(&stream, kImageReaderId);
        written = stream.close() && written;
    }
    const ReplaceOutcome outcome =
        written ? platform_.replaceFile(temporary.c_str(), path, backup.c_str())
                : ReplaceOutcome::Kept;
    // Only what the outcome shows spare is removed, never the only copy of
    // either picture.
    switch (outcome) {
    case ReplaceOutcome::Replaced: platform_.removeFile(backup.c_str()); return true;
    case ReplaceOutcome::Kept:
        platform_.removeFile(temporary.c_str());
        platform_.removeFile(backup.c_str());
        return false;
    case ReplaceOutcome::Stranded: break;
    }
    return false;
}

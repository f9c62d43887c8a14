#pragma once
// The seam between the application's logic and the platform: exactly what the
// logic needs from outside. The Win32 program implements it; tests fake it.
#include <cstdint>

#include "stream/block.h"

// A whole file in memory, owned by whoever holds it.
struct FileBytes {
    OwnedBlock bytes;
    int32_t size = 0;
};

// Where the files are after Platform::replaceFile. Once a step has failed,
// the platform looks at what is at to, from and backup and tells each file by
// its identity, noted before anything moved (the volume serial number and
// file index on Win32), never by what a call answered: a move that answered
// failure but is seen done counts as done, and a name that a look cannot tell
// holds neither file.
enum class ReplaceOutcome {
    // The new file is seen at to, whole (or every call succeeded). backup
    // holds the old file, the caller's reservation or nothing.
    Replaced,
    // The old file is seen at to as it was (where there was none, nothing is
    // there), the new one at from, and backup holds the caller's reservation
    // or nothing: no move was made, or each was undone.
    Kept,
    // Anything else, e.g. the old file seen at backup only, or a name no look
    // could tell: every file is left where it is, and neither may be removed.
    Stranded,
};

// A rectangle of picture pixels in picture coordinates: columns left to
// right - 1, rows bottom to top - 1 counted from the bottom row.
struct PictureArea {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
    bool empty() const { return left >= right || bottom >= top; }
};

// What of the picture view differs from its last paint: the picture within
// the areas (none, one or several; they may overlap), and the counter.
struct ViewChange {
    static constexpr int32_t kMostAreas = 3;
    PictureArea areas[kMostAreas];
    int32_t areaCount = 0;
    bool counter = false;
};

class Platform {
public:
    virtual ~Platform() = default;
    // Plays a whole in-memory WAV file and returns when it has finished. A
    // platform that cannot block (the page) may return at once instead, if it
    // then plays the sound, the pause and the paints of the call in order and
    // handles no later input before they are done.
    virtual void playSound(const uint8_t* wav, int32_t size) = 0;
    virtual void pause(int32_t milliseconds) = 0;
    // Invalidates the picture view without erasing and paints it before
    // returning (or, on a platform that cannot block, composes the frame now
    // and shows it in its place among the call's sounds and pauses).
    virtual void repaintView() = 0;
    // The same for what change names, at least: a platform that cannot tell
    // parts apart repaints the whole view.
    virtual void repaintViewChange(const ViewChange&) { repaintView(); }
    // The same for the main window's whole client area, child windows included.
    virtual void repaintWindow() = 0;
    // Timer 1 of the main window, 200 ms.
    virtual void startAutoTimer() = 0;
    virtual void stopAutoTimer() = 0;
    virtual void enableClearButton(bool enabled) = 0;
    virtual void setAutoButtonText(const char* text) = 0;
    // The file at path, read whole. Empty (no bytes, size 0) when the file
    // cannot be opened, cannot be held in memory, or is smaller than
    // minimumSize, which is tested before anything is read. Bytes that could
    // not be read stay 0.
    virtual FileBytes readFile(const char* path, int32_t minimumSize) = 0;
    // Creates an empty file at path, only if nothing of that name exists there:
    // false when something does or the file cannot be made.
    virtual bool createNewFile(const char* path) = 0;
    // Moves the file from to the name to, once its bytes are on the disk.
    // Where to exists, the moved file takes its place and keeps its
    // attributes, where the platform can; the old file passes through the name
    // backup (reserved by the caller with createNewFile, and taken over by
    // the move), where it stays for the caller to remove. Moves are made only
    // where a look shows them safe, never on a guess.
    virtual ReplaceOutcome replaceFile(const char* from, const char* to, const char* backup) = 0;
    // Waits out a momentary hold on the file, as the other steps do.
    virtual bool removeFile(const char* path) = 0;

    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

protected:
    Platform() = default;
};

// The program's one pseudo-random source, seeded once at start-up.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // 0 to 32767.
    virtual int32_t next() = 0;
    // The next count values, exactly as count calls of next() would give them;
    // a source may override it to draw a run faster.
    virtual void nextMany(int32_t* values, int32_t count) {
        for (int32_t i = 0; i < count; ++i)
            values[i] = next();
    }
};

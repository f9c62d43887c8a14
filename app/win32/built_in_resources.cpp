#include "app/win32/built_in_resources.h"

namespace {

// One built-in resource: its bytes live as long as the program and are never written.
struct ResourceBytes {
    const uint8_t* bytes = nullptr;
    int32_t size = 0;
};

ResourceBytes findResource(HINSTANCE instance, const wchar_t* name, const wchar_t* type) {
    ResourceBytes found;
    HRSRC info = FindResourceW(instance, name, type);
    HGLOBAL loaded = info != nullptr ? LoadResource(instance, info) : nullptr;
    if (loaded != nullptr) {
        found.bytes = static_cast<const uint8_t*>(LockResource(loaded));
        found.size =
            found.bytes != nullptr ? static_cast<int32_t>(SizeofResource(instance, info)) : 0;
    }
    return found;
}

}  // namespace

void loadBuiltInResources(App& app, HINSTANCE instance) {
    const ResourceBytes hand = findResource(instance, L"HAND_BMP", L"DIB_PIXEL");
    // The picture is handed over as it lies in resource memory, which is
    // read-only: it already holds 24 bits per pixel, so nothing is patched.
    const ResourceBytes picture = findResource(instance, L"RADAV_BMP", L"DIB_PIXEL");
    Sound sounds[3];
    const wchar_t* const soundNames[3] = {L"SOUND1", L"SOUND2", L"SOUND3"};
    for (int i = 0; i < 3; ++i) {
        const ResourceBytes wav = findResource(instance, soundNames[i], L"WAV_DAT");
        sounds[i] = Sound{wav.bytes, wav.size};
    }
    app.loadBuiltIns(picture.bytes, picture.size, hand.bytes, hand.size, sounds);
}

// hoppel_resgen <folder>: writes every built-in resource of the program into
// <folder>. The output depends on nothing but this code, so running it again
// reproduces the committed files byte for byte.
#include <cstdio>
#include <string>

#include "image/image.h"
#include "tools/resources_gen.h"

namespace {

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FileOutputStream out(path.c_str());
    const int32_t size = static_cast<int32_t>(bytes.size());
    const bool ok = out.writeBytes(bytes.data(), size) == size;
    out.close();
    return ok;
}

// Through the program's own image class and encoder, as a 24-bit file. The
// canvas is top-down, the image bottom-up.
bool writeBmp(const std::string& path, const Canvas& canvas) {
    Dib32Image image(canvas.width, canvas.height);
    if (image.width() != canvas.width || image.height() != canvas.height)
        return false;
    for (int32_t y = 0; y < canvas.height; ++y)
        for (int32_t x = 0; x < canvas.width; ++x)
            if (!image.setPixel(x, canvas.height - 1 - y, canvas.at(x, y)))
                return false;
    FileOutputStream out(path.c_str());
    const bool ok = image.save(&out, kImageReaderId);
    out.close();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hoppel_resgen <output folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    // The sample counts give the files their fixed lengths: 44 header bytes
    // plus two bytes a sample.
    const int32_t slapSamples[3] = {22433, 22284, 22423};

    bool ok = true;
    auto check = [&](bool written, const char* name) {
        if (!written)
            std::fprintf(stderr, "hoppel_resgen: cannot write %s%s\n", folder.c_str(), name);
        ok = ok && written;
    };
    check(writeBmp(folder + "radav.bmp", drawFigure()), "radav.bmp");
    check(writeBmp(folder + "hand.bmp", drawHand()), "hand.bmp");
    const char* soundNames[3] = {"slap1.wav", "slap2.wav", "slap3.wav"};
    for (int i = 0; i < 3; ++i)
        check(writeBytes(folder + soundNames[i], wavFile(synthesizeSlap(i, slapSamples[i]))),
              soundNames[i]);
    check(writeBytes(folder + "app.ico", appIconFile()), "app.ico");
    check(writeBytes(folder + "null.cur", nullCursorFile()), "null.cur");
    check(writeBytes(folder + "icon-192.png", webIconFile(192)), "icon-192.png");
    check(writeBytes(folder + "icon-512.png", webIconFile(512)), "icon-512.png");
    check(writeBytes(folder + "icon-maskable.png", maskableIconFile(512)), "icon-maskable.png");
    return ok ? 0 : 1;
}

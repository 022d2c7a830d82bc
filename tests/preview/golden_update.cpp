// Rewrites the golden files: hashes.txt and one PNG per case, in the folder given as the only
// argument. Run through the build target update_preview_golden (see golden/README.md).

#include <QImage>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "preview/golden_cases.h"

int main(int argc, char** argv) {
    using namespace corv::preview;
    if (argc != 2) {
        std::cerr << "usage: preview_golden_update GOLDEN_DIR\n";
        return 3;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    std::ofstream hashes(dir / golden::kHashFileName, std::ios::binary | std::ios::trunc);
    for (const golden::GoldenPicture& picture : golden::RenderGoldenCases()) {
        const PreviewScreen& screen = picture.screen;
        char hash[20];
        std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(golden::PictureHash(screen)));
        hashes << picture.name << ' ' << hash << '\n';
        const QImage image(reinterpret_cast<const uchar*>(screen.bits()), static_cast<int>(screen.width()),
                           static_cast<int>(screen.height()), static_cast<qsizetype>(screen.pitch() * sizeof(Pixel)),
                           QImage::Format_RGB16);
        const std::filesystem::path png = dir / (picture.name + ".png");
        if (!image.save(QString::fromStdString(png.string()), "PNG")) {
            std::cerr << "cannot write " << png << '\n';
            return 4;
        }
        std::cout << picture.name << ' ' << hash << '\n';
    }
    return hashes.good() ? 0 : 4;
}

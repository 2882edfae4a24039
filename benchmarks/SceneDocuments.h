#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The documents the benchmark loads and plays: the saver's embedded scene ("QNT" resource 107 of
// GlimmerSaver.scr, read without running the saver) and the documents assembled for the
// benchmark at build time (benchmarks/CMakeLists.txt), and the gallery's documents.
class SceneDocuments {
public:
    // The embedded scene's bytes; empty when the saver holds no such resource.
    static std::vector<uint8_t> Embedded();
    // An assembled document by name ("Slides10.bin", "BaseLayerScene.bin"); empty when missing.
    static std::vector<uint8_t> Assembled(const std::string& name);
    static std::wstring SaverPath();

    // The gallery's documents (tests/gallery/*.lst, assembled into the build's tests/gallery/),
    // by name in the order the build lists them.
    struct Named {
        std::string name;
        std::vector<uint8_t> bytes;
    };
    static std::vector<Named> Gallery();

    // "GalleryShow.bin", every gallery document's slide in one slide show: the seconds each slide
    // takes, its show time and its two fades of a second.
    static constexpr double kGalleryShowSlideSeconds = VO_BENCH_GALLERY_SHOW_SECONDS + 2.0;
};

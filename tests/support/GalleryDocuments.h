#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The gallery's documents as the build assembled them from tests/gallery/ (the build's
// tests/gallery/documents.txt, one name a line), without the program's own scene.
std::vector<std::string> GalleryDocumentNames();

// The bytes of an assembled gallery document by its name; empty when the build lacks it.
std::vector<uint8_t> GalleryDocumentBytes(const std::string& name);

// The program's own scene as the build assembled it.
std::vector<uint8_t> EmbeddedSceneBytes();

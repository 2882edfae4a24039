#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// The gallery's documents as the build assembled them from tests/gallery/ (the build's
// tests/gallery/documents.txt, one name a line), without the program's own scene.
std::vector<std::string> GalleryDocumentNames();

// The bytes of an assembled gallery document by its name; empty when the build lacks it.
std::vector<uint8_t> GalleryDocumentBytes(const std::string& name);

// The program's own scene as the build assembled it.
std::vector<uint8_t> EmbeddedSceneBytes();

// The gallery's documents followed by the program's own scene, named "EmbeddedScene".
std::vector<std::string> GalleryDocumentNamesAndEmbeddedScene();

// The bytes of a document of that list; empty when the build lacks it.
std::vector<uint8_t> DocumentBytes(const std::string& name);

// A document's name as a test name, which allows letters, digits and underscores only; the second
// names a test of a suite whose parameter is the document's name.
std::string DocumentTestName(const std::string& document);
std::string DocumentParamName(const testing::TestParamInfo<std::string>& info);

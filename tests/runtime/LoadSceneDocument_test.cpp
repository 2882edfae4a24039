#include "runtime/LoadSceneDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "model/DeviceResourceLoader.h"
#include "model/Vo_DocResManager.h"
#include "runtime/Vo_2D_Light.h"
#include "runtime/Vo_SlideShow_Light.h"
#include "support/GuardPageBuffer.h"
#include "support/TestPaths.h"
#include "tests/runtime/SlideFakes.h"

namespace {

// A loaded document: the root and the store that the load made current, deleted together.
struct LoadedDocument {
    std::unique_ptr<Vo_SlideShow_Light> root;
    std::unique_ptr<Vo_DocResManager> store;
};

LoadedDocument Load(const std::vector<uint8_t>& bytes)
{
    GuardPageBuffer memory(bytes);
    LoadedDocument document;
    document.root.reset(LoadSceneDocumentFrom(memory.begin(), memory.end()));
    document.store.reset(CurrentDocResManager);
    return document;
}

// Loads bytes that may be damaged: true when they load, false when the load fails as it must;
// anything else fails the test. Whatever loaded is deleted again.
bool LoadsOrFailsCleanly(const uint8_t* begin, const uint8_t* end)
{
    Vo_DocResManager* const storeBefore = CurrentDocResManager;
    DeviceResourceLoader* const loaderBefore = CurrentResourceLoader;
    try {
        GuardPageBuffer memory(begin, static_cast<size_t>(end - begin));
        std::unique_ptr<Vo_SlideShow_Light> root(LoadSceneDocumentFrom(memory.begin(), memory.end()));
        EXPECT_NE(CurrentDocResManager, storeBefore);
        delete CurrentDocResManager;
        CurrentDocResManager = storeBefore;
        CurrentResourceLoader = loaderBefore;
        return true;
    } catch (uint32_t code) {
        EXPECT_EQ(code, kSceneDocumentFailure);
        EXPECT_EQ(CurrentDocResManager, storeBefore);
        EXPECT_EQ(CurrentResourceLoader, loaderBefore);
        return false;
    }
}

void ExpectNothingAlive()
{
    EXPECT_EQ(slide_fakes::liveLights, 0);
    EXPECT_EQ(slide_fakes::liveRecords, 0);
    EXPECT_EQ(slide_fakes::liveObjects, 0);
}

TEST(LoadSceneDocumentTest, EveryFieldOfSlidesTracksAndStoreIsInPlace)
{
    const std::vector<uint8_t> bytes = AssembledTestDocument(L"ThreeSlides.bin");
    ASSERT_FALSE(bytes.empty());
    LoadedDocument document = Load(bytes);
    ASSERT_TRUE(document.root);
    ASSERT_TRUE(document.store);

    struct Expected {
        unsigned fadeIn, fadeOut, show;
        int signedValue;
        const wchar_t* caption;
        unsigned unsignedValue;  // 10 unless a version-3 slide stores it
    };
    const Expected expected[] = {
        {2, 3, 4, -5, L"First", 10},
        {6, 7, 8, 9, L"Second", 10},
        {11, 12, 13, 14, L"Third", 15},
    };
    const auto& slides = document.root->Slides();
    ASSERT_EQ(slides.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Vo_SlideContainer& slide = *slides[i];
        EXPECT_EQ(slides[i].UseCount(), 1);
        EXPECT_EQ(slide.FadeIn().Value(), expected[i].fadeIn);
        EXPECT_EQ(slide.FadeOut().Value(), expected[i].fadeOut);
        EXPECT_EQ(slide.ShowTime().Value(), expected[i].show);
        EXPECT_EQ(slide.SignedValue().Value(), expected[i].signedValue);
        EXPECT_EQ(slide.Caption().Value(), expected[i].caption);
        EXPECT_EQ(slide.UnsignedValue().Value(), expected[i].unsignedValue);
        EXPECT_TRUE(slide.DrawnRecords().empty());
        EXPECT_TRUE(slide.TrackRecords().empty());
        CountedHandle<Vo_2D_Light> layer = slide.GetLight();
        ASSERT_TRUE(layer);
        EXPECT_EQ(layer->PictureLink().GetPath(), L"C:\\pictures\\harbour.jpg");
        EXPECT_EQ(layer->PictureLink().GetKey().Stamp(), 0x01D9A2B3C4D5E6F7);
        EXPECT_EQ(layer->Camera().On().Value(), 1);
        EXPECT_EQ(layer->Camera().Zoom().Value(), 150u);
        EXPECT_EQ(layer->Camera().SwaySpeed().Value(), 75u);
        EXPECT_EQ(layer->Camera().BorderPictureLink().GetPath(), L"common_res.dll");
        EXPECT_EQ(layer->Camera().BorderPictureLink().GetKey().Stamp(), 0x11);
    }

    const auto& tracks = document.root->Tracks();
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0]->GetLabel(), L"Morning");
    EXPECT_EQ(tracks[0]->GetData().Name(), L"C:\\music\\morning.mp3");
    EXPECT_EQ(tracks[0]->GetData().Size(), 4u);
    EXPECT_EQ(tracks[1]->GetLabel(), L"Night");
    EXPECT_EQ(tracks[1]->GetData().Size(), 0u);

    const DocResMaps& maps = document.store->Maps();
    EXPECT_EQ(maps.delays.size(), 1u);
    EXPECT_EQ(maps.files.size(), 1u);
    EXPECT_EQ(CurrentDocResManager, document.store.get());
    CurrentDocResManager = nullptr;
}

// Documents damaged in one way each: all fail alike, and nothing they read survives.
TEST(LoadSceneDocumentTest, DamagedDocumentsFailWithTheDocumentCode)
{
    const wchar_t* names[] = {
        L"NoSlides.bin",            // nothing to show
        L"UnknownSlideClass.bin",   // slide registry
        L"UnknownLayerClass.bin",   // layer registry: a slide without a layer
        L"UnknownObjectClass.bin",  // scene-object registry
        L"NegativeSlideCount.bin",
        L"HugeTrackCount.bin",      // a count larger than the bytes left
    };
    for (const wchar_t* name : names) {
        SCOPED_TRACE(std::string(name, name + wcslen(name)));
        const std::vector<uint8_t> bytes = AssembledTestDocument(name);
        ASSERT_FALSE(bytes.empty());
        EXPECT_FALSE(LoadsOrFailsCleanly(bytes.data(), bytes.data() + bytes.size()));
    }
    const uint8_t none[1] = {0};
    EXPECT_FALSE(LoadsOrFailsCleanly(none, none));
}

TEST(LoadSceneDocumentTest, AFailedLoadDeletesWhatItReadAndKeepsTheCurrentStore)
{
    const std::vector<uint8_t> bytes = AssembledTestDocument(L"CountedSlides.bin");
    ASSERT_FALSE(bytes.empty());
    // A store of an earlier document stays current through a failed load.
    Vo_DocResManager earlier;
    CurrentDocResManager = &earlier;
    // Cut after the second slide's objects, the track list or the store's first map.
    for (size_t cut : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 30, bytes.size() - 1}) {
        SCOPED_TRACE(cut);
        EXPECT_FALSE(LoadsOrFailsCleanly(bytes.data(), bytes.data() + cut));
        ExpectNothingAlive();
    }
    EXPECT_EQ(CurrentDocResManager, &earlier);
    CurrentDocResManager = nullptr;
}

// Every prefix of a valid document fails (none of them is a whole document), and a few hundred
// seeded mutations each load or fail, never reading past the last byte (guard page) or leaking.
TEST(LoadSceneDocumentTest, CutsAndMutationsLoadOrFailCleanly)
{
    const std::vector<uint8_t> bytes = AssembledTestDocument(L"CountedSlides.bin");
    ASSERT_FALSE(bytes.empty());
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        ASSERT_FALSE(LoadsOrFailsCleanly(bytes.data(), bytes.data() + cut)) << cut;
        ASSERT_EQ(slide_fakes::liveRecords, 0) << cut;
    }
    ExpectNothingAlive();

    srand(8);
    for (int i = 0; i < 300; ++i) {
        std::vector<uint8_t> mutated = bytes;
        const int changes = 1 + rand() % 4;
        for (int c = 0; c < changes; ++c)
            mutated[static_cast<size_t>(rand()) % mutated.size()] = static_cast<uint8_t>(rand());
        SCOPED_TRACE(i);
        LoadsOrFailsCleanly(mutated.data(), mutated.data() + mutated.size());
        ExpectNothingAlive();
    }
    slide_fakes::log.clear();
}

TEST(LoadSceneDocumentTest, TheProgramsOwnDocumentIsMissingFromTheTestProgram)
{
    Vo_DocResManager* const before = CurrentDocResManager;
    try {
        LoadSceneDocument();
        ADD_FAILURE() << "the test program has no scene document";
    } catch (uint32_t code) {
        EXPECT_EQ(code, kSceneDocumentFailure);
    }
    EXPECT_EQ(CurrentDocResManager, before);
}

}  // namespace

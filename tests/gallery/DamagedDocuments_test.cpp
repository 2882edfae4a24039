// Every gallery document and the program's own scene, damaged: cut at every place that matters and
// mutated at random, loaded in process behind a guard page. Each load must succeed or fail with
// the document error, never read past the end, leak or allocate beyond a bound. The same program
// with VO_FUZZ_MUTATIONS set is the long run of scripts/fuzz.
//
// Environment (all optional):
//   VO_FUZZ_MUTATIONS  mutations per document (default 150)
//   VO_FUZZ_SEED       first seed (default 1); each document and mutation derives its own
//   VO_FUZZ_FAILURES   folder for failing inputs (default build/test-artifacts/fuzz-failures)
//   VO_FUZZ_ONLY       "<document>:<mutation>" runs that one mutation (reproducing a failure)
#include "support/GalleryDocuments.h"
#include "support/GuardPageBuffer.h"
#include "support/SceneDeviceFixture.h"
#include "support/TestPaths.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/DeviceResourceLoader.h"
#include "model/Vo_DocResManager.h"
#include "runtime/LoadSceneDocument.h"
#include "runtime/Vo_SlideShow_Light.h"

// Every allocation of this program is counted, so that a load can be checked for leaks and for
// the size it asks for.
namespace {
std::atomic<long long> s_liveBlocks{0};
std::atomic<long long> s_liveBytes{0};
std::atomic<long long> s_peakBytes{0};

struct BlockHeader {
    size_t size;
    size_t padding;  // keeps the block 16-byte aligned
};

void* CountedAllocate(size_t size)
{
    auto* header = static_cast<BlockHeader*>(std::malloc(sizeof(BlockHeader) + size));
    if (!header)
        throw std::bad_alloc();
    header->size = size;
    ++s_liveBlocks;
    const long long bytes = (s_liveBytes += static_cast<long long>(size));
    long long peak = s_peakBytes.load();
    while (bytes > peak && !s_peakBytes.compare_exchange_weak(peak, bytes)) {
    }
    return header + 1;
}

void CountedFree(void* block)
{
    if (!block)
        return;
    BlockHeader* header = static_cast<BlockHeader*>(block) - 1;
    --s_liveBlocks;
    s_liveBytes -= static_cast<long long>(header->size);
    std::free(header);
}
}  // namespace

void* operator new(size_t size) { return CountedAllocate(size); }
void* operator new[](size_t size) { return CountedAllocate(size); }
void operator delete(void* block) noexcept { CountedFree(block); }
void operator delete[](void* block) noexcept { CountedFree(block); }
void operator delete(void* block, size_t) noexcept { CountedFree(block); }
void operator delete[](void* block, size_t) noexcept { CountedFree(block); }

namespace {

// What one load may ask for beyond what the document's own bytes explain: the loaded copies of
// its embedded files and the records, a few times over. A count or size taken from damaged bytes
// must never reach a huge allocation.
long long AllocationBound(size_t documentSize) { return 8 * static_cast<long long>(documentSize) + (16 << 20); }

int EnvironmentInt(const char* name, int fallback)
{
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

std::string EnvironmentText(const char* name)
{
    const char* text = std::getenv(name);
    return text ? text : "";
}

struct Document {
    std::string name;
    std::vector<uint8_t> bytes;
};

// The gallery's documents as the build assembled them, and the program's own scene.
// The share of the documents this run takes: VO_DAMAGED_SHARD="i/n" keeps every n-th document
// from the i-th on, so that ctest runs the shares side by side; without it, every document.
bool InThisShare(size_t index)
{
    const std::string share = EnvironmentText("VO_DAMAGED_SHARD");
    const size_t slash = share.find('/');
    if (slash == std::string::npos)
        return true;
    const int first = std::atoi(share.c_str()), count = std::atoi(share.c_str() + slash + 1);
    return count <= 1 || static_cast<int>(index % static_cast<size_t>(count)) == first;
}

std::vector<Document> Documents()
{
    const std::vector<std::string> names = GalleryDocumentNamesAndEmbeddedScene();
    std::vector<Document> documents;
    for (size_t i = 0; i < names.size(); ++i) {
        if (InThisShare(i))
            documents.push_back({names[i], DocumentBytes(names[i])});
    }
    return documents;
}

// A stretch of the document that is an embedded file's bytes: its 32-bit size stands right before
// it and it starts with the signature of a picture, sound, effect or mesh file.
struct Span {
    size_t begin, end;
};

std::vector<Span> EmbeddedFileSpans(const std::vector<uint8_t>& bytes)
{
    static const std::string kSignatures[] = {
        std::string("\x89PNG", 4), "DDS ", "RIFF", "ID3", std::string("\xFF\xD8\xFF", 3), "BM",
        std::string("\x01\x09\xFF\xFE", 4), "xof "};
    std::vector<Span> spans;
    for (size_t at = 4; at < bytes.size();) {
        uint32_t size = 0;
        std::memcpy(&size, &bytes[at - 4], 4);
        bool found = false;
        if (size >= 64 && size <= bytes.size() - at) {
            for (const std::string& signature : kSignatures) {
                if (signature.size() <= size && std::memcmp(&bytes[at], signature.data(), signature.size()) == 0) {
                    found = true;
                    break;
                }
            }
        }
        if (found) {
            spans.push_back({at, at + size});
            at += size + 4;
        } else {
            ++at;
        }
    }
    return spans;
}

// The places to cut: every byte outside embedded files, and inside each file its first and last
// bytes and its middle (a cut anywhere inside a file fails the same way).
std::vector<size_t> CutPlaces(const std::vector<uint8_t>& bytes, const std::vector<Span>& spans)
{
    std::vector<size_t> places;
    size_t at = 0;
    for (const Span& span : spans) {
        for (; at < span.begin; ++at)
            places.push_back(at);
        for (size_t inside : {span.begin, span.begin + 1, (span.begin + span.end) / 2, span.end - 1})
            places.push_back(inside);
        at = span.end;
    }
    for (; at < bytes.size(); ++at)
        places.push_back(at);
    return places;
}

// A place outside the embedded files most of the time: that is where the readers' fields lie.
size_t MutationPlace(std::mt19937& random, const std::vector<uint8_t>& bytes, const std::vector<Span>& spans)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const size_t place = random() % bytes.size();
        bool inside = false;
        for (const Span& span : spans)
            inside = inside || (place >= span.begin && place < span.end);
        if (!inside || random() % 8 == 0)
            return place;
    }
    return random() % bytes.size();
}

// One seeded mutation: changed bytes, a 32-bit value replaced by an extreme one, bytes inserted or
// bytes deleted. The same seed always gives the same mutation.
std::vector<uint8_t> Mutate(const std::vector<uint8_t>& bytes, const std::vector<Span>& spans, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> mutated = bytes;
    const int changes = 1 + random() % 3;
    for (int c = 0; c < changes && !mutated.empty(); ++c) {
        const size_t place = MutationPlace(random, mutated, spans);
        switch (random() % 4) {
        case 0:
            mutated[place] = static_cast<uint8_t>(random());
            break;
        case 1: {
            static const uint32_t kExtremes[] = {0u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u};
            const size_t aligned = place & ~size_t(3);
            if (aligned + 4 <= mutated.size())
                std::memcpy(&mutated[aligned], &kExtremes[random() % 4], 4);
            break;
        }
        case 2: {
            const size_t count = 1 + random() % 8;
            std::vector<uint8_t> inserted(count);
            for (uint8_t& b : inserted)
                b = static_cast<uint8_t>(random());
            mutated.insert(mutated.begin() + place, inserted.begin(), inserted.end());
            break;
        }
        default: {
            const size_t count = std::min<size_t>(1 + random() % 8, mutated.size() - place);
            mutated.erase(mutated.begin() + place, mutated.begin() + place + count);
            break;
        }
        }
    }
    return mutated;
}

uint32_t MutationSeed(uint32_t firstSeed, const std::string& document, int mutation)
{
    uint32_t hash = 2166136261u;
    for (char c : document)
        hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
    return hash ^ (firstSeed * 2654435761u) ^ static_cast<uint32_t>(mutation) * 40503u;
}

// How one load of damaged bytes went.
struct LoadOutcome {
    bool cleanly = true;  // loaded, or failed with the document error, and everything went back
    bool loaded = false;  // the load gave a document
    std::string fault;

    void Fail(const std::string& why)
    {
        cleanly = false;
        fault = why;
    }
};

// Loads the bytes behind a guard page; whatever loaded is deleted again. Returns whether a
// document loaded and whether it went cleanly: no other failure code, the current store and loader
// as they were after a failure, no allocation left behind, and no more allocated on the way than
// the bound.
LoadOutcome LoadDamaged(const uint8_t* bytes, size_t size)
{
    LoadOutcome outcome;
    Vo_DocResManager* const storeBefore = CurrentDocResManager;
    DeviceResourceLoader* const loaderBefore = CurrentResourceLoader;
    auto memory = std::make_unique<GuardPageBuffer>(bytes, size);
    const long long blocksBefore = s_liveBlocks;
    const long long bytesBefore = s_liveBytes;
    s_peakBytes = bytesBefore;
    try {
        delete LoadSceneDocumentFrom(memory->begin(), memory->end());
        outcome.loaded = true;
        delete CurrentDocResManager;
        CurrentDocResManager = storeBefore;
        CurrentResourceLoader = loaderBefore;
    } catch (uint32_t code) {
        if (code != kSceneDocumentFailure)
            outcome.Fail("failed with another code");
        else if (CurrentDocResManager != storeBefore || CurrentResourceLoader != loaderBefore)
            outcome.Fail("the current store or loader changed");
    } catch (const std::bad_alloc&) {
        outcome.Fail("ran out of memory");
    } catch (...) {
        outcome.Fail("threw something else");
    }
    CurrentDocResManager = storeBefore;
    CurrentResourceLoader = loaderBefore;
    const long long asked = s_peakBytes - bytesBefore;
    if (outcome.cleanly && s_liveBlocks != blocksBefore)
        outcome.Fail("left " + std::to_string(s_liveBlocks - blocksBefore) + " allocations behind");
    if (outcome.cleanly && asked > AllocationBound(size))
        outcome.Fail("allocated " + std::to_string(asked) + " bytes at once");
    return outcome;
}

std::string FailuresFolder()
{
    const std::string chosen = EnvironmentText("VO_FUZZ_FAILURES");
    return chosen.empty() ? TestArtifactsDir() + "\\fuzz-failures" : chosen;
}

void KeepFailingInput(const std::string& document, int mutation, uint32_t firstSeed, const std::vector<uint8_t>& bytes)
{
    const std::string folder = FailuresFolder();
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + document + "-seed" + std::to_string(firstSeed) + "-" +
                             std::to_string(mutation) + ".bin";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

class DamagedDocumentsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_documents = new std::vector<Document>(Documents()); }
    static void TearDownTestSuite()
    {
        delete s_documents;
        s_documents = nullptr;
    }

    // One whole load first: what the first load of a process makes once (registries' statics,
    // the runtime's one-time tables) is not a leak of the loads that follow.
    static void WarmUp(const Document& document)
    {
        std::unique_ptr<Vo_SlideShow_Light> root(
            LoadSceneDocumentFrom(document.bytes.data(), document.bytes.data() + document.bytes.size()));
        delete CurrentDocResManager;
        CurrentDocResManager = nullptr;
        CurrentResourceLoader = nullptr;
    }

    static std::vector<Document>* s_documents;
};
std::vector<Document>* DamagedDocumentsTest::s_documents = nullptr;

}  // namespace

TEST_F(DamagedDocumentsTest, EveryDocumentLoadsWhole)
{
    ASSERT_GE(s_documents->size(), 2u) << "no gallery documents found";
    for (const Document& document : *s_documents) {
        SCOPED_TRACE(document.name);
        ASSERT_FALSE(document.bytes.empty());
        WarmUp(document);
        const LoadOutcome outcome = LoadDamaged(document.bytes.data(), document.bytes.size());
        EXPECT_TRUE(outcome.cleanly) << outcome.fault;
        EXPECT_TRUE(outcome.loaded) << "the whole document failed with the document error";
    }
}

// No proper prefix is a whole document: each must fail with the document error.
TEST_F(DamagedDocumentsTest, EveryCutFailsCleanly)
{
    for (const Document& document : *s_documents) {
        SCOPED_TRACE(document.name);
        WarmUp(document);
        const std::vector<Span> spans = EmbeddedFileSpans(document.bytes);
        int failures = 0;
        for (size_t cut : CutPlaces(document.bytes, spans)) {
            LoadOutcome outcome = LoadDamaged(document.bytes.data(), cut);
            if (outcome.cleanly && outcome.loaded)
                outcome.Fail("loaded although " + std::to_string(document.bytes.size() - cut) +
                             " bytes of the document are missing");
            if (!outcome.cleanly && ++failures <= 5)
                ADD_FAILURE() << "cut at " << cut << ": " << outcome.fault;
        }
        EXPECT_EQ(failures, 0);
    }
}

TEST_F(DamagedDocumentsTest, SeededMutationsLoadOrFailCleanly)
{
    const int mutations = EnvironmentInt("VO_FUZZ_MUTATIONS", 150);
    const uint32_t firstSeed = static_cast<uint32_t>(EnvironmentInt("VO_FUZZ_SEED", 1));
    const std::string only = EnvironmentText("VO_FUZZ_ONLY");
    for (const Document& document : *s_documents) {
        const std::string prefix = document.name + ":";
        if (!only.empty() && only.compare(0, prefix.size(), prefix) != 0)
            continue;
        SCOPED_TRACE(document.name);
        WarmUp(document);
        const std::vector<Span> spans = EmbeddedFileSpans(document.bytes);
        int passed = 0, failed = 0;
        const int first = only.empty() ? 0 : std::atoi(only.c_str() + prefix.size());
        const int last = only.empty() ? mutations : first + 1;
        for (int i = first; i < last; ++i) {
            const std::vector<uint8_t> mutated = Mutate(document.bytes, spans, MutationSeed(firstSeed, document.name, i));
            const LoadOutcome outcome = LoadDamaged(mutated.data(), mutated.size());
            if (outcome.cleanly) {
                ++passed;
                continue;
            }
            ++failed;
            KeepFailingInput(document.name, i, firstSeed, mutated);
            if (failed <= 5)
                ADD_FAILURE() << "mutation " << i << ": " << outcome.fault << " (again: VO_FUZZ_SEED="
                              << firstSeed << " VO_FUZZ_ONLY=" << document.name << ":" << i << ")";
        }
        std::printf("fuzz %s: %d passed, %d failed\n", document.name.c_str(), passed, failed);
        std::fflush(stdout);
    }
}

// The documents on a device with their embedded files' bytes turned to garbage, and with every
// link into the resource module pointing at a module that does not exist: the decoders refuse the
// garbage and the missing module gives empty resources; the scene loads, activates and draws.
class DamagedFilesOnDevice : public SceneDeviceFixture {};

TEST_F(DamagedFilesOnDevice, GarbageFilesAndAMissingModuleLoadActivateAndDraw)
{
    const std::vector<Document> documents = Documents();
    ASSERT_GE(documents.size(), 2u);
    const std::wstring module = L"common_res.dll";
    const std::wstring missing = L"absent_res.dll";  // as long, so no size field changes
    for (const Document& document : documents) {
        for (int variant = 0; variant < 2; ++variant) {
            SCOPED_TRACE(document.name + (variant == 0 ? " with garbage files" : " without the module"));
            std::vector<uint8_t> bytes = document.bytes;
            if (variant == 0) {
                // Every document embeds at least its landscape picture; the garbage must have
                // replaced the files' bytes (a random byte keeps its old value one time in 256).
                std::mt19937 random(7);
                size_t fileBytes = 0, changed = 0;
                for (const Span& span : EmbeddedFileSpans(bytes))
                    for (size_t at = span.begin; at < span.end; ++at) {
                        bytes[at] = static_cast<uint8_t>(random());
                        ++fileBytes;
                        changed += bytes[at] != document.bytes[at];
                    }
                ASSERT_GT(fileBytes, 0u) << "no embedded file found";
                ASSERT_GT(changed, fileBytes - fileBytes / 64) << "of " << fileBytes << " bytes";
            } else {
                // Every document links the module's border picture at least.
                const auto* from = reinterpret_cast<const uint8_t*>(module.data());
                const auto* to = reinterpret_cast<const uint8_t*>(missing.data());
                const size_t length = module.size() * 2;
                int replaced = 0;
                for (size_t at = 0; at + length <= bytes.size(); ++at)
                    if (std::memcmp(&bytes[at], from, length) == 0) {
                        std::memcpy(&bytes[at], to, length);
                        ++replaced;
                    }
                ASSERT_GT(replaced, 0) << "no link into the module found";
            }
            LoadDocument(bytes);
            ASSERT_NE(m_root, nullptr);
            m_root->ActivateSlides();
            m_root->RestoreDeviceObjects();
            for (float t : {0.0f, 0.5f}) {
                m_root->FrameMove(t);
                ASSERT_EQ(Device()->BeginScene(), D3D_OK);
                m_root->Render(0);
                ASSERT_EQ(Device()->EndScene(), D3D_OK);
            }
            m_root.reset();
            m_store.reset();
            CurrentDocResManager = m_storeBefore;
        }
    }
}

#include "model/Vo_FileLink3.h"

#include <gtest/gtest.h>

#include <string>

#include "model/DataBuffer.h"
#include "model/Vo_HLSLEffectFile.h"
#include "model/Vo_ImageFileLink.h"
#include "model/Vo_MeshFile.h"
#include "support/QueuedStream.h"
#include "support/CountingControl.h"

namespace {

// A blob with a given name, set directly: the blob's byte operations belong to the archive code.
struct TestBlob : FileBlob {
    TestBlob(int32_t id, const vo_string& module, const vo_string& name)
    {
        SetResourceId(id);
        SetModuleName(module);
        m_name = name;
    }
};

TEST(Vo_FileLink3Test, ConstructorsSetPathAndStamp)
{
    EXPECT_EQ(Vo_FileLink3().GetKey(), FileLinkKey(L"", 0));
    EXPECT_EQ(Vo_FileLink3(62, L"common_res.dll").GetKey(), FileLinkKey(L"common_res.dll", 62));
    // The 32-bit stamp is sign-extended.
    EXPECT_EQ(Vo_FileLink3(-2, L"x.dll").GetKey().Stamp(), -2);
    EXPECT_EQ(Vo_FileLink3(FileLinkKey(L"sea.jpg", 1234567890123ll)).GetKey(),
              FileLinkKey(L"sea.jpg", 1234567890123ll));
}

TEST(Vo_FileLink3Test, ABlobWithAResourceIdLinksItsModuleAndId)
{
    const Vo_FileLink3 link(TestBlob(70, L"common_res.dll", L"ignored.png"));
    EXPECT_EQ(link.GetPath(), L"common_res.dll");
    EXPECT_EQ(link.GetKey().Stamp(), 70);
    // Ids are zero-extended, unlike the 32-bit stamp constructor.
    EXPECT_EQ(Vo_FileLink3(TestBlob(-1, L"m.dll", L"")).GetKey().Stamp(), 0xFFFFFFFFll);
}

TEST(Vo_FileLink3Test, BlobsWithoutAnIdTakeConsecutiveAnonymousStamps)
{
    const int32_t next = AnonymousLinkCounter;
    const Vo_FileLink3 first(TestBlob(0, L"", L"water.png"));
    const Vo_ImageFileLink second(TestBlob(0, L"common_res.dll", L"water.png"));

    EXPECT_EQ(first.GetPath(), L"water.png");
    EXPECT_EQ(second.GetPath(), L"water.png");
    EXPECT_EQ(first.GetKey().Stamp(), next);
    EXPECT_EQ(second.GetKey().Stamp(), int64_t(next) + 1);
    EXPECT_EQ(AnonymousLinkCounter, next + 2);

    // Copies and key constructors draw nothing.
    const Vo_FileLink3 copy(first);
    const Vo_FileLink3 fromKey(first.GetKey());
    EXPECT_EQ(copy.GetKey(), first.GetKey());
    EXPECT_EQ(AnonymousLinkCounter, next + 2);
}

TEST(Vo_FileLink3Test, GetExtensionIsTheLoweredTextFromTheLastDot)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* extension;
    };
    const Case cases[] = {
        {L"C:\\Pictures\\Sea.JPG", L".jpg"},
        {L"common_res.dll", L".dll"},
        {L"COMMON_RES.DLL", L".dll"},
        {L"C:\\My.Pictures\\sea", L".pictures\\sea"},  // a dot only in a folder name
        {L"C:\\Pictures\\sea", L""},
        {L"", L""},
        {L"archive.tar.GZ", L".gz"},
        {L"trailing.", L"."},
        {L"Caf\u00C9.PNG", L".png"},
        {L"x.\u00C9X", L".\u00C9x"},  // only A to Z are lowered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path, c.path + wcslen(c.path)));
        EXPECT_EQ(Vo_FileLink3(0, c.path).GetExtension(), c.extension);
    }
}

TEST(Vo_FileLink3Test, CopiesKeepThePairAndStartWithoutControls)
{
    Vo_FileLink3 link(62, L"common_res.dll");
    CountingControl control;
    link.AttachControl(&control);

    const Vo_FileLink3 copy(link);
    const Vo_ImageFileLink image(link);
    const Vo_HLSLEffectFile effect(7, L"common_res.dll");
    const Vo_MeshFile mesh(FileLinkKey(L"fish.x", 3));

    EXPECT_EQ(copy.GetKey(), link.GetKey());
    EXPECT_EQ(image.GetKey(), link.GetKey());
    EXPECT_TRUE(copy.Controls().empty());
    EXPECT_TRUE(image.Controls().empty());
    EXPECT_EQ(effect.GetKey(), FileLinkKey(L"common_res.dll", 7));
    EXPECT_EQ(mesh.GetKey(), FileLinkKey(L"fish.x", 3));
    link.DetachControl(&control);
}

TEST(Vo_FileLink3Test, ReadFileLinkFillsPathAndStampWithoutTellingControls)
{
    Vo_ImageFileLink link(62, L"common_res.dll");
    CountingControl control;
    link.AttachControl(&control);

    QueuedStream stream;
    stream.Push(QueuedStream::String{L"C:\\Pictures\\Sea.JPG"}).Push(QueuedStream::Int64{1234567890ll});
    stream.Push(QueuedStream::String{L""}).Push(QueuedStream::Int64{0});
    ReadFileLink(stream, link);
    EXPECT_EQ(link.GetKey(), FileLinkKey(L"C:\\Pictures\\Sea.JPG", 1234567890ll));

    // An empty stored path replaces the link's path; it does not keep the old one.
    ReadFileLink(stream, link);
    EXPECT_EQ(link.GetKey(), FileLinkKey(L"", 0));

    EXPECT_EQ(control.Changes(), 0);
    EXPECT_FALSE(stream.Failed());
    link.DetachControl(&control);
}

TEST(Vo_FileLink3Test, ReadFileLinkOnAFailingStreamKeepsTheLink)
{
    // The stamp is missing: the path alone must not be taken with a made-up stamp.
    Vo_FileLink3 link(62, L"common_res.dll");
    QueuedStream stream;
    stream.Push(QueuedStream::String{L"sea.jpg"});
    ReadFileLink(stream, link);
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(link.GetKey(), FileLinkKey(L"common_res.dll", 62));
}

}  // namespace

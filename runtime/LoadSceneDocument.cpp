#include "runtime/LoadSceneDocument.h"

#include <memory>

#include "model/DeviceResourceLoader.h"
#include "model/ResourceBuffer.h"
#include "model/Vo_DocResManager.h"
#include "model/Vo_IOF_R.h"
#include "runtime/Vo_SlideShow_Light.h"

namespace {

const int kSceneDocumentId = 107;

// Reads the store record's header and fields. The store's constructor makes its own loader
// current, which only a successful load may keep.
std::unique_ptr<Vo_DocResManager> ReadDocResManager(Vo_IOF_Virtual& stream)
{
    vo_string className;
    int32_t version = 0;
    stream.ReadString(className);
    stream.ReadInt(version);
    if (stream.Failed())
        return nullptr;
    std::unique_ptr<Vo_DocResManager> store(new Vo_DocResManager());
    store->Load(stream, version);
    if (stream.Failed())
        return nullptr;
    return store;
}

}  // namespace

Vo_SlideShow_Light* LoadSceneDocumentFrom(const uint8_t* begin, const uint8_t* end)
{
    if (!begin || end <= begin)
        throw kSceneDocumentFailure;
    ResourceBuffer buffer(begin, end);
    Vo_IOF_R<ResourceBuffer> stream(&buffer);
    DeviceResourceLoader* const previousLoader = CurrentResourceLoader;

    vo_string tag;
    stream.ReadString(tag);
    // The root is read before the store: nothing in it may need the new store.
    std::unique_ptr<Vo_SlideShow_Light> root(ReadRootSlideShow(stream));
    std::unique_ptr<Vo_DocResManager> store;
    if (root && !stream.Failed())
        store = ReadDocResManager(stream);
    if (!root || !store || stream.Failed()) {
        root.reset();
        store.reset();
        CurrentResourceLoader = previousLoader;
        throw kSceneDocumentFailure;
    }
    CurrentDocResManager = store.release();
    return root.release();
}

Vo_SlideShow_Light* LoadSceneDocument()
{
    ResourceBuffer buffer;
    if (!buffer.OpenModuleResource(nullptr, kSceneDocumentId))
        throw kSceneDocumentFailure;
    return LoadSceneDocumentFrom(buffer.Cursor(), buffer.End());
}

#pragma once
#include <windows.h>

#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <vector>

#include "model/ComRef.h"
#include "model/DataBuffer.h"
#include "model/FileLinkKey.h"
#include "model/GuidPictureEntry.h"
#include "model/MeshRecord.h"
#include "model/RenderTargetPair.h"
#include "model/TextureFrameSet.h"

struct ID3DXEffect;
struct ID3DXFont;
struct IDirect3DTexture9;

// GUIDs ordered by their 16 bytes as they lie in memory, compared as unsigned bytes.
struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return std::memcmp(&a, &b, sizeof(GUID)) < 0; }
};

// The maps of a document resource store.
struct DocResMaps {
    std::map<FileLinkKey, std::vector<FileBlob>> files;
    std::map<FileLinkKey, std::vector<FileBlob>> pictures;  // emptied once they became frame sets
    std::map<FileLinkKey, std::vector<float>> delays;
    std::map<GUID, GuidPictureEntry, GuidLess> guidPictures;  // emptied once they became textures
    std::map<FileLinkKey, TextureFrameSet> frameSets;
    std::map<FileLinkKey, MeshRecord> meshes;
    std::map<GUID, std::unique_ptr<RenderTargetPair>, GuidLess> renderTargetPairs;
    std::map<FileLinkKey, ComRef<ID3DXEffect>> effects;
    std::map<GUID, ComRef<ID3DXFont>, GuidLess> fonts;
    // The bytes of every linked file the store knows. A list, so that a blob handed out by
    // address stays where it is while more blobs join its entry.
    std::map<FileLinkKey, std::list<FileBlob>> fileCache;
    std::map<GUID, ComRef<IDirect3DTexture9>, GuidLess> guidTextures;
};

#include "model/Vo_DocResManager.h"

#include <d3dx9.h>

#include "model/CurrentDevice.h"
#include "model/D3DResourceMakers.h"
#include "model/DocResLinks.h"
#include "model/FontMediaParam.h"
#include "model/Vo_FileLink3.h"

namespace {

constexpr uint32_t kPairSize = 512;

}  // namespace

MeshRecord& Vo_DocResManager::GetMesh(const Vo_FileLink3& link, uint32_t stride)
{
    MeshRecord& record = m_maps->meshes[link.GetKey()];
    if (record.vertexCount)
        return record;
    std::list<FileBlob>& entry = m_maps->fileCache[link.GetKey()];
    if (entry.empty()) {
        // Only a module link can supply bytes the document lacks.
        if (!IsModuleLink(link))
            return record;
        entry.push_back(ModuleBlob(link));
        FillFromModule(entry.back(), kPictureResourceType);
    }
    const FileBlob& blob = entry.front();
    LoadMeshFromMemory(blob.Data(), blob.Size(), stride, record);  // a failure is tried again next time
    return record;
}

ComRef<ID3DXEffect> Vo_DocResManager::GetEffect(const Vo_FileLink3& link)
{
    ComRef<ID3DXEffect>& effect = m_maps->effects[link.GetKey()];
    if (effect)
        return effect;
    std::list<FileBlob>& entry = m_maps->fileCache[link.GetKey()];
    if (entry.empty()) {
        if (!IsModuleLink(link))
            return ComRef<ID3DXEffect>();
        entry.push_back(ModuleBlob(link));
        FillFromModule(entry.back(), MAKEINTRESOURCEW(10));  // RT_RCDATA
    }
    const FileBlob& blob = entry.front();
    if (!CurrentDevice || !blob.Size())
        return ComRef<ID3DXEffect>();
    D3DXCreateEffect(CurrentDevice, blob.Data(), blob.Size(), nullptr, nullptr, 0, nullptr,
                     effect.Receive(), nullptr);
    return effect;  // null when the binary did not make an effect; the next call tries again
}

ComRef<ID3DXFont> Vo_DocResManager::GetFont(const GUID& guid, const FontMediaParam& font)
{
    ComRef<ID3DXFont>& kept = m_maps->fonts[guid];
    kept.Reset();
    if (CurrentDevice)
        D3DXCreateFontW(CurrentDevice, font.Height(), 0, font.Weight(), 1, font.Italic() != 0, DEFAULT_CHARSET,
                        OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Face().c_str(),
                        kept.Receive());
    return kept;
}

RenderTargetPair& Vo_DocResManager::GetRenderTargetPair(const GUID& guid)
{
    std::unique_ptr<RenderTargetPair>& pair = m_maps->renderTargetPairs[guid];
    if (pair)
        return *pair;
    pair = std::make_unique<RenderTargetPair>();
    auto picture = m_maps->guidTextures.find(guid);
    pair->CopyFrom(picture != m_maps->guidTextures.end() ? picture->second.Get() : nullptr, kPairSize,
                   kPairSize);
    return *pair;
}

void Vo_DocResManager::OnLostDevice()
{
    for (auto& [key, effect] : m_maps->effects)
        if (effect)
            effect->OnLostDevice();
    for (auto& [guid, pair] : m_maps->renderTargetPairs)
        pair->ReleaseTextures();
    for (auto& [guid, font] : m_maps->fonts)
        if (font)
            font->OnLostDevice();
}

void Vo_DocResManager::OnResetDevice()
{
    for (auto& [key, effect] : m_maps->effects)
        if (effect)
            effect->OnResetDevice();
    for (auto& [guid, pair] : m_maps->renderTargetPairs) {
        auto picture = m_maps->guidTextures.find(guid);
        pair->CopyFrom(picture != m_maps->guidTextures.end() ? picture->second.Get() : nullptr,
                       pair->Width(), pair->Height());
    }
    for (auto& [guid, font] : m_maps->fonts)
        if (font)
            font->OnResetDevice();
}

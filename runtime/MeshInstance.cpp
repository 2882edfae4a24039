#include "runtime/MeshInstance.h"

#include "model/MeshRecord.h"
#include "model/TextureFrameSet.h"
#include "model/Vo_DocResManager.h"

namespace {

// Bytes of one vertex in which the resource store copies a mesh: NormalTexVertex.
constexpr uint32_t kMeshVertexBytes = 32;

}  // namespace

void AttachMeshRecord(TexturedMesh& mesh, const MeshRecord& record)
{
    mesh.VertexBufferRef().Assign(record.vertexBuffer.Get());
    mesh.IndexBufferRef().Assign(record.indexBuffer.Get());
    mesh.SetVertexCount(record.vertexCount);
    mesh.SetPrimitiveCount(record.faceCount);
    mesh.SetIndexedPrimitiveCount(record.faceCount);
    mesh.SetPrimitiveType(D3DPT_TRIANGLELIST);
    float* bounds = mesh.Bounds();
    bounds[0] = record.boundingRadius;
    bounds[1] = record.boundingCentre[0];
    bounds[2] = record.boundingCentre[1];
    bounds[3] = record.boundingCentre[2];
}

void MeshInstance::Bind(const Vo_FileLink3& picture, const Vo_FileLink3& mesh)
{
    IDirect3DTexture9* texture = nullptr;
    if (CurrentDocResManager) {
        const TextureFrameSet& set = CurrentDocResManager->GetTextureFrameSet(picture);
        if (set.currentFrame < set.frames.size())
            texture = set.frames[set.currentFrame].Get();
    }
    m_mesh.SetTexture(texture);
    LoadMesh(mesh);
}

void MeshInstance::LoadMesh(const Vo_FileLink3& mesh)
{
    if (!CurrentDocResManager) {
        AttachMeshRecord(m_mesh, MeshRecord());
        return;
    }
    // A copy of the record: the instance keeps references of its own.
    const MeshRecord record = CurrentDocResManager->GetMesh(mesh, kMeshVertexBytes);
    AttachMeshRecord(m_mesh, record);
}

bool MeshInstance::HasMesh() const
{
    return m_mesh.VertexBuffer() && m_mesh.IndexBuffer() && m_mesh.IndexedPrimitiveCount() > 0;
}

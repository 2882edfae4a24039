#pragma once
#include <d3d9.h>

#include <cstdint>
#include <vector>

#include "support/CurrentDeviceFixture.h"
#include "model/ComRef.h"
#include "model/CurrentDevice.h"

// The device fixture made current, with helpers to read buffers back and to make small textures.
class MeshDeviceTest : public CurrentDeviceFixture {
protected:

    template <class V>
    static std::vector<V> ReadVertices(IDirect3DVertexBuffer9* buffer)
    {
        std::vector<V> out;
        D3DVERTEXBUFFER_DESC desc;
        if (!buffer || FAILED(buffer->GetDesc(&desc)))
            return out;
        void* data = nullptr;
        if (FAILED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY)))
            return out;
        const V* v = static_cast<const V*>(data);
        out.assign(v, v + desc.Size / sizeof(V));
        buffer->Unlock();
        return out;
    }

    static std::vector<uint16_t> ReadIndices(IDirect3DIndexBuffer9* buffer)
    {
        std::vector<uint16_t> out;
        D3DINDEXBUFFER_DESC desc;
        if (!buffer || FAILED(buffer->GetDesc(&desc)))
            return out;
        void* data = nullptr;
        if (FAILED(buffer->Lock(0, 0, &data, D3DLOCK_READONLY)))
            return out;
        const uint16_t* i = static_cast<const uint16_t*>(data);
        out.assign(i, i + desc.Size / sizeof(uint16_t));
        buffer->Unlock();
        return out;
    }

    // A managed A8R8G8B8 texture of one row of texels with the given colours.
    ComRef<IDirect3DTexture9> MakeRowTexture(const std::vector<uint32_t>& texels)
    {
        ComRef<IDirect3DTexture9> texture;
        if (FAILED(Device()->CreateTexture(static_cast<UINT>(texels.size()), 1, 1, 0,
                                           D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive(),
                                           nullptr)))
            return texture;
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0))) {
            auto* row = static_cast<uint32_t*>(locked.pBits);
            for (size_t i = 0; i < texels.size(); ++i)
                row[i] = texels[i];
            texture->UnlockRect(0);
        }
        return texture;
    }

    static unsigned long RefCount(IUnknown* object)
    {
        object->AddRef();
        return object->Release();
    }
};

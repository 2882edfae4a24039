#pragma once
#include <d3dx9math.h>

#include <cstdint>
#include <string>

#include "runtime/PicturePlacement.h"
#include "runtime/ScreenQuad.h"
#include "support/KeptPicturePlacement.h"
#include "support/QueuedStream.h"

// Lays out a picture of w x h pixels as the one the scene objects place themselves in.
inline void PlaceObjectPicture(int width, int height)
{
    ScreenQuad quad;
    InitScreenQuad(quad);
    SetPicturePlacement(quad, width, height, width, height, width, height);
}

inline void PushLink(QueuedStream& stream, const std::wstring& path, int64_t stamp)
{
    stream.Push(QueuedStream::String{path}).Push(QueuedStream::Int64{stamp});
}

// The placed-object record with its description and timeline (version 2 each), relative
// rectangle and speed as given.
inline void PushPlacedObjectRecord(QueuedStream& stream, float minX, float maxX, float minY, float maxY,
                                   uint32_t speed, const std::wstring& name = L"Object")
{
    using Q = QueuedStream;
    stream.Push(Q::String{L"Vo_ViewObjCtrl"}).Push(Q::Int{2});
    for (int i = 0; i < 6; ++i)
        stream.Push(Q::Long{0});
    stream.Push(Q::Float{minX}).Push(Q::Float{maxX}).Push(Q::Float{minY}).Push(Q::Float{maxY});
    stream.Push(Q::Bool{false}).Push(Q::UInt{speed});
    stream.Push(Q::String{L"Vo_ABObj_Constructor"}).Push(Q::Int{2}).Push(Q::String{name});
    stream.Push(Q::String{L"Vo_TimeLineControl"}).Push(Q::Int{1}).Push(Q::Long{0}).Push(Q::Long{0});
    for (int i = 0; i < 4; ++i)
        stream.Push(Q::UInt{100});
    stream.Push(Q::UInt{50}).Push(Q::UInt{50}).Push(Q::Int{0});
}

// The base record of every 3D object followed by the placed-object record.
inline void PushObjectRecord(QueuedStream& stream, uint32_t count, uint32_t size, const std::wstring& picture,
                             int64_t pictureStamp, const std::wstring& mesh, int64_t meshStamp,
                             uint32_t speed = 50)
{
    using Q = QueuedStream;
    stream.Push(Q::String{L"Vo_3D_Obj_Ctrl"}).Push(Q::Int{1}).Push(Q::UInt{count}).Push(Q::UInt{size});
    PushLink(stream, picture, pictureStamp);
    PushLink(stream, mesh, meshStamp);
    PushPlacedObjectRecord(stream, 0.0f, 1.0f, 0.0f, 1.0f, speed);
}

// Where a point of a frame's mesh ends up under the frame's world matrix.
inline D3DXVECTOR3 WorldPoint(const D3DXMATRIX& world, float x, float y, float z)
{
    D3DXVECTOR3 out;
    const D3DXVECTOR3 in(x, y, z);
    D3DXVec3TransformCoord(&out, &in, &world);
    return out;
}

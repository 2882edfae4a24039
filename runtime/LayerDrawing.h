#pragma once
// The bodies of the layer's drawing services. The layer's operations of the same names hand
// their arguments on to these; they work on CurrentDevice and CurrentScreenView.
//
// Each service sets the states it lists and resets only those it says it resets; the layer's
// common states are the ground it relies on. A draw never asks for more primitives than the
// mesh's buffers hold. Without a device, or without a mesh where one is drawn, nothing is
// touched and D3DERR_INVALIDCALL returned (the overlay quad, which may be absent, returns S_OK).
#include <d3d9.h>

#include <cstddef>

#include "runtime/VertexTypes.h"

struct ID3DXEffect;
class TextureFactorDrawable;
class TexturedMesh;
class TexturedQuad;
class Vo_Frame;
template <class Vertex>
class Vo_IndexedMesh;
template <class Vertex>
class Vo_SimpleMesh;

// Effect services: the caller has chosen the technique and set the parameters. The stream (with
// no vertex shader) is bound before the effect begins, so a pass that sets its own vertex
// shader keeps it. Without an effect nothing is touched.
HRESULT DrawIndexedWithEffect(const Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect);
HRESULT DrawListWithEffect(const Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect);
HRESULT DrawStripWithEffect(const Vo_SimpleMesh<DX_V::PCT>* mesh, ID3DXEffect** effect);
HRESULT DrawColoredIndexedWithEffect(const Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect);
// With an effect every pass draws primitiveCount; without one the texture the caller set is
// modulated by the vertex colour and blended by source alpha, in one draw.
HRESULT DrawColoredIndexed(const Vo_IndexedMesh<DX_V::PCT>* mesh, ID3DXEffect** effect,
                           int primitiveCount);

// A sprite emitter's quads: the current animation frame's picture, then the optional overlay
// picture over it. additive != 0 adds the sprites to the image when there is no overlay;
// additive == 1 adds the overlay pass. The index buffer holds the indices of one chunk of quads
// (MakeSpriteQuadBuffers); a mesh of more quads is drawn chunk by chunk.
HRESULT DrawSpriteMesh(const Vo_IndexedMesh<DX_V::PCT>& mesh, IDirect3DTexture9* frameTexture,
                       IDirect3DTexture9* overlay, int particleCount, int additive);

// A textured NormalTexVertex mesh drawn at each frame's world matrix, culled by the frame's
// winding; with the mesh's alpha flag a second round draws the back faces after the front.
HRESULT DrawMeshList(const TexturedMesh& mesh, Vo_Frame* const* frames, size_t frameCount);
// The same at the mesh's child frames, both faces each, colour and alpha from the texture.
HRESULT DrawMeshListTextured(const TexturedMesh& mesh);
// The object's own stage step with the value, then its mesh with alpha from texture x factor.
HRESULT DrawWithTextureFactor(TextureFactorDrawable* object, int value);

// A ScreenColorVertex quad in its vertex colours (the slide show's fade overlay); null draws
// nothing and returns S_OK.
HRESULT DrawOverlayQuad(const Vo_SimpleMesh<DX_V::PCT>* mesh);
// A ScreenTexVertex quad with its texture, alpha from texture x vertex colour.
HRESULT DrawTexturedQuad(const TexturedQuad* quad);
// A ColorVertex quad in its vertex colours.
HRESULT DrawColorQuadXYZ(const Vo_SimpleMesh<DX_V::PCT>* mesh);

// How many primitives of a type fit in a number of vertices or indices.
UINT PrimitivesInElements(D3DPRIMITIVETYPE type, UINT elements);

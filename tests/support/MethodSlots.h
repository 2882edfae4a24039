#pragma once
// Entries of the method tables of the Direct3D 9 device and of D3DX effects that tests replace,
// taken from the platform headers' C declarations.
#ifdef __cplusplus
extern "C" {
#endif
extern const unsigned kCreateTextureSlot;
extern const unsigned kCreateVolumeTextureSlot;
extern const unsigned kCreateCubeTextureSlot;
extern const unsigned kCreateVertexBufferSlot;
extern const unsigned kCreateIndexBufferSlot;
extern const unsigned kCreateRenderTargetSlot;
extern const unsigned kCreateDepthStencilSurfaceSlot;
extern const unsigned kCreateOffscreenPlainSurfaceSlot;
extern const unsigned kDrawPrimitiveSlot;
extern const unsigned kDrawIndexedPrimitiveSlot;
extern const unsigned kDrawPrimitiveUPSlot;
extern const unsigned kDrawIndexedPrimitiveUPSlot;
extern const unsigned kEffectOnLostDeviceSlot;
#ifdef __cplusplus
}
#endif

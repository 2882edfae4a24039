#pragma once
// The number of entries in the method tables of the interfaces whose calls the benchmark times,
// taken from the platform headers' C declarations so that no table is patched past its end.
#ifdef __cplusplus
extern "C" {
#endif
extern const unsigned kDeviceSlots;
extern const unsigned kTextureSlots;
extern const unsigned kSurfaceSlots;
extern const unsigned kVertexBufferSlots;
extern const unsigned kIndexBufferSlots;
extern const unsigned kEffectSlots;
extern const unsigned kFontSlots;
extern const unsigned kSpriteSlots;
extern const unsigned kMeshSlots;
#ifdef __cplusplus
}
#endif

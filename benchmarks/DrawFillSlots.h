#pragma once
// Where the methods that the draw fill table intercepts lie in their interfaces' method tables,
// taken from the platform headers' C declarations.
#ifdef __cplusplus
extern "C" {
#endif
extern const unsigned kDeviceClearSlot;
extern const unsigned kDeviceStretchRectSlot;
extern const unsigned kDeviceDrawPrimitiveSlot;
extern const unsigned kDeviceDrawIndexedPrimitiveSlot;
extern const unsigned kDeviceDrawPrimitiveUPSlot;
extern const unsigned kDeviceDrawIndexedPrimitiveUPSlot;
extern const unsigned kEffectBeginPassSlot;
extern const unsigned kEffectEndPassSlot;
#ifdef __cplusplus
}
#endif

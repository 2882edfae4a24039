#pragma once
// Names of the methods whose time the start's breakdown sorts by kind, found by their place in
// the platform headers' method tables; other methods have no name here.
#ifdef __cplusplus
extern "C" {
#endif
enum VoInterfaceKind {
    kVoDevice,
    kVoTexture,
    kVoSurface,
    kVoVertexBuffer,
    kVoIndexBuffer,
    kVoEffect,
    kVoFont,
    kVoSprite,
    kVoMesh
};
// The interface's name, such as "IDirect3DDevice9".
const char* VoInterfaceName(enum VoInterfaceKind kind);
// The method in that slot of the interface's table, or null when this list does not name it.
const char* VoMethodName(enum VoInterfaceKind kind, unsigned slot);
#ifdef __cplusplus
}
#endif

#pragma once
#include <cstdint>

#include "model/vo_string.h"

struct HINSTANCE__;
using ModuleHandle = HINSTANCE__*;  // an HMODULE; null stands for the program itself

// Maps a resource module for its resources only: the module's code never runs, so a module that
// is only meant to hold pictures, meshes and effects cannot execute anything in our process.
// Modules are never freed. An empty name does not name a module and fails.
bool OpenResourceModule(const vo_string& name, ModuleHandle& module);

// The bytes of a resource of the module (null: the program itself), of the given type ("QNT" or
// RT_RCDATA) and the id's low 16 bits. The bytes belong to the module and stay valid while it is
// loaded. False for a missing or empty resource.
bool LockModuleResource(ModuleHandle module, int32_t id, const wchar_t* type, const uint8_t*& bytes,
                        uint32_t& size);

// The type of pictures, picture sets and meshes in the program and in resource modules.
extern const wchar_t kPictureResourceType[];

#pragma once
#include "host/MonitorScene.h"

class BenchDevice;

// Where a scene's start goes: the same start as `start.first_scene_frame` (load, slide
// activation, first frame until the device has finished it), made with every Direct3D and D3DX
// entry point timed, in parts: the phases of the start, and the time inside Direct3D and D3DX
// sorted by the kind of device object the calls make (pictures decoded, mip levels, texture
// copies, effects, textures the program fills, meshes and buffers), with their counts.
class StartBreakdown {
public:
    // Starts the scene a few times on the device (each start in a scene host of its own, released
    // again) and prints the figures of the start whose total is the median, under "start.parts.".
    // The caller's current view and store must be put back afterwards.
    static void Run(BenchDevice& device, MonitorScene::SceneLoader load);
};

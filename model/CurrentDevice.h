#pragma once

struct IDirect3DDevice9;

// The device of the render unit being drawn. The host sets it when it makes a unit current;
// scene code reads it instead of receiving the device.
extern IDirect3DDevice9* CurrentDevice;

#pragma once
// The background music: one process-wide graph that plays the scene's tracks one at a time and
// reports each event as message 0x8000 to the main saver window. The scene host decides which
// track plays when; after ReleaseMusicGraph every operation does nothing.
#include "runtime/AudioGraph.h"

struct IBaseFilter;
struct HWND__;

extern AudioGraph MusicGraph;

// The message that brings each graph event to the main saver window (WM_APP).
const unsigned kMusicEventMessage = 0x8000;

// Settings read before each track: volume 0 to 100 (initially 100), mute when not 0.
extern int MusicVolume;
extern int MusicMute;

// 1 when the graph was made, 0 on any failure.
int InitMusicGraph(HWND__* window);
// Plays the file from its start; false when it stays silent (no graph, no audio device, a file
// that cannot be decoded).
bool PlayMusicFile(const wchar_t* path);
bool RenderMusicSourcePin(IBaseFilter* source);
// 1 when the file was rendered and runs, 0 otherwise.
int RenderMusicFile(const wchar_t* path);
void RewindMusic();
void SetMusicVolume(bool mute);
int GetMusicEvent();
void ReleaseMusicGraph();

// The graph volume in hundredths of a decibel for a volume of 0 to 100.
long MusicVolumeLevel(int volume, bool mute);

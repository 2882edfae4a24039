#pragma once
// Judgements on what a saver window shows, shared by the end-to-end tests.
#include "support/SaverWindows.h"

#include <windows.h>

// The splash: black, with the light pixels of its notice only inside the centred square.
bool LooksLikeSplash(const ScreenPixels& shot);

// Every pixel near black: a window before its first frame, or a scene that draws nothing.
bool LooksBlack(const ScreenPixels& shot);

// The share of the pixels inside r (the whole picture without r) that changed by more than a
// few levels in any channel between two views of the same size.
double ChangedShare(const ScreenPixels& a, const ScreenPixels& b, const RECT& r);
double ChangedShare(const ScreenPixels& a, const ScreenPixels& b);
// The same share among the pixels outside r.
double ChangedShareOutside(const ScreenPixels& a, const ScreenPixels& b, const RECT& r);

// The difference in brightness between the brightest and the darkest twentieth of the pixels,
// 0..255: near 0 for a picture of one colour.
int BrightnessSpread(const ScreenPixels& shot);

// The pixels at or near the colour a layer clears its target to before it draws (magenta,
// 0xF00FFF; 0xFF00FF counts too): they show only where nothing was drawn over the clear, such as
// a picture or border picture that did not load. first, when given, receives the first such pixel
// row by row ({-1, -1} when there is none).
int ClearColourPixels(const ScreenPixels& shot, POINT* first = nullptr);
// Clear-colour pixels that a view of a playing scene may show: a stray few where blended edges
// pass near the colour, never an area that nothing was drawn over.
const int kStrayClearColourPixels = 8;

// The saver's failure box (a rectangle in the window colour with the text, on black) is shown.
bool ShowsErrorBox(const ScreenPixels& shot);

// Writes the pixels as a BMP; false when the file could not be written.
bool SaveScreenPixels(const ScreenPixels& shot, const std::string& path);

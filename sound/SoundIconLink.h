#pragma once

class Vo_ImageFileLink;

// The picture an editor shows for every sound item: picture 2016 of the resource module. Made on
// first use; the player never asks for it.
const Vo_ImageFileLink& GetSoundIconLink();

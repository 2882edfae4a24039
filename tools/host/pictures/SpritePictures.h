#pragma once
#include <string>

// Sprite pictures for the particle emitters' gallery documents: RGBA PNGs with soft alpha edges,
// each a plain formula so that a look at the code tells what the picture shows.
bool MakeSpriteGlow(const std::string& path);
bool MakeSpriteStreak(const std::string& path);
bool MakeSpriteFish(const std::string& path);
bool MakeSpriteBird(const std::string& path);
bool MakeSpriteGhost(const std::string& path);
bool MakeSpriteFog(const std::string& path);
bool MakeSpriteRay(const std::string& path);
bool MakeSpriteBlade(const std::string& path);
bool MakeSpriteFlower(const std::string& path);
bool MakeSpriteFlash(const std::string& path);
bool MakeSpriteSparkStrip(const std::string& path);
bool MakeSpriteLantern(const std::string& path);
bool MakeSpriteLeaf(const std::string& path);
bool MakeSpriteDrop(const std::string& path);

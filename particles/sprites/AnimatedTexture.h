#pragma once
#include <algorithm>

#include "model/TextureFrameSet.h"

struct IDirect3DTexture9;

// Adds a picture's own frame animation to a mesh: a copy of the picture's frame set (a texture
// reference per frame) and which frame shows now. The frame moves on when the time given to
// AdvanceFrame has run the current frame's delay.
template <class Base>
class AnimatedTexture : public Base {
public:
    void SetFrameSet(const TextureFrameSet& set)
    {
        m_frames = set;
        m_index = 0;
        m_lastSwitch = 0.0f;
    }

    // True when the frame changed. Only frames with both a texture and a delay take part, so a
    // delay list longer than the frames never points past them.
    bool AdvanceFrame(float time)
    {
        size_t frames = m_frames.delays.size();
        if (!m_frames.frames.empty())
            frames = std::min(frames, m_frames.frames.size());
        if (frames == 0)
            return false;
        if (m_index >= frames)
            m_index = 0;
        if (!(time - m_lastSwitch >= m_frames.delays[m_index]))
            return false;
        m_lastSwitch = time;
        m_index = static_cast<unsigned int>((m_index + 1) % frames);
        return true;
    }

    // The texture of the current frame; null for a picture without frames.
    IDirect3DTexture9* CurrentTexture() const
    {
        if (m_frames.frames.empty())
            return nullptr;
        return m_frames.frames[m_index % m_frames.frames.size()].Get();
    }

    const TextureFrameSet& FrameSet() const { return m_frames; }
    unsigned int FrameIndex() const { return m_index; }
    float LastSwitchTime() const { return m_lastSwitch; }

private:
    TextureFrameSet m_frames;
    unsigned int m_index = 0;
    float m_lastSwitch = 0.0f;
};

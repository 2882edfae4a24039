#pragma once
#include <cstddef>
#include <cstdint>

// The times of one slide, in whole seconds as the document stores them.
struct SlideTimes {
    uint32_t fadeIn = 1;
    uint32_t show = 10;
    uint32_t fadeOut = 1;
};

// When the slide show moves on and how dark its fade overlay is: the start time of the slide
// being shown and the index of the slide that follows it. Kept apart from the slides so the
// timing can be checked without a device.
class SlideSchedule {
public:
    // The first frame: slide 0 starts with its fade-in already over, so it shows at once.
    void Start(float time, const SlideTimes& first);

    // True when the slide of these times has run through its fade-in, show and fade-out: the
    // caller then leaves it and shows NextIndex(), which this call has made the current one. One
    // switch at most per call, so a jump over several slide lengths still shows every slide; the
    // new slide's time starts at this frame. With fewer than two slides nothing ever switches.
    bool Advance(float time, const SlideTimes& current, size_t slideCount);

    // The overlay's opacity at this time for the slide now shown: 1 to 0 over the fade-in,
    // 0 while it shows, 0 to 1 over the fade-out; always within 0..1.
    float OverlayAlpha(float time, const SlideTimes& current) const;

    size_t CurrentIndex() const { return m_current; }
    size_t NextIndex() const { return m_next; }
    float StartTime() const { return m_start; }

private:
    float m_start = 0.0f;
    size_t m_current = 0;
    size_t m_next = 1;
};

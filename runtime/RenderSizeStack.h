#pragma once
#include <cstddef>

// The process-wide stack of render-target sizes that layers push while objects draw into
// textures of their own. Pushes and pops nest; all layers share it.
class RenderSizeStack {
public:
    static void Push(int width, int height);
    // The top entry; false (and the sizes untouched) when the stack is empty.
    static bool Front(int& width, int& height);
    // Removes the top entry; an empty stack stays empty.
    static void Pop();
    static size_t Count();
    static bool Empty() { return Count() == 0; }
};

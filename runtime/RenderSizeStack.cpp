#include "runtime/RenderSizeStack.h"

#include <utility>
#include <vector>

namespace {

// The top is the back. A vector keeps its storage when popped, so the pushes and pops of every
// frame allocate nothing once the deepest nesting has been reached.
std::vector<std::pair<int, int>>& Sizes()
{
    static std::vector<std::pair<int, int>> s_sizes;
    return s_sizes;
}

}  // namespace

void RenderSizeStack::Push(int width, int height)
{
    Sizes().emplace_back(width, height);
}

bool RenderSizeStack::Front(int& width, int& height)
{
    if (Sizes().empty())
        return false;
    width = Sizes().back().first;
    height = Sizes().back().second;
    return true;
}

void RenderSizeStack::Pop()
{
    if (!Sizes().empty())
        Sizes().pop_back();
}

size_t RenderSizeStack::Count()
{
    return Sizes().size();
}

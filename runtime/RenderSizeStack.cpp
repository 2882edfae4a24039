#include "runtime/RenderSizeStack.h"

#include <list>
#include <utility>

namespace {

std::list<std::pair<int, int>>& Sizes()
{
    static std::list<std::pair<int, int>> s_sizes;
    return s_sizes;
}

}  // namespace

void RenderSizeStack::Push(int width, int height)
{
    Sizes().emplace_front(width, height);
}

bool RenderSizeStack::Front(int& width, int& height)
{
    if (Sizes().empty())
        return false;
    width = Sizes().front().first;
    height = Sizes().front().second;
    return true;
}

void RenderSizeStack::Pop()
{
    if (!Sizes().empty())
        Sizes().pop_front();
}

size_t RenderSizeStack::Count()
{
    return Sizes().size();
}

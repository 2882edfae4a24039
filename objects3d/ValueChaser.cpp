#include "objects3d/ValueChaser.h"

#include <algorithm>
#include <cmath>

void ValueChaser::Step(float dt)
{
    if (value == target)
        return;
    value += rate * dt;
    if (rate > 0.0f)
        value = std::min(value, target);
    else if (rate < 0.0f)
        value = std::max(value, target);
}

void ValueChaser::SetTarget(float newTarget, float newRate)
{
    if (newRate != 0.0f)
        rate = newRate;
    target = newTarget;
    rate = value < target ? std::fabs(rate) : -std::fabs(rate);
}

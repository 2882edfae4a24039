#pragma once

// A value that glides toward a target at a rate per unit of step and stops there.
struct ValueChaser {
    float value = 0.0f;
    float target = 0.0f;
    float rate = 0.0f;

    // value += rate x dt, never past the target; nothing once the value is there.
    void Step(float dt);
    // A new target; a rate other than 0 replaces the speed, 0 keeps the old one. Either way
    // the rate's sign then points from the value to the target.
    void SetTarget(float newTarget, float newRate);
};

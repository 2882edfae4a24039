#pragma once

// One-dimensional value noise in (-1, 1]: a hashed value at every integer, cosine-interpolated
// in between (x is truncated toward zero to find the lattice point).
float ValueNoise1D(float x);

// The sum over octaves i = 0, 1, ... below `octaves` of persistence^i x ValueNoise1D(2^i x x / period),
// in double precision.
double FractalNoise1D(double x, double period, double persistence, int octaves);

// The hashed lattice value of ValueNoise1D at the integer n.
float LatticeNoise1D(int n);

#pragma once
// Endpoints from selectors and selectors' sums: rounding to codes, the
// least-squares endpoints, and the best codes for fixed selectors.
#include "block_texels.h"

namespace colour {

// The code whose expansion lies nearest to the value (0 ... 255).
int nearestCode(float value, int channel);
// Endpoints (0 ... 255) rounded to the nearest whole value, then to its
// nearest code.
Endpoints quantise(const float a[3], const float b[3]);

// For fixed selectors the error splits into one sum per channel, and each
// is a function of the channel's two codes alone: with the count and sum of
// the texels on each selector, a pair of codes costs four terms. The same
// sums give the least-squares endpoints.
struct SelectorGroups {
  int count[4] = {};
  int sum[4][3] = {};
};

SelectorGroups groupBySelector(const Texels& t, const Selectors selectors);
// The 2 x 2 normal equations; false when singular (every texel on one
// endpoint).
bool leastSquares(const SelectorGroups& g, float a[3], float b[3]);
// The channel's error for the codes, less the texels' sum of squares.
int channelCost(const SelectorGroups& g, int channel, int codeA, int codeB);
// The best codes per channel within `radius` of the given ones.
Endpoints bestCodesFor(const SelectorGroups& g, const Endpoints& around, int radius);

}  // namespace colour

#include "endpoint_fit.h"

#include <algorithm>
#include <cmath>

namespace colour {

// The expanded codes are not evenly spaced, so plain rounding is checked
// against both neighbours.
int nearestCode(float value, int channel) {
  const int max = kMaxCode[channel], bits = kBits[channel];
  int code = std::clamp(static_cast<int>(value * max / 255.0f + 0.5f), 0, max);
  auto distance = [&](int q) { return std::fabs(expandCode(q, bits) - value); };
  if (code < max && distance(code + 1) < distance(code)) ++code;
  else if (code > 0 && distance(code - 1) < distance(code)) --code;
  return code;
}

// The nearest code of each whole 8-bit value, per code width.
struct NearestCodes {
  std::uint8_t of[2][256];
  NearestCodes() {
    for (int v = 0; v < 256; ++v) {
      of[0][v] = static_cast<std::uint8_t>(nearestCode(float(v), 0));
      of[1][v] = static_cast<std::uint8_t>(nearestCode(float(v), 1));
    }
  }
};

const NearestCodes& nearestCodes() {
  static const NearestCodes tables;
  return tables;
}

Endpoints quantise(const float a[3], const float b[3]) {
  const NearestCodes& nearest = nearestCodes();
  Endpoints e;
  for (int c = 0; c < 3; ++c) {
    e.a[c] = nearest.of[c == 1][static_cast<int>(a[c] + 0.5f)];
    e.b[c] = nearest.of[c == 1][static_cast<int>(b[c] + 0.5f)];
  }
  return e;
}

constexpr int kWeightThirdsOfSelector[4] = {3, 0, 2, 1};

SelectorGroups groupBySelector(const Texels& t, const Selectors selectors) {
  SelectorGroups g;
  for (int i = 0; i < t.count; ++i) {
    const int k = selectors[i];
    ++g.count[k];
    g.sum[k][0] += t.rg[2 * i];
    g.sum[k][1] += t.rg[2 * i + 1];
    g.sum[k][2] += t.b0[2 * i];
  }
  return g;
}

// Weights on colour a of 1, 0, 2/3 and 1/3, times 3.
bool leastSquares(const SelectorGroups& g, float a[3], float b[3]) {
  float aa = 0, bb = 0, ab = 0, ax[3] = {}, bx[3] = {};
  for (int k = 0; k < 4; ++k) {
    const float alpha = kWeightThirdsOfSelector[k], beta = 3 - alpha, n = float(g.count[k]);
    aa += n * alpha * alpha;
    bb += n * beta * beta;
    ab += n * alpha * beta;
    for (int c = 0; c < 3; ++c) {
      ax[c] += alpha * g.sum[k][c];
      bx[c] += beta * g.sum[k][c];
    }
  }
  const float det = aa * bb - ab * ab;
  if (det < 1e-3f) return false;
  const float scale = 3.0f / det;
  for (int c = 0; c < 3; ++c) {
    a[c] = std::clamp((bb * ax[c] - ab * bx[c]) * scale, 0.0f, 255.0f);
    b[c] = std::clamp((aa * bx[c] - ab * ax[c]) * scale, 0.0f, 255.0f);
  }
  return true;
}

int channelCost(const SelectorGroups& g, int channel, int codeA, int codeB) {
  const int a = expandCode(codeA, kBits[channel]), b = expandCode(codeB, kBits[channel]);
  const int shown[4] = {a, b, (2 * a + b) / 3, (a + 2 * b) / 3};
  int cost = 0;
  for (int k = 0; k < 4; ++k) cost += shown[k] * (g.count[k] * shown[k] - 2 * g.sum[k][channel]);
  return cost;
}

Endpoints bestCodesFor(const SelectorGroups& g, const Endpoints& around, int radius) {
  Endpoints best = around;
  for (int c = 0; c < 3; ++c) {
    int bestCost = channelCost(g, c, around.a[c], around.b[c]);
    for (int a = std::max(0, around.a[c] - radius); a <= std::min(kMaxCode[c], around.a[c] + radius); ++a)
      for (int b = std::max(0, around.b[c] - radius); b <= std::min(kMaxCode[c], around.b[c] + radius); ++b) {
        const int cost = channelCost(g, c, a, b);
        if (cost < bestCost) {
          bestCost = cost;
          best.a[c] = a;
          best.b[c] = b;
        }
      }
  }
  return best;
}

}  // namespace colour

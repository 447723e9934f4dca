#include "colour_block.h"

#include <algorithm>
#include <cstring>

#include "block_error.h"
#include "block_texels.h"
#include "cluster_fit.h"
#include "endpoint_fit.h"

using namespace colour;

namespace {

// The search's settings, tuned on the benchmark's photographs (quality
// against time; see scripts/bench/ddsconv). With the joint steps at the
// end, more iterations of the earlier stages find almost nothing more.
constexpr int kLloydIterations = 2;      // selectors and endpoints in turn
constexpr int kPolishIterations = 1;     // best codes for fixed selectors
constexpr int kPolishRadius = 1;         // codes tried either side
constexpr int kNeighbourSweeps = 1;      // of single code steps
// The squared errors above which the cluster fit runs: for a busy block,
// and for one of few colours, whose splits are few.
constexpr std::uint32_t kClusterFitAbove = 1000, kFewColoursFitAbove = 64;

// Coordinate descent over the six endpoint codes, a step of one at a time,
// each scored exactly; stops when no step helps.
void searchNeighbours(const Texels& t, Endpoints& e, std::uint32_t& error) {
  for (int sweep = 0; sweep < kNeighbourSweeps; ++sweep) {
    bool improved = false;
    for (int k = 0; k < 6; ++k) {
      int& code = k < 3 ? e.a[k] : e.b[k - 3];
      const int channel = k % 3, max = kMaxCode[channel];
      for (int step : {1, -1}) {
        if (code + step < 0 || code + step > max) continue;
        code += step;
        const std::uint32_t trial = evaluate(t, e);
        if (trial < error) {
          error = trial;
          improved = true;
          break;
        }
        code -= step;
      }
    }
    if (!improved || error == 0) break;
  }
}

// Steps of two or more codes at once, which single steps cannot take one
// after the other when each alone makes the block worse: one channel's
// endpoints apart or together, and one endpoint or both brighter or darker
// (as grey, or with green, which has a bit more, by two). Codes a[3] then
// b[3].
constexpr signed char kJointSteps[][6] = {
    {1, 0, 0, -1, 0, 0},  {-1, 0, 0, 1, 0, 0}, {0, 1, 0, 0, -1, 0},  {0, -1, 0, 0, 1, 0},
    {0, 0, 1, 0, 0, -1},  {0, 0, -1, 0, 0, 1}, {1, 2, 1, 0, 0, 0},   {-1, -2, -1, 0, 0, 0},
    {0, 0, 0, 1, 2, 1},   {0, 0, 0, -1, -2, -1}, {1, 2, 1, 1, 2, 1},   {-1, -2, -1, -1, -2, -1},
    {1, 1, 1, 0, 0, 0},   {-1, -1, -1, 0, 0, 0}, {0, 0, 0, 1, 1, 1},   {0, 0, 0, -1, -1, -1},
};

// One sweep over the joint steps, each scored exactly and kept when it
// helps.
void searchJointSteps(const Texels& t, Endpoints& e, std::uint32_t& error) {
  for (const auto& step : kJointSteps) {
    Endpoints next = e;
    bool inside = true;
    for (int c = 0; c < 3; ++c) {
      next.a[c] += step[c];
      next.b[c] += step[3 + c];
      inside = inside && next.a[c] >= 0 && next.a[c] <= kMaxCode[c] && next.b[c] >= 0 && next.b[c] <= kMaxCode[c];
    }
    if (!inside) continue;
    const std::uint32_t trial = evaluate(t, next);
    if (trial < error) {
      error = trial;
      e = next;
      if (error == 0) return;
    }
  }
}

// How a single-colour table breaks ties between pairs whose middle colour
// the reference decoder shows equally near. The closest pair keeps the
// other colours of the block nearest the value (for blocks one colour
// only almost fits); the rounding-safe pair is also shown nearest by a
// decoder that rounds the middle colour, (2a + b + 1) / 3, so that flat and
// smooth areas do not band there.
enum class PairTies { Closest, RoundingSafe };

// The best pair for every 8-bit value, 5- and 6-bit codes, both ties,
// computed once.
struct SingleColourTables {
  SingleColourFit fit[2][2][256];  // [ties][6 bits][value]
  SingleColourTables() {
    for (const PairTies ties : {PairTies::Closest, PairTies::RoundingSafe})
      for (int table = 0; table < 2; ++table)
        for (int value = 0; value < 256; ++value) fit[int(ties)][table][value] = bestPair(value, table ? 6 : 5, ties);
  }

  static SingleColourFit bestPair(int value, int bits, PairTies ties) {
    const int max = (1 << bits) - 1;
    SingleColourFit best{0, 0, 255};
    int bestRounded = 255;
    for (int a = 0; a <= max; ++a)
      for (int b = 0; b <= max; ++b) {
        const int twice = 2 * expandCode(a, bits) + expandCode(b, bits);
        const int distance = std::abs(twice / 3 - value), rounded = std::abs((twice + 1) / 3 - value);
        const int apart = std::abs(a - b), bestApart = std::abs(best.a - best.b);
        // Ties as asked, then the other way, then the lower codes.
        const bool closer = apart < bestApart || (apart == bestApart && rounded < bestRounded);
        const bool safer = rounded < bestRounded || (rounded == bestRounded && apart < bestApart);
        if (distance < best.distance || (distance == best.distance && (ties == PairTies::Closest ? closer : safer))) {
          best = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(distance)};
          bestRounded = rounded;
        }
      }
    return best;
  }
};

const SingleColourTables& singleColourTables() {
  static const SingleColourTables tables;
  return tables;
}

SingleColourFit singleColourFit(int value, int bits, PairTies ties) {
  return singleColourTables().fit[int(ties)][bits == 6 ? 1 : 0][std::clamp(value, 0, 255)];
}

bool singleColour(const Texels& t) {
  for (int i = 1; i < t.count; ++i)
    if (t.rg[2 * i] != t.rg[0] || t.rg[2 * i + 1] != t.rg[1] || t.b0[2 * i] != t.b0[0]) return false;
  return true;
}

// Every texel on the middle colour (2a + b) / 3 of the table's pairs.
Endpoints singleColourEndpoints(const Texels& t) {
  Endpoints e;
  const int values[3] = {t.rg[0], t.rg[1], t.b0[0]};
  for (int c = 0; c < 3; ++c) {
    const SingleColourFit fit = singleColourFit(values[c], kBits[c], PairTies::RoundingSafe);
    e.a[c] = fit.a;
    e.b[c] = fit.b;
  }
  return e;
}

// A block that one colour almost fits (a smooth area): every texel on the
// middle colour (2a + b) / 3 of the single-colour pair for the channel's
// mean, rounded down or up, whichever is nearer the channel's texels.
struct ChannelMeans {
  int sum[3], squares[3];
  std::uint32_t spread;  // squared distance of the texels from their mean colour
};

ChannelMeans channelMeans(const Texels& t) {
  ChannelMeans m{{}, {}, 0};
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < t.count; ++i) {
      const int x = texelChannel(t, i, c);
      m.sum[c] += x;
      m.squares[c] += x * x;
    }
    m.spread += static_cast<std::uint32_t>((t.count * m.squares[c] - m.sum[c] * m.sum[c]) / t.count);
  }
  return m;
}

Endpoints nearSingleColourEndpoints(const Texels& t, const ChannelMeans& means, PairTies ties) {
  Endpoints e;
  for (int c = 0; c < 3; ++c) {
    const int low = means.sum[c] / t.count;
    int bestCost = -1;
    for (int value = low; value <= std::min(255, low + 1); ++value) {
      const SingleColourFit fit = singleColourFit(value, kBits[c], ties);
      const int shown = (2 * expandCode(fit.a, kBits[c]) + expandCode(fit.b, kBits[c])) / 3;
      // The channel's squared distance from `shown`, from its sums.
      const int cost = t.count * shown * shown - 2 * shown * means.sum[c] + means.squares[c];
      if (bestCost < 0 || cost < bestCost) {
        bestCost = cost;
        e.a[c] = fit.a;
        e.b[c] = fit.b;
      }
    }
  }
  return e;
}

struct Candidate {
  Endpoints e;
  std::uint32_t error;
  Selectors selectors;
};

Candidate candidateOf(const Texels& t, const Endpoints& e) {
  Candidate c;
  c.e = e;
  c.error = evaluate(t, e, c.selectors);
  return c;
}

// Both pairs per channel, the rounding-safe one first: on a smooth area
// the reference decoder often shows both equally well. Not for a block
// where even its exact mean colour would leave the error found.
void tryNearSingleColour(const Texels& t, Candidate& best) {
  const ChannelMeans means = channelMeans(t);
  if (best.error == 0 || means.spread >= best.error) return;
  const Endpoints safe = nearSingleColourEndpoints(t, means, PairTies::RoundingSafe);
  const Endpoints closest = nearSingleColourEndpoints(t, means, PairTies::Closest);
  for (const Endpoints* e : {&safe, &closest}) {
    if (e == &closest && closest == safe) break;
    const Candidate c = candidateOf(t, *e);
    if (c.error < best.error) best = c;
  }
}

// Selectors and endpoints in turn: the least-squares endpoints for the
// selectors, rounded, then the selectors for those, while the error falls.
void lloydIterate(const Texels& t, Candidate& c) {
  for (int iteration = 0; iteration < kLloydIterations && c.error > 0; ++iteration) {
    float a[3], b[3];
    if (!leastSquares(groupBySelector(t, c.selectors), a, b)) break;
    const Endpoints next = quantise(a, b);
    if (next == c.e) break;
    Candidate n = candidateOf(t, next);
    if (n.error >= c.error) break;
    c = n;
  }
}

// From the texels' extremes along the axis, moved inwards by a share of
// their span.
Endpoints startFromExtremes(const Axis& axis, float inset) {
  const float span = (axis.high - axis.low) * inset, low = axis.low + span, high = axis.high - span;
  float a[3], b[3];
  for (int c = 0; c < 3; ++c) {
    a[c] = std::clamp(axis.mean[c] + low * axis.direction[c], 0.0f, 255.0f);
    b[c] = std::clamp(axis.mean[c] + high * axis.direction[c], 0.0f, 255.0f);
  }
  return quantise(a, b);
}

// The best codes for the selectors, then the selectors for the codes, while
// the error falls.
void polish(const Texels& t, Candidate& c) {
  for (int iteration = 0; iteration < kPolishIterations && c.error > 0; ++iteration) {
    const Endpoints refitted = bestCodesFor(groupBySelector(t, c.selectors), c.e, kPolishRadius);
    if (refitted == c.e) break;
    Candidate n = candidateOf(t, refitted);
    if (n.error >= c.error) break;
    c = n;
  }
}

// The search: exact tables for one colour; otherwise, along the principal
// axis, selectors and least-squares endpoints in turn from a few starts,
// the cluster fit where it pays, one colour where it may fit, the best
// codes for the selectors found, single code steps and joint steps, every
// candidate scored by its exact error.
Endpoints bestEndpoints(const Texels& t, std::uint32_t& error) {
  if (singleColour(t)) {
    const Endpoints e = singleColourEndpoints(t);
    error = evaluate(t, e);
    return e;
  }
  const Axis axis = principalAxis(t);
  // From the extremes and from two points inside them: the iteration ends
  // in a different local minimum often enough. A start that rounds to one
  // already tried is skipped.
  constexpr float kInsets[] = {0.0f, 1.0f / 16, 1.0f / 8};
  constexpr int kStarts = sizeof kInsets / sizeof kInsets[0];
  Candidate best{};
  best.error = UINT32_MAX;
  Endpoints started[kStarts];
  for (int k = 0; k < kStarts && best.error > 0; ++k) {
    started[k] = startFromExtremes(axis, kInsets[k]);
    if (std::find(started, started + k, started[k]) != started + k) continue;
    Candidate c = candidateOf(t, started[k]);
    lloydIterate(t, c);
    if (c.error < best.error) best = c;
  }
  // The cluster fit where it pays: a block of few colours, whose splits are
  // few, and a busy block, where the order along the axis may split it
  // better than the iteration found.
  const bool fewColours = hasFewColours(t);
  if (best.error > 0 && ((fewColours && best.error > kFewColoursFitAbove) || best.error > kClusterFitAbove)) {
    float a[3], b[3];
    if (clusterFit(t, axis, fewColours, a, b)) {
      Candidate c = candidateOf(t, quantise(a, b));
      lloydIterate(t, c);
      if (c.error < best.error) best = c;
    }
  }
  tryNearSingleColour(t, best);
  polish(t, best);
  // Joint steps, then single steps from where they led. Single steps
  // before the joint ones, or a second round of both, find little more
  // (+0.007 and +0.010 dB on the photographs) for 5 to 10 % more time.
  if (best.error > 0) searchJointSteps(t, best.e, best.error);
  if (best.error > 0) searchNeighbours(t, best.e, best.error);
  error = best.error;
  return best.e;
}

}  // namespace

#ifdef TF_SPLIT_TRAINING
// For scripts/train-split-order only: every split of a full block of two or
// more colours, with the score by which the cluster fit ranks it.
void forEachSplitScore(const std::uint8_t* rgba, void (*visit)(void*, int, int, int, float), void* context) {
  const Texels t = gatherTexels(rgba, 0xFFFF, SimdPath::Sse2);
  if (!singleColour(t)) colour::forEachSplitScore(t, visit, context);
}
#endif

SingleColourFit singleColourFit(int value, int bits) { return singleColourFit(value, bits, PairTies::RoundingSafe); }

std::uint32_t encodeColourBlock(const std::uint8_t* rgba, int mask, std::uint8_t* out, SimdPath path) {
  const Texels t = gatherTexels(rgba, mask, path);
  std::uint32_t error = 0;
  Endpoints e{};
  Selectors selectors = {};
  if (t.count > 0) {
    e = bestEndpoints(t, error);
    evaluate(t, e, selectors);
  }
  std::uint16_t colour0 = pack565(e.a), colour1 = pack565(e.b);
  // Colour 0 above colour 1: a DXT1 decoder then keeps the 4-colour mode.
  const int flip = colour0 < colour1 ? 1 : 0;  // swaps selectors 0 <-> 1, 2 <-> 3
  if (flip) std::swap(colour0, colour1);
  std::uint32_t bits = 0;
  if (colour0 != colour1)  // else one colour, which every selector (0) shows
    for (int i = 0; i < t.count; ++i) bits |= std::uint32_t(selectors[i] ^ flip) << (2 * t.position[i]);
  out[0] = static_cast<std::uint8_t>(colour0);
  out[1] = static_cast<std::uint8_t>(colour0 >> 8);
  out[2] = static_cast<std::uint8_t>(colour1);
  out[3] = static_cast<std::uint8_t>(colour1 >> 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return error;
}

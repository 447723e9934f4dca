#include "cluster_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "split_order.h"

namespace colour {
namespace {

constexpr int kPowerIterations = 3;   // for the principal axis
constexpr int kSplitsTried = 64;      // of a full block, in trained order
constexpr int kEverySplitUpTo = 4;    // colours: 35 splits

// The texels in order along the axis, and prefix sums of the texels less
// their mean for the cluster fit: small numbers keep the fit's precision,
// and with them the sums of beta x are minus the sums of alpha x. Merged:
// each colour once, weighted by its number of texels, so that a block of
// few colours has few splits.
struct OrderedTexels {
  int count = 0;         // points along the axis
  float prefix[17][3];   // sums of weight (x - mean) of the first i points
  float weight[17];      // sums of the first i weights
  float mean[3];
};

OrderedTexels orderAlong(const Texels& t, const Axis& axis, bool merged) {
  float point[16][3], weight[16];
  std::uint32_t pointColour[16];
  int points = 0;
  for (int i = 0; i < t.count; ++i) {
    int same = points;
    if (merged)
      for (int j = 0; j < points && same == points; ++j)
        if (pointColour[j] == t.colour[i]) same = j;
    if (same == points) {
      std::copy_n(t.x[i], 3, point[points]);
      pointColour[points] = t.colour[i];
      weight[points++] = 0;
    }
    weight[same] += 1;
  }
  float key[16];
  for (int i = 0; i < points; ++i) {
    key[i] = 0;
    for (int c = 0; c < 3; ++c) key[i] += (point[i][c] - axis.mean[c]) * axis.direction[c];
  }
  // Each point's rank, equal keys in texel order: no branches to mispredict.
  int order[16];
  for (int i = 0; i < points; ++i) {
    int rank = 0;
    for (int j = 0; j < points; ++j) rank += (key[j] < key[i]) | ((key[j] == key[i]) & (j < i));
    order[rank] = i;
  }
  OrderedTexels o;
  o.count = points;
  o.weight[0] = 0;
  for (int c = 0; c < 3; ++c) o.prefix[0][c] = 0, o.mean[c] = axis.mean[c];
  for (int i = 0; i < points; ++i) {
    const int p = order[i];
    o.weight[i + 1] = o.weight[i] + weight[p];
    for (int c = 0; c < 3; ++c) o.prefix[i + 1][c] = o.prefix[i][c] + weight[p] * (point[p][c] - axis.mean[c]);
  }
  return o;
}

// A split of the ordered points into four runs, on colour a, 2/3 a + 1/3 b,
// 1/3 a + 2/3 b and b. With x less the mean, the least-squares endpoints of
// a split are Xa (the sums of alpha x) times constants of the runs' weights
// alone, and so is its score, the sum of squares it explains:
// a - mean = Xa toA, b - mean = -Xa toB, score = |Xa|^2 explains.
struct SplitShape {
  std::uint8_t i1, i2, i3;  // the runs are [0, i1), [i1, i2), [i2, i3), [i3, count)
  float toA, toB, explains;  // explains < 0: singular (every texel on one endpoint)
};

SplitShape shapeOf(int i1, int i2, int i3, const float* weight, int count) {
  const float n1 = weight[i1], n2 = weight[i2] - weight[i1], n3 = weight[i3] - weight[i2];
  const float n4 = weight[count] - weight[i3];
  // Sums of alpha^2, beta^2 and alpha beta.
  const float aa = (9.0f * n1 + 4.0f * n2 + n3) / 9, bb = (9.0f * n4 + 4.0f * n3 + n2) / 9, ab = 2.0f * (n2 + n3) / 9;
  const float det = aa * bb - ab * ab;
  SplitShape shape{static_cast<std::uint8_t>(i1), static_cast<std::uint8_t>(i2), static_cast<std::uint8_t>(i3), 0, 0, -1};
  if (det < 1e-4f) return shape;
  shape.toA = (bb + ab) / det;
  shape.toB = (aa + ab) / det;
  shape.explains = (aa + bb + 2 * ab) / det;
  return shape;
}

// The trained split order of full blocks (16 points of weight 1), with each
// split's constants.
const std::vector<SplitShape>& trainedShapes() {
  static const std::vector<SplitShape> shapes = [] {
    float unit[17];
    for (int i = 0; i <= 16; ++i) unit[i] = float(i);
    std::vector<SplitShape> all;
    for (const SplitOrderEntry& split : splitOrder()) all.push_back(shapeOf(split.i1, split.i2, split.i3, unit, 16));
    return all;
  }();
  return shapes;
}

// Its score, a sum of three squares; O(1) from the prefix sums.
float scoreOf(const OrderedTexels& o, const SplitShape& shape, float xa[3]) {
  float squares = 0;
  for (int c = 0; c < 3; ++c) {
    xa[c] = (o.prefix[shape.i1][c] + o.prefix[shape.i2][c] + o.prefix[shape.i3][c]) * (1.0f / 3);
    squares += xa[c] * xa[c];
  }
  return squares * shape.explains;
}

float sumOfSquaresFromMean(const Texels& t, const Axis& axis) {
  float s = 0;
  for (int i = 0; i < t.count; ++i)
    for (int c = 0; c < 3; ++c) s += (t.x[i][c] - axis.mean[c]) * (t.x[i][c] - axis.mean[c]);
  return s;
}


// Stops once a split reaches the line error, which none can beat.
}  // namespace

bool clusterFit(const Texels& t, const Axis& axis, bool fewColours, float a[3], float b[3]) {
  const OrderedTexels o = orderAlong(t, axis, fewColours);
  const float floor = (sumOfSquaresFromMean(t, axis) - axis.lineError) * (1 - 1e-5f);
  float best = 0, bestXa[3] = {};
  SplitShape bestShape{};
  auto reachesFloor = [&](const SplitShape& shape) {
    if (shape.explains < 0) return false;
    float xa[3];
    const float score = scoreOf(o, shape, xa);
    if (score > best) {
      best = score;
      bestShape = shape;
      std::copy_n(xa, 3, bestXa);
    }
    return best >= floor;
  };
  if (o.count == 16) {
    const std::vector<SplitShape>& shapes = trainedShapes();
    const int tried = std::min<int>(kSplitsTried, static_cast<int>(shapes.size()));
    for (int k = 0; k < tried && !reachesFloor(shapes[k]); ++k) {
    }
  } else {
    bool done = false;
    for (int i1 = 0; i1 <= o.count && !done; ++i1)
      for (int i2 = i1; i2 <= o.count && !done; ++i2)
        for (int i3 = i2; i3 <= o.count && !done; ++i3) done = reachesFloor(shapeOf(i1, i2, i3, o.weight, o.count));
  }
  if (best <= 0) return false;
  for (int c = 0; c < 3; ++c) {
    a[c] = std::clamp(o.mean[c] + bestXa[c] * bestShape.toA, 0.0f, 255.0f);
    b[c] = std::clamp(o.mean[c] - bestXa[c] * bestShape.toB, 0.0f, 255.0f);
  }
  return true;
}

Axis principalAxis(const Texels& t) {
  Axis axis{};
  for (int i = 0; i < t.count; ++i)
    for (int c = 0; c < 3; ++c) axis.mean[c] += t.x[i][c];
  for (float& m : axis.mean) m /= t.count;
  float cov[3][3] = {};
  for (int i = 0; i < t.count; ++i) {
    float d[3];
    for (int c = 0; c < 3; ++c) d[c] = t.x[i][c] - axis.mean[c];
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) cov[r][c] += d[r] * d[c];
  }
  // Start from the row of the largest variance: never orthogonal to the axis
  // unless the covariance is degenerate.
  int start = 0;
  for (int c = 1; c < 3; ++c)
    if (cov[c][c] > cov[start][start]) start = c;
  float v[3] = {cov[start][0], cov[start][1], cov[start][2]};
  float eigenvalue = 0;
  for (int iteration = 0; iteration < kPowerIterations; ++iteration) {
    float w[3];
    for (int r = 0; r < 3; ++r) w[r] = cov[r][0] * v[0] + cov[r][1] * v[1] + cov[r][2] * v[2];
    const float length = std::sqrt(w[0] * w[0] + w[1] * w[1] + w[2] * w[2]);
    if (length < 1e-12f) break;
    eigenvalue = length;
    for (int c = 0; c < 3; ++c) v[c] = w[c] / length;
  }
  const float vLength = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  // From dark to bright, whatever sign the iteration ended with.
  const float sign = v[0] + v[1] + v[2] < 0 ? -1.0f : 1.0f;
  for (int c = 0; c < 3; ++c) axis.direction[c] = vLength > 0 ? sign * v[c] / vLength : (c == 1 ? 1.0f : 0.0f);
  axis.lineError = std::max(0.0f, cov[0][0] + cov[1][1] + cov[2][2] - eigenvalue);
  axis.low = 1e9f, axis.high = -1e9f;
  for (int i = 0; i < t.count; ++i) {
    float p = 0;
    for (int c = 0; c < 3; ++c) p += (t.x[i][c] - axis.mean[c]) * axis.direction[c];
    axis.low = std::min(axis.low, p), axis.high = std::max(axis.high, p);
  }
  return axis;
}

bool hasFewColours(const Texels& t) {
  std::uint32_t seen[kEverySplitUpTo];
  int distinct = 0;
  for (int i = 0; i < t.count; ++i) {
    if (std::find(seen, seen + distinct, t.colour[i]) != seen + distinct) continue;
    if (distinct == kEverySplitUpTo) return false;
    seen[distinct++] = t.colour[i];
  }
  return true;
}

#ifdef TF_SPLIT_TRAINING
void forEachSplitScore(const Texels& t, void (*visit)(void*, int, int, int, float), void* context) {
  const OrderedTexels o = orderAlong(t, principalAxis(t), false);
  for (int i1 = 0; i1 <= 16; ++i1)
    for (int i2 = i1; i2 <= 16; ++i2)
      for (int i3 = i2; i3 <= 16; ++i3) {
        const SplitShape shape = shapeOf(i1, i2, i3, o.weight, 16);
        float xa[3];
        if (shape.explains >= 0) visit(context, i1, i2, i3, scoreOf(o, shape, xa));
      }
}
#endif

}  // namespace colour

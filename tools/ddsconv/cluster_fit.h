#pragma once
// The principal axis of a block's texels and the cluster fit along it.
#include "block_texels.h"

namespace colour {

// The principal axis (a few power iterations on the covariance, pointing
// from dark to bright), the texels' extremes along it, and the squared
// distance of the texels from the line through their mean along it: no
// four colours on one line fit better.
struct Axis {
  float direction[3];
  float mean[3];
  float lineError;
  float low, high;  // the texels' extremes along it, from the mean
};

Axis principalAxis(const Texels& t);

// At most four distinct colours, whose splits the cluster fit tries all.
bool hasFewColours(const Texels& t);

// The cluster fit: the split of the texels, in order along the axis, into
// four runs (on colour a, the two middle colours and colour b) whose
// least-squares endpoints explain the most, and those endpoints. A block of
// few colours tries every split of its colours, a full block of many the
// splits in the trained order of their likelihood, any other every split.
// False when no split could be fitted.
bool clusterFit(const Texels& t, const Axis& axis, bool fewColours, float a[3], float b[3]);

#ifdef TF_SPLIT_TRAINING
// Every split of a full block along its axis with its score.
void forEachSplitScore(const Texels& t, void (*visit)(void*, int, int, int, float), void* context);
#endif

}  // namespace colour

#pragma once
// The splits of a full block's 16 texels, ordered along the principal axis,
// into four runs (on colour a, the two middle colours and colour b), in the
// order the cluster fit tries them: most often best first. The axis points
// from dark to bright, so a split and its mirror image are different fits.
// Trained offline by scripts/train-split-order; split_order.cpp is its
// output.
#include <cstdint>
#include <span>

struct SplitOrderEntry {
  std::uint8_t i1, i2, i3;  // the runs are [0, i1), [i1, i2), [i2, i3), [i3, 16)
};

std::span<const SplitOrderEntry> splitOrder();

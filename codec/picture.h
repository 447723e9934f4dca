#pragma once
// The picture an ImageCodec holds: a palette picture of 1, 4 or 8 bits
// (one index byte per pixel in memory) or a 24-bit true-colour picture
// (red, green, blue bytes per pixel), rows top first, with an optional
// alpha plane, a transparent index and a resolution.
#include <cstddef>
#include <cstdint>
#include <vector>

struct PaletteEntry {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
  bool operator==(const PaletteEntry&) const = default;
};

struct Picture {
  std::uint32_t width = 0, height = 0;
  int bitsPerPixel = 24;                    // 1, 4, 8 or 24
  std::vector<PaletteEntry> palette;        // 2, 16 or 256 entries; none for 24
  std::vector<std::uint8_t> paletteAlpha;   // one per entry when the file gives them
  std::vector<std::uint8_t> pixels;         // index or R,G,B per pixel
  std::vector<std::uint8_t> alpha;          // width × height, or empty
  int transparentIndex = -1;                // -1: none
  PaletteEntry transparentColour;
  double dpiX = 96, dpiY = 96;

  bool isPalette() const { return bitsPerPixel <= 8; }
  std::size_t pixelCount() const { return std::size_t{width} * height; }
};

inline constexpr double kInchesPerMetre = 39.37007874015748;

// The next depth that exists: 1, 4, 8 or 24.
int depthFor(int bits);
// Palette pictures whose entry i is (i, i, i) for every entry.
bool isGrayScale(const Picture& picture);
// Pixels per metre for a resolution in dpi (0 or less counts as 96).
std::int32_t pixelsPerMetre(double dpi);
// Sets a palette of exactly 2, 16 or 256 entries for the depth (missing
// entries black) and the depth itself.
void setPalette(Picture& picture, int bits, const std::vector<PaletteEntry>& entries);
// Drops an alpha plane that is zero everywhere (counts as no alpha).
void dropEmptyAlpha(Picture& picture);
// A dpi value from a file, with 0 or less (or nonsense) meaning 96.
double sanitizeDpi(double dpi);

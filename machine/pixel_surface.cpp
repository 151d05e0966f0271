#include "machine/core_host.h"

#include <algorithm>
#include <cstddef>

void PixelSurface::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  std::vector<uint32_t> resized(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  // Keep what is already drawn where it still fits, as a window that grows keeps its picture.
  const int keepW = std::min(width, width_);
  const int keepH = std::min(height, height_);
  for (int y = 0; y < keepH; ++y)
    std::copy_n(pixels_.begin() + static_cast<ptrdiff_t>(y) * width_, keepW,
                resized.begin() + static_cast<ptrdiff_t>(y) * width);
  pixels_ = std::move(resized);
  width_ = width;
  height_ = height;
  ++generation_;
}

void PixelSurface::Plot(int x, int y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = colour;
  ++generation_;
}

void PixelSurface::Clear(uint32_t colour) {
  std::fill(pixels_.begin(), pixels_.end(), colour);
  ++generation_;
}

uint32_t PixelSurface::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

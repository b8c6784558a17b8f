#include "charts/heat_map.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "records/text_utils.h"

namespace velmora {

namespace {

constexpr int kMargin = 2;

// The cell of a coordinate, kept on the grid: the first border cell before the first whole cell.
int CellOf(int coordinate, int offset, int cells) {
  const int cell = coordinate - offset < 0 ? 0 : (coordinate - offset) / kHeatCellSize + 1;
  return std::clamp(cell, 0, cells + 1);
}

// Integer weights of the Gaussian summing to 1 << 16, from -radius to radius.
std::vector<std::uint32_t> Kernel(double sigma, int radius) {
  std::vector<double> exact(static_cast<std::size_t>(2 * radius + 1));
  double sum = 0;
  for (int k = -radius; k <= radius; ++k) {
    exact[static_cast<std::size_t>(k + radius)] = std::exp(-0.5 * k * k / (sigma * sigma));
    sum += exact[static_cast<std::size_t>(k + radius)];
  }
  std::vector<std::uint32_t> weights(exact.size());
  std::uint32_t total = 0;
  for (std::size_t i = 0; i < exact.size(); ++i) {
    weights[i] = static_cast<std::uint32_t>(std::nearbyint(exact[i] / sum * 65536.0));
    total += weights[i];
  }
  weights[static_cast<std::size_t>(radius)] += 65536 - total;  // an exact sum keeps flat areas flat
  return weights;
}

// out[b] = sum over k of weights[k] * source(k)[b], for `count` bytes, rounded back to bytes.
template <typename TSource>
void Convolve(std::uint8_t* out, std::size_t count, const std::vector<std::uint32_t>& weights, TSource source,
              std::vector<std::uint32_t>& sums) {
  sums.assign(count, 32768);
  for (std::size_t k = 0; k < weights.size(); ++k) {
    const std::uint8_t* in = source(k);
    const std::uint32_t weight = weights[k];
    std::uint32_t* sum = sums.data();
    for (std::size_t b = 0; b < count; ++b) sum[b] += weight * in[b];
  }
  for (std::size_t b = 0; b < count; ++b) out[b] = static_cast<std::uint8_t>(sums[b] >> 16);
}

}  // namespace

THeatGrid::THeatGrid(int width, int height)
    : Width_(width), Height_(height), Nx_(width / kHeatCellSize), Ny_(height / kHeatCellSize) {
  Clear();
}

void THeatGrid::Clear() {
  Counts_.assign(static_cast<std::size_t>((Nx_ + 2 + 2 * kMargin) * (Ny_ + 2 + 2 * kMargin)), 0);
}

std::size_t THeatGrid::Offset(int i, int j) const {
  return static_cast<std::size_t>((j + kMargin) * (Nx_ + 2 + 2 * kMargin) + i + kMargin);
}

void THeatGrid::Stamp(TCourtPoint point) {
  // Coordinates from an imported file may lie anywhere; the cell stays on the grid.
  const int ix = CellOf(point.X, (Width_ - kHeatCellSize * Nx_) / 2, Nx_);
  const int iy = CellOf(point.Y, (Height_ - kHeatCellSize * Ny_) / 2, Ny_);
  for (int j = -2; j <= 2; ++j) {
    for (int i = -2; i <= 2; ++i) {
      const int ring = std::max(std::abs(i), std::abs(j));
      Cell(ix + i, iy + j) += ring == 2 ? 1 : ring == 1 ? 4 : 13;
    }
  }
}

void THeatGrid::Normalise(int intensity) {
  const int t = std::clamp(intensity, kMinIntensity, kMaxIntensity);
  for (int& count : Counts_) count = IntMin(count, t) * 255 / t;
}

std::vector<std::vector<int>> THeatGrid::Cells() const {
  std::vector<std::vector<int>> rows;
  for (int j = 0; j <= Ny_ + 1; ++j) {
    std::vector<int>& row = rows.emplace_back();
    for (int i = 0; i <= Nx_ + 1; ++i) row.push_back(At(i, j));
  }
  return rows;
}

std::uint32_t HeatColour(int value) {
  // The colour comes with red in its low byte.
  const std::uint32_t colour = HsvToColor(value, 1, 1);
  return (colour & 0xFF) << 16 | (colour & 0xFF00) | (colour >> 16 & 0xFF);
}

std::vector<THeatCell> HeatCells(const THeatGrid& grid) {
  const int nx = grid.Columns();
  const int ny = grid.Rows();
  // The quarter's value: the average with both neighbours on its corner where the cell differs from both.
  const auto corner = [](bool inside, int v, int a, int b) { return inside && v != a && v != b ? Average3(a, b, v) : v; };
  std::vector<THeatCell> cells;
  cells.reserve(static_cast<std::size_t>((nx + 2) * (ny + 2)));
  for (int i = 0; i <= nx + 1; ++i) {
    for (int j = 0; j <= ny + 1; ++j) {
      const int v = grid.At(i, j);
      const int left = grid.At(i - 1, j);
      const int right = grid.At(i + 1, j);
      const int above = grid.At(i, j - 1);
      const int below = grid.At(i, j + 1);
      THeatCell& cell = cells.emplace_back();
      cell.X = grid.OriginX() + kHeatCellSize * i;
      cell.Y = grid.OriginY() + kHeatCellSize * j;
      cell.Quarters[0] = HeatColour(corner(i > 0 && j > 0, v, above, left));
      cell.Quarters[1] = HeatColour(corner(i > 0 && j < ny + 1, v, left, below));
      cell.Quarters[2] = HeatColour(corner(i < nx + 1 && j < ny + 1, v, right, below));
      cell.Quarters[3] = HeatColour(corner(i < nx + 1 && j > 0, v, right, above));
      cell.Colour = HeatColour(v);
    }
  }
  return cells;
}

double HeatBlurSigma(double scale) { return 9.0 * scale; }

void GaussianBlur(std::uint32_t* pixels, int width, int height, int stride, double sigma) {
  if (width <= 0 || height <= 0 || sigma <= 0) return;
  const int radius = static_cast<int>(std::ceil(3 * sigma));
  const std::vector<std::uint32_t> weights = Kernel(sigma, radius);
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint32_t> sums;

  // Rows: each row with its edge pixels repeated `radius` times on both sides.
  std::vector<std::uint8_t> padded((static_cast<std::size_t>(width) + 2 * radius) * 4);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint8_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = -radius; x < width + radius; ++x) {
      std::memcpy(&padded[static_cast<std::size_t>(x + radius) * 4], row + std::clamp(x, 0, width - 1) * 4, 4);
    }
    Convolve(row, rowBytes, weights, [&](std::size_t k) { return padded.data() + k * 4; }, sums);
  }

  // Columns: every output row from the rows around it, edge rows repeated.
  std::vector<std::uint8_t> source(rowBytes * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    std::memcpy(&source[rowBytes * static_cast<std::size_t>(y)], pixels + static_cast<std::ptrdiff_t>(y) * stride,
                rowBytes);
  }
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint8_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride);
    const auto around = [&](std::size_t k) {
      const int from = std::clamp(y + static_cast<int>(k) - radius, 0, height - 1);
      return source.data() + rowBytes * static_cast<std::size_t>(from);
    };
    Convolve(row, rowBytes, weights, around, sums);
  }
}

}  // namespace velmora

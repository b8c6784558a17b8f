#pragma once
// The shot heat map without a screen: a grid of 14-pixel cells over the full court, each shot
// stamping a 5 x 5 block around its cell; the normalisation by the intensity; the colours of every
// cell; and the Gaussian blur that melts the cells into one colour field.

#include <cstdint>
#include <vector>

#include "charts/court_geometry.h"

namespace velmora {

inline constexpr int kHeatCellSize = 14;
inline constexpr int kMinIntensity = 2;
inline constexpr int kMaxIntensity = 100;
inline constexpr int kDefaultIntensity = 50;

class THeatGrid {
 public:
  // Cells 0 and Columns() + 1 (and rows 0 and Rows() + 1) are a border that reaches past the
  // picture's edges; two more cells of margin on every side take the stamp's outer ring.
  explicit THeatGrid(int width = kFullCourtWidth, int height = kFullCourtHeight);

  int Columns() const { return Nx_; }
  int Rows() const { return Ny_; }
  // The top left corner of cell (0, 0) on the picture.
  int OriginX() const { return (Width_ - kHeatCellSize * Nx_) / 2 - kHeatCellSize; }
  int OriginY() const { return (Height_ - kHeatCellSize * Ny_) / 2 - kHeatCellSize; }

  void Clear();
  // One shot at a point of the picture: 13 to its cell, 4 to the eight around it, 1 to the ring
  // outside them. A point off the picture stamps the nearest border cell.
  void Stamp(TCourtPoint point);
  // Every count c becomes min(c, intensity) * 255 / intensity; the intensity is kept in 2..100.
  void Normalise(int intensity);

  // Cell (i, j) for i from -2 to Columns() + 3 and j from -2 to Rows() + 3.
  int At(int i, int j) const { return Counts_[Offset(i, j)]; }
  // Rows 0 to Rows() + 1 of cells 0 to Columns() + 1.
  std::vector<std::vector<int>> Cells() const;

 private:
  std::size_t Offset(int i, int j) const;
  int& Cell(int i, int j) { return Counts_[Offset(i, j)]; }

  int Width_;
  int Height_;
  int Nx_;
  int Ny_;
  std::vector<int> Counts_;
};

// The drawing colour of a normalised value, 0xRRGGBB: 0 blue, about 120 green, 240 and above red.
std::uint32_t HeatColour(int value);

// One cell as it is painted: the four quarters (top left, bottom left, bottom right, top right;
// each 7 x 7), then a rounded square over the whole cell. A quarter takes the average of the cell
// and its two neighbours on that corner where the cell differs from both, which rounds the
// colour field's steps before the blur.
struct THeatCell {
  int X = 0;
  int Y = 0;
  std::uint32_t Quarters[4] = {};
  std::uint32_t Colour = 0;
};
// Every cell of a normalised grid, column by column.
std::vector<THeatCell> HeatCells(const THeatGrid& grid);

// The blur's strength for a picture drawn `scale` times the court's size: four passes of radius 9,
// each taken as a Gaussian of standard deviation 4.5, add up to one of standard deviation 9.
double HeatBlurSigma(double scale = 1.0);
// Blurs 32-bit pixels (four 8-bit channels each) in place with a Gaussian of the standard
// deviation, one row pass and one column pass; the picture's edge pixels extend past it.
// `stride` counts pixels from one row to the next.
void GaussianBlur(std::uint32_t* pixels, int width, int height, int stride, double sigma);

}  // namespace velmora

#include "TileGrid.h"

#include <algorithm>

namespace dt::station {

namespace {

// A tile's best shape, width over height: room for a state word and a few lines below it.
constexpr double kTileAspect = 1.3;
constexpr int kGap = 6;

// Width of the largest tile of the best shape that fits a w x h place.
double FitWidth(double w, double h) { return std::min(w, h * kTileAspect); }

}  // namespace

int GridColumns(int n, int width, int height) {
    if (n <= 1 || width <= 0 || height <= 0) return 1;
    double best = 0;
    for (int c = 1; c <= n; ++c) {
        const int rows = (n + c - 1) / c;
        best = std::max(best, FitWidth(double(width) / c, double(height) / rows));
    }
    int chosen = 1, fewestEmpty = n;
    double chosenFit = 0;
    for (int c = 1; c <= n; ++c) {
        const int rows = (n + c - 1) / c;
        const int empty = rows * c - n;
        const double fit = FitWidth(double(width) / c, double(height) / rows);
        if (fit < best * 0.9 || empty > fewestEmpty || (empty == fewestEmpty && fit <= chosenFit)) continue;
        chosen = c;
        fewestEmpty = empty;
        chosenFit = fit;
    }
    return chosen;
}

void TileGrid::SetTiles(const std::vector<QWidget*>& tiles) {
    for (QWidget* t : tiles_) delete t;
    tiles_ = tiles;
    for (QWidget* t : tiles_) {
        t->setParent(this);
        t->show();
    }
    Place();
}

void TileGrid::Place() {
    const int n = static_cast<int>(tiles_.size());
    if (n == 0) return;
    columns_ = GridColumns(n, width(), height());
    const int rows = (n + columns_ - 1) / columns_;
    const int w = (width() - kGap * (columns_ + 1)) / columns_;
    const int h = (height() - kGap * (rows + 1)) / rows;
    for (int i = 0; i < n; ++i) {
        const int col = i % columns_, row = i / columns_;
        tiles_[i]->setGeometry(kGap + col * (w + kGap), kGap + row * (h + kGap), std::max(w, 1), std::max(h, 1));
    }
}

}  // namespace dt::station

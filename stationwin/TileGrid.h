#pragma once
// The tiles of a station, filling their space: as many columns as give the largest tiles of a
// landscape shape for the count and the space's aspect.
#include <QWidget>
#include <vector>

namespace dt::station {

// Columns for n tiles in width x height. Among shapes that give tiles within a tenth of the
// largest, the one with the fewest empty places wins (8 in 1024x600: 4; 32 in 1920x1080: 8).
int GridColumns(int n, int width, int height);

class TileGrid : public QWidget {
public:
    explicit TileGrid(QWidget* parent = nullptr) : QWidget(parent) {}
    // The grid takes the tiles as children.
    void SetTiles(const std::vector<QWidget*>& tiles);
    int Columns() const { return columns_; }

protected:
    void resizeEvent(QResizeEvent*) override { Place(); }

private:
    void Place();
    std::vector<QWidget*> tiles_;
    int columns_ = 1;
};

}  // namespace dt::station

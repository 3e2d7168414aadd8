// The station window's parts on their own: the tile grid's shape, the slots' ports and their
// settings, the recipe file's refusals and summary, the CSV the history exports, and the tile.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>

#include "HistoryPanel.h"
#include "LanguageSetup.h"
#include "QtTestApp.h"
#include "RecipeFile.h"
#include "SlotPorts.h"
#include "SlotTile.h"
#include "TileGrid.h"

using namespace dt::station;


TEST(TileGridTest, ColumnsFillTheWindowForTheCountAndTheAspect) {
    struct Case {
        int n, w, h, columns;
    } cases[] = {
        {1, 1000, 500, 1}, {8, 1000, 460, 4}, {32, 1900, 940, 8}, {4, 1000, 460, 2},
        {4, 600, 900, 2},  {6, 1000, 460, 3}, {2, 300, 900, 1},   {0, 500, 500, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(GridColumns(c.n, c.w, c.h), c.columns) << c.n << " in " << c.w << "x" << c.h;
}

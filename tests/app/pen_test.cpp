#include <cstdlib>
#include <set>
#include <tuple>
#include <vector>

#include "app/pen.h"
#include "app_fixture.h"

namespace {

using Cell = std::tuple<int, int, int>;

class PenTest : public AppTest {
protected:
    void aim(int x, int y, int z, int size, int type) {
        point_x = x;
        point_y = y;
        point_z = z;
        pen_size = size;
        selected_type = type;
    }

    static std::set<Cell> cells_of(int type) {
        std::set<Cell> cells;
        for (int x = 0; x < GRID_X; ++x)
            for (int y = 0; y < GRID_Y; ++y)
                for (int z = 0; z < GRID_Z; ++z)
                    if (w->grid[x][y][z].id == type) cells.insert({x, y, z});
        return cells;
    }

    // The cells of `type` within three cells of (50, 25, 50), where the scatter lands.
    static std::set<Cell> cells_near_middle(int type) {
        std::set<Cell> cells;
        for (int x = 47; x <= 53; ++x)
            for (int y = 22; y <= 28; ++y)
                for (int z = 47; z <= 53; ++z)
                    if (w->grid[x][y][z].id == type) cells.insert({x, y, z});
        return cells;
    }

    static void fill_box(int type, int low, int high) {
        for (int x = low; x <= high; ++x)
            for (int y = low; y <= high; ++y)
                for (int z = low; z <= high; ++z) w->add_particle(type, x, y, z);
    }
};

// The cells of the cube of edge `size` that the pen lays around (x, y, z);
// `shell` keeps only the cells on its faces.
std::set<Cell> expected_cube(int x, int y, int z, int size, bool shell) {
    const int low = -(size - 1) / 2;
    const int high = low + size - 1;
    std::set<Cell> cells;
    for (int dx = low; dx <= high; ++dx)
        for (int dy = low; dy <= high; ++dy)
            for (int dz = low; dz <= high; ++dz) {
                const bool face = dx == low || dx == high || dy == low || dy == high || dz == low || dz == high;
                if (shell && !face) continue;
                cells.insert({x + dx, y + dy, z + dz});
            }
    return cells;
}

TEST_F(PenTest, ZeroSizeRestoresSizeOneAndPlacesNothing) {
    aim(50, 25, 50, 0, TYPE_SAND);
    add_sand();
    EXPECT_EQ(pen_size, 1);
    EXPECT_EQ(count_non_empty(), 0);
}

TEST_F(PenTest, SizeOnePenPlacesOnEverySecondApplication) {
    aim(50, 25, 50, 1, TYPE_SAND);
    const std::vector<int> expected_size = {0, 1, 0, 1, 0};
    const std::vector<bool> expected_placed = {true, false, true, false, true};
    for (std::size_t i = 0; i < expected_size.size(); ++i) {
        w->add_particle(TYPE_ERASER, 50, 25, 50);
        add_sand();
        EXPECT_EQ(id_at(50, 25, 50) == TYPE_SAND, expected_placed[i]) << "application " << i;
        EXPECT_EQ(pen_size, expected_size[i]) << "application " << i;
        EXPECT_EQ(count_non_empty(), expected_placed[i] ? 1 : 0);
    }
}

TEST_F(PenTest, SizeOneEraserClearsOnEveryApplication) {
    aim(10, 0, 90, 1, TYPE_ERASER);
    for (int i = 0; i < 4; ++i) {
        w->add_particle(TYPE_WATER, 10, 0, 90);
        add_sand();
        EXPECT_EQ(id_at(10, 0, 90), TYPE_ERASER) << "application " << i;
        EXPECT_EQ(pen_size, 1);
    }
}

TEST_F(PenTest, SizeOneOfImmobileTypes) {
    for (int type : {TYPE_GLASS, TYPE_WALL}) {
        aim(20, 30, 40, 1, type);
        add_sand();
        EXPECT_EQ(id_at(20, 30, 40), type);
#if GRAINVOX_EARLY_STAGE
        // One phase code for everything that never moves: it keeps size 1.
        EXPECT_EQ(pen_size, 1);
#else
        EXPECT_EQ(pen_size, 0);
#endif
    }
}

TEST_F(PenTest, EraserCubeClearsFullCube) {
    fill_box(TYPE_SAND, 20, 30);
    aim(25, 25, 25, 4, TYPE_ERASER);
    add_sand();
    const auto cube = expected_cube(25, 25, 25, 4, false);
    ASSERT_EQ(cube.size(), 64u);
    for (const auto& [x, y, z] : cube) EXPECT_EQ(id_at(x, y, z), TYPE_ERASER);
    EXPECT_EQ(count_cells(TYPE_SAND), 11 * 11 * 11 - 64);
    // Even sizes reach one cell further towards +x, +y, +z.
    EXPECT_EQ(id_at(24, 25, 25), TYPE_ERASER);
    EXPECT_EQ(id_at(23, 25, 25), TYPE_SAND);
    EXPECT_EQ(id_at(27, 25, 25), TYPE_ERASER);
    EXPECT_EQ(id_at(28, 25, 25), TYPE_SAND);
    EXPECT_EQ(id_at(25, 23, 25), TYPE_SAND);
    EXPECT_EQ(id_at(25, 27, 28), TYPE_SAND);
    EXPECT_EQ(pen_size, 4);
}

TEST_F(PenTest, EraserCubeAtTheCornerLandsOnTheBorder) {
    fill_box(TYPE_SAND, 0, 5);
    aim(0, 0, 0, 5, TYPE_ERASER);
    add_sand();
    for (int x = 0; x <= 5; ++x)
        for (int y = 0; y <= 5; ++y)
            for (int z = 0; z <= 5; ++z) {
                const bool cleared = x <= 2 && y <= 2 && z <= 2;
                EXPECT_EQ(id_at(x, y, z), cleared ? TYPE_ERASER : TYPE_SAND) << x << "," << y << "," << z;
            }

    fill_box(TYPE_SAND, 0, 5);
    pen_size = 2;
    add_sand();
    EXPECT_EQ(count_cells(TYPE_SAND), 6 * 6 * 6 - 8);
    EXPECT_EQ(id_at(1, 1, 1), TYPE_ERASER);
    EXPECT_EQ(id_at(2, 0, 0), TYPE_SAND);
}

TEST_F(PenTest, ImmobileCubeShapes) {
    struct Case {
        int type, size;
        std::size_t shell_cells;
    };
    for (const Case& c : {Case{TYPE_WALL, 3, 26}, Case{TYPE_GLASS, 7, 218}, Case{TYPE_GLASS, 2, 8}}) {
        SetUp();
        // Something already inside the cube shows whether the inside is left alone.
        w->add_particle(TYPE_WATER, 50, 25, 50);
        aim(50, 25, 50, c.size, c.type);
        add_sand();
        const std::set<Cell> placed = cells_of(c.type);
#if GRAINVOX_EARLY_STAGE
        EXPECT_EQ(placed, expected_cube(50, 25, 50, c.size, false)) << "size " << c.size;
        EXPECT_EQ(count_cells(TYPE_WATER), 0);
#else
        EXPECT_EQ(placed.size(), c.shell_cells) << "size " << c.size;
        EXPECT_EQ(placed, expected_cube(50, 25, 50, c.size, true)) << "size " << c.size;
        EXPECT_EQ(count_cells(TYPE_WATER), c.size > 2 ? 1 : 0);
#endif
        EXPECT_EQ(pen_size, c.size);
    }
}

// Decodes one scatter particle from a list of draws, as the pen takes them:
// three offsets in the order x, y, z, and a fourth draw that widens z when
// the x offset is 0, or x when the z offset is 0.
Cell decode_scatter(const std::vector<int>& draws, std::size_t& next) {
    auto step = [&]() { return draws[next++] % 3 - 1; };
    int dx = step();
    const int dy = step();
    int dz = step();
    if (dx == 0)
        dz += step();
    else if (dz == 0)
        dx += step();
    return {dx, dy, dz};
}

TEST_F(PenTest, ScatterTakesItsOffsetsFromTheGeneratorInOrder) {
    for (unsigned seed = 1; seed <= 40; ++seed)
        for (int size = 2; size <= 7; ++size) {
            std::srand(seed);
            std::vector<int> draws(64);
            for (int& d : draws) d = std::rand();

            std::set<Cell> expected;
            std::size_t used = 0;
            for (int n = 0; n < size - 1; ++n) {
                const auto [dx, dy, dz] = decode_scatter(draws, used);
                expected.insert({50 + dx, 25 + dy, 50 + dz});
            }

            std::srand(seed);
            aim(50, 25, 50, size, TYPE_WATER);
            add_sand();
            EXPECT_EQ(cells_near_middle(TYPE_WATER), expected) << "seed " << seed << " size " << size;
            EXPECT_EQ(std::rand(), draws[used]) << "seed " << seed << " size " << size << ": draws taken";
            EXPECT_EQ(pen_size, size);
            for (const auto& [x, y, z] : expected) w->add_particle(TYPE_ERASER, x, y, z);
            ASSERT_TRUE(cells_near_middle(TYPE_WATER).empty());
        }
    EXPECT_EQ(count_non_empty(), 0);
}

TEST_F(PenTest, ScatterOffsetsCoverTheirRangeAndNoMore) {
    std::srand(7);
    std::set<Cell> seen;
    aim(50, 25, 50, 2, TYPE_SAND);
    for (int i = 0; i < 3000; ++i) {
        add_sand();
        const std::set<Cell> placed = cells_near_middle(TYPE_SAND);
        ASSERT_EQ(placed.size(), 1u);
        const auto [x, y, z] = *placed.begin();
        const int dx = x - 50, dy = y - 25, dz = z - 50;
        ASSERT_LE(std::abs(dy), 1);
        ASSERT_LE(std::abs(dx), 2);
        ASSERT_LE(std::abs(dz), 2);
        if (std::abs(dx) == 2) {
            ASSERT_EQ(dz, 0);
        }
        if (std::abs(dz) == 2) {
            ASSERT_EQ(dx, 0);
        }
        seen.insert({dx, dy, dz});
        w->add_particle(TYPE_ERASER, x, y, z);
    }
    // 3 x 3 x 3 offsets plus (+-2, 0) and (0, +-2) in every layer.
    EXPECT_EQ(seen.size(), 27u + 12u);
    EXPECT_EQ(count_non_empty(), 0);
}

TEST_F(PenTest, ScatterAtTheBorderStaysInTheGrid) {
    std::srand(3);
    aim(0, 0, 99, 7, TYPE_OIL);
    for (int i = 0; i < 200; ++i) add_sand();
    for (const auto& [x, y, z] : cells_of(TYPE_OIL)) {
        EXPECT_LE(x, 2);
        EXPECT_LE(y, 1);
        EXPECT_GE(z, 97);
    }
    EXPECT_GT(count_cells(TYPE_OIL), 0);
}

TEST_F(PenTest, PlacingReplacesWhatTheCellHeld) {
    w->add_particle(TYPE_OIL, 30, 10, 30);
    w->grid[30][10][30].ignition_delay = 0;
    aim(30, 10, 30, 1, TYPE_OIL);
    add_sand();
    EXPECT_EQ(w->grid[30][10][30].ignition_delay, w->types[TYPE_OIL].ignition_delay);
    EXPECT_EQ(w->grid[30][10][30].burn_time, w->types[TYPE_OIL].burn_time);
}

}  // namespace

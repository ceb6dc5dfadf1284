// The CPU side of the batched drawing, without a display: the camera taken
// from GL's matrices, and which faces of a frame's cubes may be left out.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "render/core/cell_drawing.h"
#include "render/core/cell_mesh.h"
#include "render/core/fast_faces.h"
#include "render/core/fast_frame_record.h"
#include "scenes.h"
#include "sim/sweep.h"

namespace {

constexpr double PI = 3.14159265358979323846;
constexpr int FACE_PLUS_X = 0, FACE_MINUS_X = 1, FACE_PLUS_Z = 4, FACE_MINUS_Z = 5;

// Column-major 4 x 4 matrices, as GL keeps them.
struct matrix {
    double m[16];
};

matrix identity() {
    matrix r{};
    for (int i = 0; i < 4; ++i) r.m[i * 5] = 1.0;
    return r;
}

matrix times(const matrix& a, const matrix& b) {
    matrix r{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            for (int k = 0; k < 4; ++k) r.m[column * 4 + row] += a.m[k * 4 + row] * b.m[column * 4 + k];
    return r;
}

matrix translation(double x, double y, double z) {
    matrix r = identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

matrix rotation(double degrees, int axis) {
    const double c = std::cos(degrees * PI / 180.0), s = std::sin(degrees * PI / 180.0);
    matrix r = identity();
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    r.m[a * 4 + a] = c;
    r.m[b * 4 + b] = c;
    r.m[a * 4 + b] = s;
    r.m[b * 4 + a] = -s;
    return r;
}

// The program's camera: back by the distance, tilt, turn, centre the floor.
matrix camera(double elevation, double azimuth, double distance) {
    return times(times(times(translation(0, 0, -distance), rotation(elevation, 0)), rotation(azimuth, 1)),
                 translation(-GRID_X / 2, 0, -GRID_Z / 2));
}

// glFrustum(-w, w, -1, 1, 2, 1000) for a window w times as wide as it is high.
matrix frustum_projection() {
    const double width_over_height = 640.0 / 480.0, near = 2.0, far = 1000.0;
    matrix r{};
    r.m[0] = near / width_over_height;
    r.m[5] = near;
    r.m[10] = -(far + near) / (far - near);
    r.m[11] = -1.0;
    r.m[14] = -2.0 * far * near / (far - near);
    return r;
}

frame_view view_of(double elevation, double azimuth, double distance) {
    constexpr int WINDOW[4] = {0, 0, 640, 480};
    return view_from_matrices(camera(elevation, azimuth, distance).m, frustum_projection().m, WINDOW);
}

}  // namespace

TEST(ViewGeometry, EyeSitsWhereTheOrbitPutsIt) {
    const double cases[][3] = {{20.0, 0.0, 100.0}, {60.0, 135.0, 30.0}, {340.0, 250.0, 75.0}};
    for (const auto& c : cases) {
        const frame_view view = view_of(c[0], c[1], c[2]);
        const double e = c[0] * PI / 180.0, a = c[1] * PI / 180.0, d = c[2];
        EXPECT_NEAR(view.eye[0], GRID_X / 2 - d * std::cos(e) * std::sin(a), 1e-9);
        EXPECT_NEAR(view.eye[1], d * std::sin(e), 1e-9);
        EXPECT_NEAR(view.eye[2], GRID_Z / 2 + d * std::cos(e) * std::cos(a), 1e-9);
    }
}

TEST(ViewGeometry, BoxesInsideOutsideAndAtTheNearPlane) {
    const frame_view view = view_of(0.0, 0.0, 60.0);  // eye at (50, 0, 110), looking along -z
    EXPECT_FALSE(box_outside_view(view, 50, 0, 50, 0.5));
    EXPECT_TRUE(box_outside_view(view, 50, 0, 99 + 20, 0.5)) << "behind the eye";
    EXPECT_TRUE(box_outside_view(view, 0, 40, 100, 0.5)) << "off to the side, close by";
    const double low[3] = {-10.0, -0.5, 50.0}, high[3] = {110.0, 0.5, 51.0};
    EXPECT_FALSE(box_outside_view(view, low, high)) << "a long box that crosses the view";

    EXPECT_TRUE(box_beyond_near(view, 50, 0, 50, 0.5));
    EXPECT_TRUE(box_beyond_near(view, 50, 0, 107, 0.5)) << "nearest face 2.5 away";
    EXPECT_FALSE(box_beyond_near(view, 50, 0, 108, 0.5)) << "nearest face 1.5 away: cut by the near plane";
}

TEST(FrameRecord, LookOfACellFollowsItsAlphaAndFire) {
    EXPECT_EQ(look_of(1.0f, false), cell_look::opaque);
    EXPECT_EQ(look_of(0.3f, false), cell_look::see_through);
    EXPECT_EQ(look_of(0.11f, false), cell_look::see_through);
    EXPECT_EQ(look_of(0.1f, false), cell_look::faint);
    EXPECT_EQ(look_of(0.0f, false), cell_look::faint);
    EXPECT_EQ(look_of(1.0f, true), cell_look::fountain);
}

TEST(FrameRecord, SweepsExactlyAsThePlainDrawingDoes) {
    std::unique_ptr<world> recorded(new world()), plain(new world());
    build_burning_oil(*recorded);
    build_burning_oil(*plain);
#if GRAINVOX_HAS_GASES
    fill_box(*recorded, TYPE_METHANE, 5, 15, 5, 10, 5, 15);  // gases that climb ahead of the sweep
    fill_box(*plain, TYPE_METHANE, 5, 15, 5, 10, 5, 15);
#endif
    frame_record record;

    for (int frame = 0; frame < 3; ++frame) {
        std::srand(77u + frame);
        record.sweep(*recorded);
        const int after_recorded = std::rand();

        std::srand(77u + frame);
        std::vector<cell_draw> expected;
        sweep_frame(*plain, [&](const ParticleType& before, int x, int y, int z) {
            cell_draw d{static_cast<float>(before.red), static_cast<float>(before.green),
                        static_cast<float>(before.blue), static_cast<float>(before.alpha),
                        static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), static_cast<std::int16_t>(z),
                        NO_FOUNTAIN};
            if (is_burning(before)) d.fountain = static_cast<std::int16_t>(pick_fountain(*plain, x, y, z));
            expected.push_back(d);
        });
        EXPECT_EQ(after_recorded, std::rand()) << "rand() drawn differently";
        EXPECT_EQ(cells_differing(*recorded, *plain), 0);

        const std::vector<cell_draw>& draws = record.draws();
        ASSERT_EQ(draws.size(), expected.size());
        int fountains = 0;
        std::uint32_t blended = 0;
        for (std::size_t i = 0; i < draws.size(); ++i) {
            const cell_draw &got = draws[i], &want = expected[i];
            ASSERT_TRUE(got.x == want.x && got.y == want.y && got.z == want.z) << "draw " << i;
            EXPECT_TRUE(got.red == want.red && got.green == want.green && got.blue == want.blue &&
                        got.alpha == want.alpha && got.fountain == want.fountain)
                << "draw " << i;
            const int key = sweep_key(got.x, got.y, got.z);
            EXPECT_EQ(record.look(key), look_of(got.alpha, got.fountain != NO_FOUNTAIN));
            EXPECT_EQ(record.blended_before(key), blended) << "draw " << i;
            if (record.look(key) == cell_look::see_through || record.look(key) == cell_look::faint) ++blended;
            if (got.fountain != NO_FOUNTAIN) ++fountains;
        }
        EXPECT_GT(fountains, 0) << "the scene must burn";
    }

    // A frame of an empty box forgets every look of the last one.
    std::unique_ptr<world> empty(new world());
    record.sweep(*empty);
    EXPECT_TRUE(record.draws().empty());
    int remembered = 0;
    for (int key = 0; key < GRID_CELLS; ++key)
        if (record.look(key) != cell_look::none) ++remembered;
    EXPECT_EQ(remembered, 0);
}

namespace {

// Static cells keep their places, so the fates depend on the layout alone.
struct placed_cell {
    int type, x, y, z;
};

frame_record record_of(std::initializer_list<placed_cell> cells) {
    std::unique_ptr<world> w(new world());
    for (const placed_cell& c : cells) w->add_particle(c.type, c.x, c.y, c.z);
    frame_record record;
    record.sweep(*w);
    return record;
}

}  // namespace

TEST(FaceFate, OpaqueNeighboursHideTheFacesBetweenThem) {
    const frame_view front = view_of(20.0, 0.0, 100.0);  // eye near (50, 34, 144)
    const frame_record record = record_of({{TYPE_WALL, 10, 5, 20}, {TYPE_WALL, 10, 5, 21}});
    // Painted over by the later cell: nothing blended is drawn in between.
    EXPECT_EQ(cube_face_fate(record, front, 10, 5, 20, FACE_PLUS_Z), face_fate::hidden);
    EXPECT_EQ(cube_face_fate(record, front, 10, 5, 21, FACE_MINUS_Z), face_fate::culled);
    EXPECT_EQ(cube_face_fate(record, front, 10, 5, 21, FACE_PLUS_Z), face_fate::drawn);
    EXPECT_EQ(cube_face_fate(record, front, 10, 5, 20, FACE_MINUS_X), face_fate::culled);
    EXPECT_EQ(cube_face_fate(record, front, 10, 5, 20, FACE_PLUS_X), face_fate::drawn);

    // Seen from the other side, the later cell's face lies behind the earlier cell.
    const frame_view back = view_of(20.0, 180.0, 100.0);
    EXPECT_EQ(cube_face_fate(record, back, 10, 5, 21, FACE_MINUS_Z), face_fate::hidden);
    EXPECT_EQ(cube_face_fate(record, back, 10, 5, 20, FACE_MINUS_Z), face_fate::drawn);
}

TEST(FaceFate, ABlendedCellDrawnInBetweenKeepsTheFace) {
    const frame_view front = view_of(20.0, 0.0, 100.0);
    // (20, 5, 60) comes between (20, 5, 20) and (21, 5, 20) in the sweep.
    const frame_record with_glass =
        record_of({{TYPE_WALL, 20, 5, 20}, {TYPE_WALL, 21, 5, 20}, {TYPE_GLASS, 20, 5, 60}});
    EXPECT_EQ(cube_face_fate(with_glass, front, 20, 5, 20, FACE_PLUS_X), face_fate::drawn);
    const frame_record without = record_of({{TYPE_WALL, 20, 5, 20}, {TYPE_WALL, 21, 5, 20}, {TYPE_WALL, 20, 5, 60}});
    EXPECT_EQ(cube_face_fate(without, front, 20, 5, 20, FACE_PLUS_X), face_fate::hidden);
}

TEST(FaceFate, SeeThroughNeighboursHideOnlyWhenDrawnFirst) {
    const frame_record record = record_of({{TYPE_GLASS, 30, 5, 20}, {TYPE_GLASS, 30, 5, 21}});
    const frame_view front = view_of(20.0, 0.0, 100.0);
    EXPECT_EQ(cube_face_fate(record, front, 30, 5, 20, FACE_PLUS_Z), face_fate::drawn)
        << "the later Glass is blended over it";
    const frame_view back = view_of(20.0, 180.0, 100.0);
    EXPECT_EQ(cube_face_fate(record, back, 30, 5, 21, FACE_MINUS_Z), face_fate::hidden);

    // Glass before Wall: the Wall's face behind the Glass fails the depth test.
    const frame_record mixed = record_of({{TYPE_GLASS, 30, 5, 20}, {TYPE_WALL, 30, 5, 21}});
    EXPECT_EQ(cube_face_fate(mixed, back, 30, 5, 21, FACE_MINUS_Z), face_fate::hidden);
    EXPECT_EQ(cube_face_fate(mixed, front, 30, 5, 20, FACE_PLUS_Z), face_fate::hidden);
}

TEST(FaceFate, FacesAtTheEdgeOrNearTheEyeAreDrawn) {
    const frame_view front = view_of(20.0, 0.0, 100.0);
    const frame_record edge = record_of({{TYPE_WALL, 40, 5, 99}});
    EXPECT_EQ(cube_face_fate(edge, front, 40, 5, 99, FACE_PLUS_Z), face_fate::drawn);

    // Eye at (50, 0, 60): the neighbour at z 58 is cut by the near plane.
    const frame_view close = view_of(0.0, 0.0, 10.0);
    const frame_record near_eye = record_of({{TYPE_WALL, 50, 0, 57}, {TYPE_WALL, 50, 0, 58}});
    EXPECT_EQ(cube_face_fate(near_eye, close, 50, 0, 57, FACE_PLUS_Z), face_fate::drawn);
    const frame_record farther = record_of({{TYPE_WALL, 50, 0, 50}, {TYPE_WALL, 50, 0, 51}});
    EXPECT_EQ(cube_face_fate(farther, close, 50, 0, 50, FACE_PLUS_Z), face_fate::hidden);
}

namespace {

struct face_fates {
    face_fate of[CUBE_FACES];
};

face_fates fates_of(const frame_record& record, const frame_view& view, const cell_draw& d) {
    face_fates fates;
    for (int face = 0; face < CUBE_FACES; ++face) fates.of[face] = cube_face_fate(record, view, d.x, d.y, d.z, face);
    return fates;
}

}  // namespace

void build_moving_mixture(world& w) {
    // Gases climb ahead of the sweep and Water spreads sideways: the cells
    // beside a draw change until the sweep has left them behind.
    build_filled_block(w);
    build_wall_and_glass(w);
#if GRAINVOX_HAS_GASES
    fill_box(w, TYPE_METHANE, 30, 40, 16, 20, 30, 40);
#endif
}

void build_sand_block(world& w) {
    // Nothing blended: a top face is hidden by the cell above, drawn a layer later.
    fill_box(w, TYPE_SAND, 30, 70, 0, 10, 30, 70);
}

TEST(FrameRecord, DrawsToldSettledKeepTheirFacesToTheEnd) {
    const frame_view views[] = {view_of(20.0, 30.0, 60.0), view_of(300.0, 200.0, 40.0)};
    for (void (*build)(world&) : {build_moving_mixture, build_sand_block}) {
        std::unique_ptr<world> w(new world());
        build(*w);
        frame_record record;
        for (int frame = 0; frame < 2; ++frame) {
            std::vector<face_fates> seen[2];
            std::size_t last_settled = 0;
            int calls = 0;
            record.sweep(*w, [&](std::size_t settled) {
                ++calls;
                EXPECT_GT(settled, last_settled) << "settled draws only grow";
                for (std::size_t i = last_settled; i < settled; ++i)
                    for (int v = 0; v < 2; ++v) seen[v].push_back(fates_of(record, views[v], record.draws()[i]));
                last_settled = settled;
            });
            ASSERT_EQ(last_settled, record.draws().size()) << "the last call settles every draw";
            EXPECT_GT(calls, 5) << "drawing goes on during the sweep";
            int changed = 0;
            for (int v = 0; v < 2; ++v)
                for (std::size_t i = 0; i < record.draws().size(); ++i) {
                    const face_fates now = fates_of(record, views[v], record.draws()[i]);
                    for (int face = 0; face < CUBE_FACES; ++face)
                        if (now.of[face] != seen[v][i].of[face]) ++changed;
                }
            EXPECT_EQ(changed, 0) << "faces decided before the cells beside them were recorded";
        }
    }
}

// Lower layers go to GL while the sweep is still scanning the box above them,
// even when no cell up there is drawn to prompt it.
TEST(FrameRecord, LowLayersSettleBeforeTheSweepReachesTheCellsAbove) {
    constexpr int HIGH_LAYER = 45;
    std::unique_ptr<world> w(new world());
    w->add_particle(TYPE_SAND, 10, 0, 10);
    w->add_particle(TYPE_SAND, 60, HIGH_LAYER, 60);  // falls one layer when stepped
    frame_record record;
    bool high_grain_unstepped_when_first_settled = false;
    std::size_t calls = 0;
    record.sweep(*w, [&](std::size_t settled) {
        if (calls++ == 0)
            high_grain_unstepped_when_first_settled = settled == 1 && w->grid[60][HIGH_LAYER][60].id == TYPE_SAND;
    });
    EXPECT_TRUE(high_grain_unstepped_when_first_settled);
    EXPECT_EQ(w->grid[60][HIGH_LAYER - 1][60].id, TYPE_SAND);
    EXPECT_EQ(record.draws().size(), 2u);
}

// The row-at-a-time decision must agree with the face-by-face rule for every
// run of a row, from outside the box, from above, and with the eye among the
// cells where the near plane cuts some of them.
TEST(FaceFate, RunsAgreeWithTheRuleFaceByFace) {
    const frame_view views[] = {view_of(20.0, 30.0, 60.0), view_of(300.0, 200.0, 40.0), view_of(90.0, 0.0, 15.0),
                                   view_of(5.0, 170.0, 10.0)};
    for (void (*build)(world&) : {build_moving_mixture, build_sand_block}) {
        std::unique_ptr<world> w(new world());
        build(*w);
        frame_record record;
        record.sweep(*w);
        const std::vector<cell_draw>& draws = record.draws();
        int compared = 0, disagreeing = 0;
        for (const frame_view& view : views)
            for (std::size_t first = 0; first < draws.size();) {
                // The longest stretch of draws along one row, and a few of its pieces.
                std::size_t end = first + 1;
                while (end < draws.size() && draws[end].x == draws[first].x && draws[end].y == draws[first].y &&
                       draws[end].z == draws[end - 1].z + 1)
                    ++end;
                const int length = static_cast<int>(end - first);
                for (int piece : {length, 1, length / 2}) {
                    if (piece < 1) continue;
                    face_fate fates[GRID_Z][CUBE_FACES];
                    run_face_fates(record, view, draws[first].x, draws[first].y, draws[first].z, piece, fates);
                    for (int i = 0; i < piece; ++i) {
                        const face_fates one = fates_of(record, view, draws[first + static_cast<std::size_t>(i)]);
                        for (int face = 0; face < CUBE_FACES; ++face, ++compared)
                            if (fates[i][face] != one.of[face]) ++disagreeing;
                    }
                }
                first = end;
            }
        EXPECT_GT(compared, 100000);
        EXPECT_EQ(disagreeing, 0);
    }
}

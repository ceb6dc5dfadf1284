#include <GL/glut.h>

#include <string>
#include <vector>

#include "app/keys.h"
#include "app_fixture.h"

namespace {

using KeysTest = AppTest;

TEST_F(KeysTest, PenSizeKeysClampToOneToSeven) {
    pen_size = 7;
    handle_key('+');
    EXPECT_EQ(pen_size, 7);
    handle_key('=');
    EXPECT_EQ(pen_size, 7);
    pen_size = 1;
    handle_key('-');
    EXPECT_EQ(pen_size, 1);
    pen_size = 3;
    handle_key('=');
    EXPECT_EQ(pen_size, 4);
    handle_key('-');
    handle_key('-');
    EXPECT_EQ(pen_size, 2);
    // The rest between two applications of a size-1 pen.
    pen_size = 0;
    handle_key('+');
    EXPECT_EQ(pen_size, 1);
    pen_size = 0;
    handle_key('-');
    EXPECT_EQ(pen_size, 1);
}

TEST_F(KeysTest, PageKeysMoveThePenByItsSizeWithinTheBox) {
    point_y = 48;
    pen_size = 3;
    handle_special_key(GLUT_KEY_PAGE_UP);
    EXPECT_EQ(point_y, 49);
    point_y = 1;
    handle_special_key(GLUT_KEY_PAGE_DOWN);
    EXPECT_EQ(point_y, 0);
    point_y = 20;
    pen_size = 7;
    handle_special_key(GLUT_KEY_PAGE_UP);
    EXPECT_EQ(point_y, 27);
    handle_special_key(GLUT_KEY_PAGE_DOWN);
    handle_special_key(GLUT_KEY_PAGE_DOWN);
    EXPECT_EQ(point_y, 13);
    pen_size = 0;
    handle_special_key(GLUT_KEY_PAGE_UP);
    EXPECT_EQ(point_y, 13);
}

TEST_F(KeysTest, ArrowsMoveThePenAlongTheAxesWithinTheBox) {
    point_x = 0;
    point_z = 0;
    handle_special_key(GLUT_KEY_LEFT);
    handle_special_key(GLUT_KEY_UP);
    EXPECT_EQ(point_x, 0);
    EXPECT_EQ(point_z, 0);
    handle_special_key(GLUT_KEY_RIGHT);
    handle_special_key(GLUT_KEY_DOWN);
    handle_special_key(GLUT_KEY_DOWN);
    EXPECT_EQ(point_x, 1);
    EXPECT_EQ(point_z, 2);
    EXPECT_EQ(point_y, START_POINT_Y);
    point_x = 99;
    point_z = 99;
    handle_special_key(GLUT_KEY_RIGHT);
    handle_special_key(GLUT_KEY_DOWN);
    EXPECT_EQ(point_x, 99);
    EXPECT_EQ(point_z, 99);
    handle_special_key(GLUT_KEY_LEFT);
    handle_special_key(GLUT_KEY_UP);
    EXPECT_EQ(point_x, 98);
    EXPECT_EQ(point_z, 98);
}

TEST_F(KeysTest, EverySpecialKeyClampsThePenCell) {
    point_x = -4;
    point_y = 70;
    point_z = 130;
    handle_special_key(GLUT_KEY_F12);
    EXPECT_EQ(point_x, 0);
    EXPECT_EQ(point_y, 49);
    EXPECT_EQ(point_z, 99);
}

TEST_F(KeysTest, CameraKeys) {
    handle_special_key(GLUT_KEY_F3);
    EXPECT_EQ(polar_y, -90.0);
    handle_special_key(GLUT_KEY_F4);
    handle_special_key(GLUT_KEY_F4);
    EXPECT_EQ(polar_y, 90.0);
    handle_special_key(GLUT_KEY_F1);
    EXPECT_EQ(polar_x, 90.0);
    EXPECT_EQ(polar_y, 0.0);
    polar_y = 33.0;
    handle_special_key(GLUT_KEY_F2);
    EXPECT_EQ(polar_x, 20.0);
    EXPECT_EQ(polar_y, 0.0);
    EXPECT_EQ(polar_d, 100.0);

    for (int i = 0; i < 18; ++i) handle_key('a');
    EXPECT_EQ(polar_d, 10.0);
    handle_key('a');
    EXPECT_EQ(polar_d, 5.0);
    handle_key('z');
    handle_key('z');
    EXPECT_EQ(polar_d, 15.0);
}

TEST_F(KeysTest, DrawingStyleToggles) {
    handle_key('s');
    EXPECT_EQ(graphics, 1);
    handle_key('s');
    EXPECT_EQ(graphics, 0);
    graphics = 4;
    handle_key('s');
    EXPECT_EQ(graphics, 1);
}

TEST_F(KeysTest, LetterLAppliesThePen) {
    point_x = 5;
    point_y = 5;
    point_z = 5;
    pen_size = 3;
    selected_type = TYPE_WALL;
    handle_key('l');
    EXPECT_EQ(count_cells(TYPE_WALL), 26 + (GRAINVOX_EARLY_STAGE ? 1 : 0));
}

TEST_F(KeysTest, UnboundKeysChangeNothing) {
    std::string unbound;
    for (char c = 'A'; c <= 'Z'; ++c) unbound += c;
    unbound += "bcdeghijkmnortuvwxy0789!*/.,\t";
    std::vector<int> unbound_special = {GLUT_KEY_F11, GLUT_KEY_HOME, GLUT_KEY_END, GLUT_KEY_INSERT, 0, 9999};
#if GRAINVOX_EARLY_STAGE
    // None of the current program's additions either.
    unbound += "123456 f";
    unbound_special.insert(unbound_special.end(), {GLUT_KEY_F5, GLUT_KEY_F9, GLUT_KEY_F12});
#endif
    w->add_particle(TYPE_SAND, 3, 3, 3);
    const AppSnapshot before = AppSnapshot::take();
    for (char c : unbound) {
        handle_key(static_cast<unsigned char>(c));
        EXPECT_TRUE(AppSnapshot::take() == before) << "key '" << c << "'";
    }
    for (int k : unbound_special) {
        handle_special_key(k);
        EXPECT_TRUE(AppSnapshot::take() == before) << "special key " << k;
    }
    EXPECT_EQ(count_non_empty(), 1);
}

TEST_F(KeysTest, QuitEndsTheProgramWithStatusZero) {
    EXPECT_EXIT(handle_key('q'), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(handle_key(27), ::testing::ExitedWithCode(0), "");
}

#if GRAINVOX_EARLY_STAGE

TEST_F(KeysTest, NextTypeWrapsAfterTheLastOfSeven) {
    ASSERT_EQ(w->type_count, 7);
    for (int expected : {2, 3, 4, 5, 6, 0, 1}) {
        handle_key('p');
        EXPECT_EQ(selected_type, expected);
    }
}

TEST_F(KeysTest, F10IsNotBound) {
    w->add_particle(TYPE_SAND, 3, 3, 3);
    world* const before = w;
    handle_special_key(GLUT_KEY_F10);
    EXPECT_EQ(w, before);
    EXPECT_EQ(id_at(3, 3, 3), TYPE_SAND);
}

#else

TEST_F(KeysTest, NextTypeVisitsEveryIdInTurn) {
    for (int i = 1; i <= 11; ++i) {
        handle_key('p');
        EXPECT_EQ(selected_type, (TYPE_SAND + i) % TYPE_COUNT);
    }
}

TEST_F(KeysTest, NumberKeysCycleWithinAPhase) {
    struct Case {
        int start;
        unsigned char key;
        std::vector<int> sequence;
    };
    const Case cases[] = {
        {TYPE_SAND, '2', {TYPE_FIRE, TYPE_SAND, TYPE_FIRE}},
        {TYPE_OIL, '3', {TYPE_WATER, TYPE_OIL, TYPE_WATER}},
        {TYPE_METHANE, '4', {TYPE_HYDROGEN_SULFIDE, TYPE_CARBON_DIOXIDE, TYPE_NITROGEN_DIOXIDE, TYPE_METHANE}},
        {TYPE_GLASS, '5', {TYPE_WALL, TYPE_GLASS}},
        {TYPE_ERASER, '6', {TYPE_ERASER, TYPE_ERASER}},
        {TYPE_GLASS, '2', {TYPE_SAND}},
        {TYPE_WALL, '1', {TYPE_ERASER}},
    };
    for (const Case& c : cases) {
        selected_type = c.start;
        for (int expected : c.sequence) {
            handle_key(c.key);
            EXPECT_EQ(selected_type, expected) << "key " << c.key << " from " << c.start;
        }
    }
}

// Every number key from every type: the first id after the current one, in
// a round that wraps after the last, whose phase the key asks for.
TEST_F(KeysTest, NumberKeysFromEveryType) {
    const int phase_of_key[] = {PHASE_POWDER, PHASE_LIQUID, PHASE_GAS, PHASE_STATIC, PHASE_EMPTY};
    for (int k = 0; k < 5; ++k)
        for (int start = 0; start < TYPE_COUNT; ++start) {
            int expected = start;
            for (int step = 1; step <= TYPE_COUNT; ++step) {
                const int id = (start + step) % TYPE_COUNT;
                if (w->types[id].phase == phase_of_key[k]) {
                    expected = id;
                    break;
                }
            }
            selected_type = start;
            handle_key(static_cast<unsigned char>('2' + k));
            EXPECT_EQ(selected_type, expected) << "key " << 2 + k << " from " << start;
            EXPECT_EQ(w->types[selected_type].phase, phase_of_key[k]);
        }
}

TEST_F(KeysTest, CycleTypeStopsAfterItsTries) {
    selected_type = TYPE_SAND;
    cycle_type(PHASE_GAS, NO_MORE_TRIES);
    EXPECT_EQ(selected_type, TYPE_SAND);
    // A phase no type has moves the selection one id per try, and one more.
    cycle_type(99, 2);
    EXPECT_EQ(selected_type, TYPE_SAND + 3);
    selected_type = TYPE_SAND;
    cycle_type(99, TYPE_SEARCH_TRIES);
    EXPECT_EQ(selected_type, (TYPE_SAND + 12) % TYPE_COUNT);
}

TEST_F(KeysTest, F10EmptiesTheWorldAndKeepsThePenAndCamera) {
    w->add_particle(TYPE_SAND, 3, 3, 3);
    w->add_particle(TYPE_WALL, 99, 49, 99);
    point_x = 12;
    point_y = 7;
    point_z = 80;
    pen_size = 5;
    selected_type = TYPE_WATER;
    polar_y = 45.0;
    graphics = 1;
    AppSnapshot before = AppSnapshot::take();
    handle_special_key(GLUT_KEY_F10);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(count_non_empty(), 0);
    before.w = w;
    EXPECT_TRUE(AppSnapshot::take() == before);
}

#endif

}  // namespace

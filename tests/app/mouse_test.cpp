#include <GL/glut.h>

#include "app/mouse.h"
#include "app_fixture.h"

namespace {

using MouseTest = AppTest;

TEST_F(MouseTest, ButtonsSetThePenAndCameraFlags) {
    handle_button(GLUT_LEFT_BUTTON, GLUT_DOWN);
    EXPECT_TRUE(sand_on);
    EXPECT_FALSE(camera_on);
    handle_button(GLUT_RIGHT_BUTTON, GLUT_DOWN);
    EXPECT_TRUE(camera_on);
    EXPECT_TRUE(sand_on);
    handle_button(GLUT_LEFT_BUTTON, GLUT_UP);
    EXPECT_FALSE(sand_on);
    EXPECT_TRUE(camera_on);
    handle_button(GLUT_LEFT_BUTTON, GLUT_DOWN);
    handle_button(GLUT_LEFT_BUTTON, 7);  // any state but down releases
    EXPECT_FALSE(sand_on);
    handle_button(GLUT_RIGHT_BUTTON, GLUT_UP);
    EXPECT_FALSE(camera_on);
}

TEST_F(MouseTest, ButtonsFourAndFiveZoomOnRelease) {
    handle_button(MOUSE_BUTTON_ZOOM_OUT, GLUT_DOWN);
    EXPECT_EQ(polar_d, 100.0);
    handle_button(MOUSE_BUTTON_ZOOM_OUT, GLUT_UP);
    EXPECT_EQ(polar_d, 105.0);
    handle_button(MOUSE_BUTTON_ZOOM_IN, GLUT_DOWN);
    EXPECT_EQ(polar_d, 105.0);
    handle_button(MOUSE_BUTTON_ZOOM_IN, GLUT_UP);
    handle_button(MOUSE_BUTTON_ZOOM_IN, GLUT_UP);
    EXPECT_EQ(polar_d, 95.0);
}

TEST_F(MouseTest, OtherButtonsDoNothing) {
    const AppSnapshot before = AppSnapshot::take();
    for (int button : {GLUT_MIDDLE_BUTTON, 3, 6, -1})
        for (int state : {GLUT_DOWN, GLUT_UP}) {
            handle_button(button, state);
            EXPECT_TRUE(AppSnapshot::take() == before) << "button " << button;
        }
}

TEST_F(MouseTest, RightDragOrbitsTheCamera) {
    camera_on = true;
    mouse_x = 200;
    mouse_y = 200;
    handle_pointer(300, 200, 0);  // 100 pixels to the right
    EXPECT_DOUBLE_EQ(polar_y, 75.0);
    EXPECT_DOUBLE_EQ(polar_x, 20.0);
    handle_pointer(300, 180, 0);  // 20 pixels up
    EXPECT_DOUBLE_EQ(polar_x, 35.0);
    EXPECT_EQ(mouse_x, 300);
    EXPECT_EQ(mouse_y, 180);
    // The drag wins over Shift; Ctrl alone still holds everything.
    handle_pointer(290, 180, GLUT_ACTIVE_SHIFT);
    EXPECT_DOUBLE_EQ(polar_y, 67.5);
    EXPECT_EQ(point_y, START_POINT_Y);
    handle_pointer(0, 0, GLUT_ACTIVE_CTRL);
    EXPECT_DOUBLE_EQ(polar_y, 67.5);
    EXPECT_DOUBLE_EQ(polar_x, 35.0);
}

TEST_F(MouseTest, ShiftRaisesAndLowersThePenTwoPixelsPerCell) {
    mouse_y = 100;
    handle_pointer(0, 99, GLUT_ACTIVE_SHIFT);  // one pixel: no cell
    EXPECT_EQ(point_y, 25);
    handle_pointer(0, 97, GLUT_ACTIVE_SHIFT);  // two up
    EXPECT_EQ(point_y, 26);
    handle_pointer(0, 102, GLUT_ACTIVE_SHIFT);  // five down: two cells
    EXPECT_EQ(point_y, 24);
    handle_pointer(0, 0, GLUT_ACTIVE_SHIFT);
    EXPECT_EQ(point_y, 49);
    handle_pointer(0, 400, GLUT_ACTIVE_SHIFT);
    EXPECT_EQ(point_y, 0);
    EXPECT_EQ(point_x, 0);
    EXPECT_EQ(point_z, 0);
    EXPECT_DOUBLE_EQ(polar_x, 20.0);
    EXPECT_DOUBLE_EQ(polar_y, 0.0);
}

TEST_F(MouseTest, CtrlMovesThePointerAlone) {
    mouse_x = 10;
    mouse_y = 100;
    const AppSnapshot before = AppSnapshot::take();
    handle_pointer(50, 60, GLUT_ACTIVE_CTRL);
    AppSnapshot after = AppSnapshot::take();
    EXPECT_EQ(after.mouse_x, 50);
    EXPECT_EQ(after.mouse_y, 60);
    after.mouse_x = before.mouse_x;
    after.mouse_y = before.mouse_y;
    EXPECT_TRUE(after == before);
    // The next event takes its delta from the position Ctrl kept recording.
    handle_pointer(50, 56, GLUT_ACTIVE_SHIFT);
    EXPECT_EQ(point_y, 27);
}

}  // namespace

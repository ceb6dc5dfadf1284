#include "render/fixed_function/fixed_function_frame.h"

#include "render/fixed_function/gl.h"

void draw_floor_quad(const floor_quad& floor) {
    glColor4fv(floor.colour);
    glBegin(GL_QUADS);
    for (const auto& corner : floor.corners) glVertex3dv(corner);
    glEnd();
}

void draw_wire_cubes(const std::vector<wire_cube>& cubes) {
    for (const wire_cube& cube : cubes) {
        glPushMatrix();
        glTranslated(cube.centre[0], cube.centre[1], cube.centre[2]);
        glColor4fv(cube.colour);
        glutWireCube(cube.edge);
        glPopMatrix();
    }
}

void draw_scene(const frame_scene& scene) {
    draw_floor_quad(scene.floor);
    draw_wire_cubes(scene.marker);
}

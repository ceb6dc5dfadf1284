#include "render/fixed_function/fixed_function_frame.h"

#include "effects/fountain_gl_state.h"
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

void draw_fountain_item(const fountain_item& item, const fountain_corner* corners, unsigned int texture) {
    const cell_draw& cell = item.cell;
    glPushMatrix();
    glColor4f(cell.red, cell.green, cell.blue, cell.alpha);
    glTranslated(cell.x, cell.y, cell.z);
    begin_particle_state(texture);
    glPushMatrix();
    load_facing_matrix();
    glBegin(GL_TRIANGLES);
    for (std::size_t i = item.first_corner; i < item.first_corner + item.corner_count; ++i) {
        glColor4fv(corners[i].colour);
        glTexCoord2fv(corners[i].texcoord);
        glVertex3fv(corners[i].position);
    }
    glEnd();
    glPopMatrix();
    end_particle_state();
    glPopMatrix();
}

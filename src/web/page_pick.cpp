#include "app/mouse.h"

#include "app/app_state.h"
#include "render/picking/ray_pick.h"
#include "web/page_frame.h"

// WebGL cannot read its depth buffer back: the page picks by walking the ray
// under the pointer through the grid, in the camera of the last frame.
bool pick_cell(int x, int y) {
    int cell_x = point_x;
    int cell_z = point_z;
    if (!ray_pick(*w, graphics, last_frame_view(), x, y, cell_x, cell_z)) return false;
    point_x = cell_x;
    point_z = cell_z;
    return true;
}

#pragma once

// The fixed-function GL state a fountain's particles are drawn in, shared by
// the fountain's own drawing and the desktop drawing of recorded fountains.

// Replaces the model's x and y axes by the eye's, so that the squares face
// the viewer and a particle's x and y run along the screen.
void load_facing_matrix();

// Additive, textured with `texture` and over everything.
void begin_particle_state(unsigned int texture);
// Back to the state the cells are drawn in.
void end_particle_state();

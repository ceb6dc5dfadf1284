#pragma once

#include <string>
#include <vector>

// Where the fire's texture is looked for. The working directory comes first,
// so a particle.bmp there always wins; an installed program then finds its
// own in the data folder beside its bin folder, and a program run from its
// build or unpacked folder finds the one next to it.

constexpr const char* PARTICLE_IMAGE_FILE = "particle.bmp";

// The places to look, in order, for a program in `program_folder` (empty
// when that is not known: then only the working directory).
std::vector<std::string> particle_image_places(const std::string& program_folder);

// The folder of the running program's executable, or "" if it cannot be told.
std::string running_program_folder();

// The first of `places` that is a regular file, or the bare name when none is.
std::string first_particle_image(const std::vector<std::string>& places);

// The first place that has a particle.bmp as a regular file, or the bare name when none has,
// so that reading fails as it did before and the fire is drawn untextured.
std::string find_particle_image();

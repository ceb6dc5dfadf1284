#pragma once

// How the cells are lit and cut, the same for the fixed-function drawing
// (which hands these to GL once) and the GLES2 one (whose shader computes
// what fixed-function GL computes from them).

// One directional light (w = 0), fixed to the viewer.
constexpr float LIGHT_AMBIENT[4] = {0.0f, 0.0f, 0.0f, 1.0f};
constexpr float LIGHT_DIFFUSE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float LIGHT_SPECULAR[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float LIGHT_POSITION[4] = {2.0f, 5.0f, 5.0f, 0.0f};

// The material; the current colour takes the place of its ambient and
// diffuse parts (colour material).
constexpr float MATERIAL_AMBIENT[4] = {0.7f, 0.7f, 0.7f, 1.0f};
constexpr float MATERIAL_DIFFUSE[4] = {0.8f, 0.8f, 0.8f, 1.0f};
constexpr float MATERIAL_SPECULAR[4] = {1.0f, 1.0f, 1.0f, 1.0f};
constexpr float MATERIAL_SHININESS = 50.0f;

// GL's own ambient light of the scene, which the program leaves as it starts.
constexpr float SCENE_AMBIENT = 0.2f;

// The alpha test passes only alpha above this: fainter fragments are not drawn.
constexpr float ALPHA_TEST_REFERENCE = 0.1f;

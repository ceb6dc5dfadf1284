#pragma once

// The square window the GL tests draw into.
constexpr int TEST_WINDOW_SIDE = 64;

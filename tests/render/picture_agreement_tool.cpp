// grainvox-picture-agreement A.ppm B.ppm [MAX_SHARE]: prints the share of
// pixels whose colour differs by more than 16 levels in a channel; with
// MAX_SHARE, exits 1 when the share is above it. Exits 2 when a picture
// cannot be read.

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "picture_agreement.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: %s A.ppm B.ppm [MAX_SHARE]\n", argv[0]);
        return 2;
    }
    picture a, b;
    for (const auto& [path, into] : {std::pair<const char*, picture*>{argv[1], &a}, {argv[2], &b}})
        if (!read_ppm(path, *into)) {
            std::fprintf(stderr, "%s: not a binary PPM picture\n", path);
            return 2;
        }
    if (a.width != b.width || a.height != b.height)
        std::fprintf(stderr, "the pictures differ in size: %dx%d and %dx%d\n", a.width, a.height, b.width, b.height);
    const double share = differing_share(a, b);
    std::printf("%.6f of the pixels differ by more than %d levels\n", share, AGREEMENT_CHANNEL_TOLERANCE);
    if (argc == 4) return share <= std::atof(argv[3]) ? 0 : 1;
    return 0;
}

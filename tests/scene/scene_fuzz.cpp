// Feeds arbitrary bytes to the scene reader, as they come and again with
// their checksum made right so that the cells are read too. Anything may be
// refused; nothing may crash, overrun or leak, and what is taken must save
// and load back to the same box.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "scene/scene_file.h"

namespace {

void put_checksum(std::vector<std::uint8_t>& bytes) {
    const std::size_t end = bytes.size() - scene_layout::CHECKSUM_BYTES;
    const std::uint32_t checksum = scene_checksum(bytes.data(), end);
    for (std::size_t i = 0; i < scene_layout::CHECKSUM_BYTES; ++i)
        bytes[end + i] = static_cast<std::uint8_t>(checksum >> (8 * i));
}

// A box taken from a file comes back alike through another save and load.
void check_round_trip(const world& taken) {
    static world* again = new world();
    const std::vector<std::uint8_t> saved = encode_scene(taken);
    if (!decode_scene(saved.data(), saved.size(), *again).ok) std::abort();
    if (encode_scene(*again) != saved) std::abort();
}

void read(const std::vector<std::uint8_t>& bytes) {
    static world* box = new world();  // made once: a world is tens of megabytes
    if (decode_scene(bytes.data(), bytes.size(), *box).ok) check_round_trip(*box);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    read(bytes);
    if (bytes.size() >= scene_layout::HEADER_BYTES + scene_layout::CHECKSUM_BYTES) {
        put_checksum(bytes);
        read(bytes);
    }
    return 0;
}

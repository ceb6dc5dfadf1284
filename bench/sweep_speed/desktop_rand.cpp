// The desktop's C library (glibc) draws rand() by an additive feedback
// generator of degree 31; emscripten's C library by another. So that the
// page's build of the sweep timing can be checked draw for draw against the
// desktop's, both builds draw by the desktop's generator through these
// definitions, which replace the C library's own; being the same code in
// both, they time the sweep, not two C libraries (glibc's rand() also takes
// a lock at every draw).

#include <cstdint>
#include <cstdlib>

namespace {

constexpr int DEGREE = 31;
constexpr int SEPARATION = 3;
constexpr int DISCARDED_DRAWS = 10 * DEGREE;
constexpr std::int32_t MODULUS = 2147483647;  // 2^31 - 1
constexpr std::int32_t MULTIPLIER = 16807;
// Schrage's split of MODULUS by MULTIPLIER, which keeps the products in 32 bits.
constexpr std::int32_t QUOTIENT = MODULUS / MULTIPLIER;
constexpr std::int32_t REMAINDER = MODULUS % MULTIPLIER;

struct feedback_state {
    std::uint32_t table[DEGREE];
    int front;
    int rear;
};

feedback_state state;

std::uint32_t next_draw() {
    const std::uint32_t value = state.table[state.front] += state.table[state.rear];
    state.front = (state.front + 1) % DEGREE;
    state.rear = (state.rear + 1) % DEGREE;
    return value >> 1;
}

void seed_state(unsigned seed) {
    if (seed == 0) seed = 1;
    std::int32_t word = static_cast<std::int32_t>(seed);
    state.table[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < DEGREE; ++i) {
        const std::int32_t high = word / QUOTIENT;
        const std::int32_t low = word % QUOTIENT;
        word = MULTIPLIER * low - REMAINDER * high;
        if (word < 0) word += MODULUS;
        state.table[i] = static_cast<std::uint32_t>(word);
    }
    state.front = SEPARATION;
    state.rear = 0;
    for (int i = 0; i < DISCARDED_DRAWS; ++i) next_draw();
}

// Unseeded, rand() draws as after srand(1).
struct seeded_at_start {
    seeded_at_start() { seed_state(1); }
} seeded;

}  // namespace

extern "C" {
void srand(unsigned seed) { seed_state(seed); }
int rand(void) { return static_cast<int>(next_draw()); }
}

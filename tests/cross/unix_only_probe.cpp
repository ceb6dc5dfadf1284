// Builds only on Unix: the Windows compile check must refuse it.
#include <sys/mman.h>

void* map_anonymous_page() {
    return mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
}

# Flags of everything built with emscripten: the page and the WebAssembly
# build of the sweep timing share them, so that the timing measures the page.

# Whole-cell copies (the sweep's swaps, the copy of each cell as it was
# before its step that the drawing records) become one memory.copy
# instruction each instead of a call into the C library's memcpy, compiled
# to WebAssembly itself.
add_compile_options(-mbulk-memory)
add_link_options(-mbulk-memory)
# Nothing here catches an exception, and emscripten's default build cannot
# catch them anyway: without them the module carries no throwing paths of
# the standard library (a failed allocation still ends the program).
add_compile_options(-fno-exceptions)

# The page's memory: the box's records and the meshes fit in the first
# 128 MiB; more is asked for only if a browser's allocations need it.
set(GRAINVOX_WEB_MEMORY_OPTIONS
    -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=134217728)

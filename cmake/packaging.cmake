# Linux packages of what `cmake --install` puts in place: a .deb and a
# .tar.gz, written by `cpack` (scripts/package.sh runs it).
set(CPACK_PACKAGE_NAME grainvox)
set(CPACK_PACKAGE_VENDOR "The Grainvox developers")
set(CPACK_PACKAGE_CONTACT "The Grainvox developers <grainvox@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D falling-sand toy")
set(CPACK_PACKAGE_DESCRIPTION
    "Grainvox fills a 100 x 50 x 100 voxel box with sand, oil, water, fire,\n glass, wall and four gases, and lets them fall, heap, flow, drift, burn and\n put each other out. It also carries grainvox-win32, the program at its\n earlier stage.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PACKAGE_FILE_NAME grainvox-${PROJECT_VERSION}-linux-${CMAKE_SYSTEM_PROCESSOR})

# The .deb: runtime dependencies come from the libraries the programs link
# (dpkg-shlibdeps), so they name freeglut, GLU and GL, never -dev packages.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Software GL, for machines without a GPU driver of their own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libgl1-mesa-dri)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)

#include <cstdlib>
#include <string>

#include "effects/fountain.h"
#include "effects/gl_api.h"
#include "effects/particle_image_path.h"
#include "sim/edition.h"

#if GRAINVOX_EARLY_STAGE
#include "effects/platform_image.h"
#else
#include "effects/bmp.h"
#endif

namespace {

constexpr GLint RGB_COMPONENTS = 3;
constexpr int GL_DEFAULT_UNPACK_ALIGNMENT = 4;

// Makes a linearly filtered texture of one level from packed RGB rows, leaving
// the unpack alignment as it was.
GLuint make_texture(GLint width, GLint height, const unsigned char* rgb, GLint row_alignment) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    GLint saved_alignment = GL_DEFAULT_UNPACK_ALIGNMENT;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &saved_alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, row_alignment);
    glTexImage2D(GL_TEXTURE_2D, 0, RGB_COMPONENTS, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPixelStorei(GL_UNPACK_ALIGNMENT, saved_alignment);
    return name;
}

}  // namespace

// The one place where the two stages load their image differently.
int fountain::LoadGLTextures() {
    int made = 0;
    const std::string path = find_particle_image();
#if GRAINVOX_EARLY_STAGE
    platformImage* image = LoadBMP(path.c_str());
    if (image != nullptr) {
        made = 1;
        texture = make_texture(image->sizeX, image->sizeY, image->data, PLATFORM_IMAGE_ROW_ALIGNMENT);
        if (image->data != nullptr) std::free(image->data);
        std::free(image);
    }
#else
    auto* image = static_cast<textureImage*>(std::malloc(sizeof(textureImage)));
    if (image == nullptr) return made;
    image->width = 0;
    image->height = 0;
    image->data = nullptr;
    if (loadBMP(path.c_str(), image) != 0) {
        made = 1;
        texture = make_texture(image->width, image->height, image->data, GL_DEFAULT_UNPACK_ALIGNMENT);
    }
    if (image->data != nullptr) std::free(image->data);
    std::free(image);
#endif
    return made;
}

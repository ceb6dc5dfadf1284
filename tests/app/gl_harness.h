#pragma once

#include <GL/glut.h>

#include <array>
#include <vector>

// What a frame sent down the pipeline, read back through GL's feedback mode:
// points, lines and polygons with their window positions and lit colours.
struct FeedbackVertex {
    float x, y, z;
    float r, g, b, a;
};

struct FeedbackPrimitive {
    GLenum token;  // GL_POLYGON_TOKEN, GL_LINE_RESET_TOKEN, GL_BITMAP_TOKEN ...
    std::vector<FeedbackVertex> vertices;
};

// Runs `draw` in feedback mode and returns what it sent, in order.
template <class Draw>
std::vector<FeedbackPrimitive> capture_feedback(Draw&& draw) {
    static std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint used = glRenderMode(GL_RENDER);

    std::vector<FeedbackPrimitive> primitives;
    auto vertex = [&](GLint& i) {
        FeedbackVertex v{buffer[i], buffer[i + 1], buffer[i + 2], buffer[i + 3], buffer[i + 4], buffer[i + 5],
                         buffer[i + 6]};
        i += 7;
        return v;
    };
    for (GLint i = 0; i < used;) {
        FeedbackPrimitive p{static_cast<GLenum>(buffer[i++]), {}};
        int count = 0;
        switch (p.token) {
        case GL_POINT_TOKEN:
        case GL_BITMAP_TOKEN:
        case GL_DRAW_PIXEL_TOKEN:
        case GL_COPY_PIXEL_TOKEN: count = 1; break;
        case GL_LINE_TOKEN:
        case GL_LINE_RESET_TOKEN: count = 2; break;
        case GL_POLYGON_TOKEN: count = static_cast<int>(buffer[i++]); break;
        case GL_PASS_THROUGH_TOKEN: ++i; break;
        default: return primitives;  // not a token: stop rather than misread
        }
        for (int k = 0; k < count; ++k) p.vertices.push_back(vertex(i));
        primitives.push_back(p);
    }
    return primitives;
}

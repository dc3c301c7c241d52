#include "frame_readback.h"

#include "gfx/gl.h"
#include "gfx/gl_entry_points.h"

#include <cstring>

FrameReadback::~FrameReadback() {
    close();
}

bool FrameReadback::open(int width, int height, std::string &error) {
    close();
    width_ = width;
    height_ = height;
    bytes_ = static_cast<std::size_t>(width) * height * 3;
    gl2::tool<PFNGLGENBUFFERSPROC>(GL_TOOL_GEN_BUFFERS, 2, buffers_);
    for (GLuint buffer : buffers_) {
        gl2::tool<PFNGLBINDBUFFERPROC>(GL_TOOL_BIND_BUFFER, GL_PIXEL_PACK_BUFFER, buffer);
        gl2::tool<PFNGLBUFFERDATAPROC>(GL_TOOL_BUFFER_DATA, GL_PIXEL_PACK_BUFFER,
                                       static_cast<GLsizeiptr>(bytes_), nullptr, GL_STREAM_READ);
    }
    gl2::tool<PFNGLBINDBUFFERPROC>(GL_TOOL_BIND_BUFFER, GL_PIXEL_PACK_BUFFER, 0);
    if (glGetError() != GL_NO_ERROR) {
        error = "cannot make pixel buffers for " + std::to_string(width) + "x" +
                std::to_string(height) + " frames";
        close();
        return false;
    }
    return true;
}

void FrameReadback::close() {
    if (buffers_[0]) gl2::tool<PFNGLDELETEBUFFERSPROC>(GL_TOOL_DELETE_BUFFERS, 2, buffers_);
    buffers_[0] = buffers_[1] = 0;
    started_ = 0;
}

void FrameReadback::start() {
    gl2::tool<PFNGLBINDBUFFERPROC>(GL_TOOL_BIND_BUFFER, GL_PIXEL_PACK_BUFFER,
                                   buffers_[started_ % 2]);
    // Tight rows, whatever the width.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    gl2::tool<PFNGLBINDBUFFERPROC>(GL_TOOL_BIND_BUFFER, GL_PIXEL_PACK_BUFFER, 0);
    ++started_;
}

bool FrameReadback::take(unsigned char *out, bool latest) {
    const std::size_t wanted = latest ? 1 : 2;
    if (started_ < wanted) return false;
    gl2::tool<PFNGLBINDBUFFERPROC>(GL_TOOL_BIND_BUFFER, GL_PIXEL_PACK_BUFFER,
                                   buffers_[(started_ - wanted) % 2]);
    const void *pixels =
        gl2::tool<PFNGLMAPBUFFERPROC>(GL_TOOL_MAP_BUFFER, GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    if (pixels) std::memcpy(out, pixels, bytes_);
    gl2::tool<PFNGLUNMAPBUFFERPROC>(GL_TOOL_UNMAP_BUFFER, GL_PIXEL_PACK_BUFFER);
    gl2::tool<PFNGLBINDBUFFERPROC>(GL_TOOL_BIND_BUFFER, GL_PIXEL_PACK_BUFFER, 0);
    return pixels != nullptr;
}

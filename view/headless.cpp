// EGL surfaceless context and framebuffer object setup.
#include "view/headless.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include "core/message.h"

namespace valdrin {

namespace {

// The framebuffer-object entry points are not part of GL 1.1; they are
// looked up from the driver at run time.
struct FramebufferCalls {
  PFNGLGENFRAMEBUFFERSPROC gen_framebuffers;
  PFNGLBINDFRAMEBUFFERPROC bind_framebuffer;
  PFNGLDELETEFRAMEBUFFERSPROC delete_framebuffers;
  PFNGLGENRENDERBUFFERSPROC gen_renderbuffers;
  PFNGLBINDRENDERBUFFERPROC bind_renderbuffer;
  PFNGLDELETERENDERBUFFERSPROC delete_renderbuffers;
  PFNGLRENDERBUFFERSTORAGEPROC renderbuffer_storage;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebuffer_renderbuffer;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC check_framebuffer_status;
};

template <typename T>
void look_up(T& call, const char* name) {
  call = reinterpret_cast<T>(eglGetProcAddress(name));
}

bool load(FramebufferCalls& f) {
  look_up(f.gen_framebuffers, "glGenFramebuffers");
  look_up(f.bind_framebuffer, "glBindFramebuffer");
  look_up(f.delete_framebuffers, "glDeleteFramebuffers");
  look_up(f.gen_renderbuffers, "glGenRenderbuffers");
  look_up(f.bind_renderbuffer, "glBindRenderbuffer");
  look_up(f.delete_renderbuffers, "glDeleteRenderbuffers");
  look_up(f.renderbuffer_storage, "glRenderbufferStorage");
  look_up(f.framebuffer_renderbuffer, "glFramebufferRenderbuffer");
  look_up(f.check_framebuffer_status, "glCheckFramebufferStatus");
  return f.gen_framebuffers && f.bind_framebuffer && f.delete_framebuffers && f.gen_renderbuffers &&
         f.bind_renderbuffer && f.delete_renderbuffers && f.renderbuffer_storage &&
         f.framebuffer_renderbuffer && f.check_framebuffer_status;
}

EGLDisplay surfaceless_display() {
  auto get_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (get_display == nullptr) return EGL_NO_DISPLAY;
  return get_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

int fail(HeadlessGl& gl, const char* text) {
  show_message("ERROR", text);
  close_headless_gl(gl);
  return 0;
}

}  // namespace

int open_headless_gl(int width, int height, HeadlessGl& gl) {
  gl = HeadlessGl{};
  EGLDisplay display = surfaceless_display();
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
    return fail(gl, "open_headless_gl(): no EGL display");
  gl.display = display;
  if (!eglBindAPI(EGL_OPENGL_API)) return fail(gl, "open_headless_gl(): no desktop OpenGL");
  // The surface type defaults to windows, which this platform has none of.
  const EGLint config_attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                      EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config;
  EGLint configs = 0;
  if (!eglChooseConfig(display, config_attributes, &config, 1, &configs) || configs < 1)
    return fail(gl, "open_headless_gl(): no EGL config");
  const EGLint context_attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                       EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, context_attributes);
  if (context == EGL_NO_CONTEXT) return fail(gl, "open_headless_gl(): no OpenGL context");
  gl.context = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    return fail(gl, "open_headless_gl(): can't make the context current");

  FramebufferCalls f;
  if (!load(f)) return fail(gl, "open_headless_gl(): no framebuffer objects");
  f.gen_framebuffers(1, &gl.framebuffer);
  f.bind_framebuffer(GL_FRAMEBUFFER, gl.framebuffer);
  f.gen_renderbuffers(1, &gl.color);
  f.bind_renderbuffer(GL_RENDERBUFFER, gl.color);
  f.renderbuffer_storage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  f.framebuffer_renderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, gl.color);
  f.gen_renderbuffers(1, &gl.depth);
  f.bind_renderbuffer(GL_RENDERBUFFER, gl.depth);
  f.renderbuffer_storage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  f.framebuffer_renderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, gl.depth);
  if (f.check_framebuffer_status(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    return fail(gl, "open_headless_gl(): incomplete framebuffer");
  gl.width = width;
  gl.height = height;
  return 1;
}

void close_headless_gl(HeadlessGl& gl) {
  if (gl.context != nullptr) {
    FramebufferCalls f;
    if (load(f)) {
      if (gl.framebuffer) f.delete_framebuffers(1, &gl.framebuffer);
      if (gl.color) f.delete_renderbuffers(1, &gl.color);
      if (gl.depth) f.delete_renderbuffers(1, &gl.depth);
    }
    eglMakeCurrent(gl.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(gl.display, gl.context);
  }
  // The display stays initialised for the rest of the process: terminating
  // it unloads the driver, whose own start-up allocations then read as
  // leaks of an unknown module, and a later open initialises the same
  // display again anyway.
  gl = HeadlessGl{};
}

void read_frame(int width, int height, Image& image) {
  alloc_image(width, height, 3, image);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, image.pixels);
}

}  // namespace valdrin

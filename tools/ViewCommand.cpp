// qv-tool view FILE.3ds [--screenshot OUT.png] [--size WxH]
//
// The level author's first look at a model: the file goes through the same adapter the game uses
// and is shown lit as the game lights its levels (light 0 from above), with textures and
// reflections on, seen by a camera that orbits the model. A texture that cannot be loaded is
// reported and its material drawn untextured (the game itself refuses such a level). With
// --screenshot one frame is rendered, saved as PNG and the program ends; that works on a virtual
// display (scripts/with-xvfb.sh). Escape or closing the window ends the interactive view.

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "models/3DSFileAdapter.h"
#include "platform/Clock.h"
#include "platform/Events.h"
#include "platform/PngFile.h"
#include "platform/Window.h"
#include "scene/FixedGLState.h"
#include "scene/Simple3dObject.h"
#include "tools/Commands.h"
#include "tools/UndrawnMeshes.h"

namespace qvtool {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr float kOrbitDegreesPerSecond = 20;
constexpr float kScreenshotHeading = 35;  // degrees: a corner view shows three sides of a box
constexpr float kElevation = 30;          // degrees above the horizon

struct TViewOptions {
  std::string file;        // the model
  std::string screenshot;  // PNG to write, empty for the interactive view
  int width = 800;         // window size in pixels
  int height = 600;
};

int Usage() {
  std::fprintf(stderr, "usage: qv-tool view FILE.3ds [--screenshot OUT.png] [--size WxH]\n");
  return 2;
}

bool ParseOptions(const std::vector<std::string>& args, TViewOptions& options) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--screenshot" && i + 1 < args.size()) {
      options.screenshot = args[++i];
    } else if (arg == "--size" && i + 1 < args.size()) {
      int w = 0, h = 0;
      char tail = 0;
      if (std::sscanf(args[++i].c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 16 || h < 16 ||
          w > 8192 || h > 8192) {
        std::fprintf(stderr, "qv-tool view: bad --size '%s' (want WxH, 16..8192)\n",
                     args[i].c_str());
        return false;
      }
      options.width = w;
      options.height = h;
    } else if (!arg.starts_with("--") && options.file.empty()) {
      options.file = arg;
    } else {
      std::fprintf(stderr, "qv-tool view: unexpected argument '%s'\n", arg.c_str());
      return false;
    }
  }
  return !options.file.empty();
}

// Console text for an error message: the model reader breaks its messages with "\r".
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  return text;
}

class TViewer {
 public:
  TViewer(qv::T3DSFileAdapter& model, int width, int height)
      : Model(model), Width(width), Height(height) {
    FindBounds();
  }

  // The fixed state of the game's window set-up, every switch on.
  void SetUpGL() {
    glClearColor(0.25f, 0.3f, 0.4f, 0);
    qv::ApplyFixedGLState(qv::TFogSettings{});  // fog itself stays off: the view has no fog range
    glEnable(GL_LIGHTING);
    glEnable(GL_ALPHA_TEST);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    glViewport(0, 0, Width, Height);

    Model.UploadTextures();
    for (int i = 0; i < Model.ObjectCount(); ++i) {
      qv::TSimple3dObject* object = Model.GetObject(i);
      if (object->HasCubeTexture())
        object->SetCubeMapRenderer([this](const qv::TFrustum& frustum) { DrawScene(&frustum); });
    }
  }

  // One face of every reflection; six calls refresh them completely.
  void UpdateReflections() {
    for (int i = 0; i < Model.ObjectCount(); ++i) Model.GetObject(i)->UpdateCubeMap();
  }

  void DrawFrame(float headingDegrees) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double distance = Radius * 2.6;
    gluPerspective(45, double(Width) / Height, Radius * 0.01, distance + Radius * 4);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const double heading = headingDegrees * kPi / 180, elevation = kElevation * kPi / 180;
    Eye = {float(Centre.x + distance * std::cos(elevation) * std::sin(heading)),
           float(Centre.y + distance * std::sin(elevation)),
           float(Centre.z + distance * std::cos(elevation) * std::cos(heading))};
    gluLookAt(Eye.x, Eye.y, Eye.z, Centre.x, Centre.y, Centre.z, 0, 1, 0);
    DrawScene(nullptr);
  }

 private:
  void FindBounds() {
    bool any = false;
    qv::TBox all{};
    for (int i = 0; i < Model.ObjectCount(); ++i) {
      const qv::TSimple3dObject* object = Model.GetObject(i);
      if (object->VertexCount() == 0) continue;
      const qv::TBox& b = object->BoundingBox;
      if (!any) {
        all = b;
        any = true;
        continue;
      }
      all = {std::min(all.minX, b.minX), std::max(all.maxX, b.maxX), std::min(all.minY, b.minY),
             std::max(all.maxY, b.maxY), std::min(all.minZ, b.minZ), std::max(all.maxZ, b.maxZ)};
    }
    Centre = {(all.minX + all.maxX) / 2, (all.minY + all.maxY) / 2, (all.minZ + all.maxZ) / 2};
    Radius = qv::VecLength({all.maxX - all.minX, all.maxY - all.minY, all.maxZ - all.minZ}) / 2;
    if (!(Radius > 1e-3f)) Radius = 1;
  }

  // Opaque objects first, then the transparent ones from far to near, as the game draws them.
  // A reflection face passes its frustum and draws only what lies in it.
  void DrawScene(const qv::TFrustum* frustum) {
    std::vector<qv::TSimple3dObject*> transparent;
    for (int i = 0; i < Model.ObjectCount(); ++i) {
      qv::TSimple3dObject* object = Model.GetObject(i);
      if (frustum && !object->IsInFrustum(*frustum)) continue;
      if (object->Transparent)
        transparent.push_back(object);
      else
        object->Draw();
    }
    const qv::TVector eye = frustum ? qv::TVector{} : Eye;
    auto distance = [&](const qv::TSimple3dObject* o) {
      return qv::VecLength(
          qv::VecSub({o->BoundingSphere.x, o->BoundingSphere.y, o->BoundingSphere.z}, eye));
    };
    std::sort(transparent.begin(), transparent.end(),
              [&](auto* a, auto* b) { return distance(a) > distance(b); });
    for (qv::TSimple3dObject* object : transparent) object->Draw();
  }

  qv::T3DSFileAdapter& Model;
  int Width, Height;
  qv::TVector Centre{};  // middle of all meshes' boxes
  float Radius = 1;      // half the diagonal of that box
  qv::TVector Eye{};     // camera position of the current frame
};

bool SaveScreenshot(const std::string& file, int width, int height) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return qv::WritePngFile(file, width, height, rgba, qv::TRowOrder::BottomUp);
}

int RunViewer(const TViewOptions& options) {
  qv::TWindowRequest request;
  request.title = "qv-tool view " + options.file;
  request.width = options.width;
  request.height = options.height;
  auto window = qv::TPlatformWindow::Create(request);
  if (!window) {
    std::fprintf(stderr, "qv-tool view: cannot open a window: %s\n", qv::LastError().c_str());
    return 1;
  }
  qv::TGLContextHandle context = window->CreateGLContext();
  if (!context) {
    std::fprintf(stderr, "qv-tool view: no OpenGL context: %s\n", qv::LastError().c_str());
    return 1;
  }
  int status = 0;
  try {
    qv::T3DSFileAdapter model(
        options.file, qv::TTextureFailure::WarnUntextured, [](const std::string& message) {
          std::fprintf(stderr, "qv-tool view: warning: %s\n", OneLine(message).c_str());
        });
    std::printf("%s: %d objects, %d materials\n", options.file.c_str(), model.ObjectCount(),
                model.MaterialCount());
    for (const std::string& line : UndrawnMeshes(options.file, model)) {
      std::printf("not drawn: %s\n", line.c_str());
    }
    TViewer viewer(model, options.width, options.height);
    viewer.SetUpGL();

    if (!options.screenshot.empty()) {
      for (int face = 0; face < 6; ++face) viewer.UpdateReflections();
      viewer.DrawFrame(kScreenshotHeading);
      glFinish();
      if (!SaveScreenshot(options.screenshot, options.width, options.height)) {
        std::fprintf(stderr, "qv-tool view: cannot write %s\n", options.screenshot.c_str());
        status = 1;
      }
    } else {
      window->Show();
      const std::int64_t start = qv::PerformanceCounter();
      const double frequency = double(std::max<std::int64_t>(1, qv::PerformanceFrequency()));
      for (bool running = true; running;) {
        qv::TMessage message;
        while (qv::PeekMessage(message)) {
          if (message.kind == qv::TMessageKind::Quit || message.kind == qv::TMessageKind::Close ||
              (message.kind == qv::TMessageKind::KeyUp && message.a == 27))
            running = false;
        }
        const double seconds = (qv::PerformanceCounter() - start) / frequency;
        viewer.UpdateReflections();
        viewer.DrawFrame(float(std::fmod(seconds * kOrbitDegreesPerSecond, 360.0)));
        window->SwapBuffers();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    // The display lists and textures go with the context below.
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qv-tool view: %s\n", OneLine(e.what()).c_str());
    status = 1;
  }
  qv::TPlatformWindow::DeleteGLContext(context);
  return status;
}

}  // namespace

int RunView(const std::vector<std::string>& args) {
  TViewOptions options;
  if (!ParseOptions(args, options)) return Usage();
  if (!qv::InitVideo()) {
    std::fprintf(stderr, "qv-tool view: no display: %s\n", qv::LastError().c_str());
    return 1;
  }
  const int status = RunViewer(options);
  qv::QuitVideo();
  return status;
}

}  // namespace qvtool

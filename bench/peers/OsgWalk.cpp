// The game's level drawn by OpenSceneGraph as its users would: the .3ds plug-in reads the level,
// the sky and the ghosts; a single-threaded viewer draws the camera poses of a game trace with
// the game's projection, fog and light. The sky follows the eye in the first render bin without
// depth writes; the ghosts move as the trace says. Prints the line of PeerScene.h.

#include <GL/gl.h>
#include <osg/Depth>
#include <osg/Fog>
#include <osg/Group>
#include <osg/LightModel>
#include <osg/MatrixTransform>
#include <osg/Texture>
#include <osgDB/FileNameUtils>
#include <osgDB/ReadFile>
#include <osgDB/Registry>
#include <osgViewer/Viewer>

#include "PeerScene.h"

namespace {

// The .3ds files name their textures as drawn (".jpg", ".bmp"); the level ships them as .tga.
class ShippedTextures : public osgDB::FindFileCallback {
 public:
  explicit ShippedTextures(std::vector<std::filesystem::path> dirs) : dirs_(std::move(dirs)) {}
  std::string findDataFile(const std::string& name, const osgDB::Options* options,
                           osgDB::CaseSensitivity sensitivity) override {
    std::string found = osgDB::FindFileCallback::findDataFile(name, options, sensitivity);
    if (!found.empty()) return found;
    for (const auto& dir : dirs_) {
      const auto tga = peer::ShippedTexture(dir / "x.3ds", name);
      if (std::filesystem::exists(tga)) return tga.string();
    }
    return {};
  }

 private:
  std::vector<std::filesystem::path> dirs_;
};

// The plug-in clamps maps flagged "no tiling"; the game repeats every map, as the levels expect.
class RepeatTextures : public osg::NodeVisitor {
 public:
  RepeatTextures() : osg::NodeVisitor(TRAVERSE_ALL_CHILDREN) {}
  void apply(osg::Node& node) override {
    Repeat(node.getStateSet());
    traverse(node);
  }
  void apply(osg::Drawable& drawable) override { Repeat(drawable.getStateSet()); }

 private:
  static void Repeat(osg::StateSet* state) {
    if (!state) return;
    auto* texture =
        dynamic_cast<osg::Texture*>(state->getTextureAttribute(0, osg::StateAttribute::TEXTURE));
    if (!texture) return;
    texture->setWrap(osg::Texture::WRAP_S, osg::Texture::REPEAT);
    texture->setWrap(osg::Texture::WRAP_T, osg::Texture::REPEAT);
  }
};

osg::Matrixd ZUpToYUp() { return osg::Matrixd::rotate(osg::DegreesToRadians(-90.0), 1, 0, 0); }

osg::ref_ptr<osg::MatrixTransform> Read(const std::filesystem::path& file) {
  osg::ref_ptr<osg::Node> node = osgDB::readNodeFile(file.string());
  if (!node) peer::Fail(file.string() + ": OpenSceneGraph cannot read it");
  RepeatTextures repeat;
  node->accept(repeat);
  osg::ref_ptr<osg::MatrixTransform> upright = new osg::MatrixTransform(ZUpToYUp());
  upright->addChild(node);
  return upright;
}

// As the game places a pose: translate, turn by heading about y, then tilt about x.
osg::Matrixd Placed(const peer::Pose& p) {
  return osg::Matrixd::rotate(osg::DegreesToRadians(double(p.tilt)), 1, 0, 0) *
         osg::Matrixd::rotate(osg::DegreesToRadians(double(p.heading)), 0, 1, 0) *
         osg::Matrixd::translate(p.x, p.y, p.z);
}

osg::Matrixd View(const peer::Pose& eye) {
  return osg::Matrixd::translate(-eye.x, -eye.y, -eye.z) *
         osg::Matrixd::rotate(osg::DegreesToRadians(double(-eye.heading)), 0, 1, 0) *
         osg::Matrixd::rotate(osg::DegreesToRadians(double(-eye.tilt)), 1, 0, 0);
}

struct ShotCallback : osg::Camera::DrawCallback {
  std::string file;
  int width = 0, height = 0;
  mutable bool wanted = false;
  void operator()(osg::RenderInfo&) const override {
    if (!wanted) return;
    wanted = false;
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    peer::WritePpm(file, width, height, rgb.data());
  }
};

}  // namespace

int main(int argc, char** argv) {
  const peer::Options o = peer::ParseOptions(argc, argv);
  const std::vector<peer::Frame> frames = peer::ReadTrace(o);
  const peer::Level level = peer::ReadLevel(o);

  osgViewer::Viewer viewer;
  viewer.setThreadingModel(osgViewer::Viewer::SingleThreaded);
  viewer.setKeyEventSetsDone(0);
  osg::ref_ptr<osg::GraphicsContext::Traits> traits = new osg::GraphicsContext::Traits;
  traits->width = o.width;
  traits->height = o.height;
  traits->windowDecoration = false;
  traits->doubleBuffer = true;
  traits->vsync = false;
  traits->depth = 24;
  osg::ref_ptr<osg::GraphicsContext> gc = osg::GraphicsContext::createGraphicsContext(traits);
  if (!gc) peer::Fail("no graphics context");
  osg::Camera* camera = viewer.getCamera();
  camera->setGraphicsContext(gc);
  camera->setViewport(new osg::Viewport(0, 0, o.width, o.height));
  camera->setDrawBuffer(GL_BACK);
  camera->setReadBuffer(GL_BACK);
  camera->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);
  camera->setProjectionMatrixAsPerspective(45.0, double(o.width) / o.height, o.zNear, level.fogEnd);
  camera->setClearColor(osg::Vec4(level.fogColor[0], level.fogColor[1], level.fogColor[2], 0));
  osg::ref_ptr<ShotCallback> shot = new ShotCallback;
  shot->file = o.shotFile;
  shot->width = o.width;
  shot->height = o.height;
  camera->setFinalDrawCallback(shot);

  const auto loadStart = peer::Clock::now();
  osgDB::Registry::instance()->setFindFileCallback(new ShippedTextures(
      {level.objects.parent_path(), level.sky.parent_path(), o.gameDir / o.level / "ghosts"}));
  osg::ref_ptr<osg::Group> root = new osg::Group;
  root->addChild(Read(level.objects));

  osg::ref_ptr<osg::MatrixTransform> sky = new osg::MatrixTransform;
  if (!level.sky.empty()) {
    sky->addChild(Read(level.sky));
    osg::StateSet* state = sky->getOrCreateStateSet();
    state->setRenderBinDetails(-1, "RenderBin");
    state->setAttributeAndModes(new osg::Depth(osg::Depth::LESS, 0, 1, false));
    root->addChild(sky);
  }

  std::map<std::string, osg::ref_ptr<osg::MatrixTransform>> models;
  std::vector<osg::ref_ptr<osg::MatrixTransform>> ghosts;
  for (const auto& file : level.ghostModels) {
    auto& model = models[file.string()];
    if (!model) model = Read(file);
    osg::ref_ptr<osg::MatrixTransform> placed = new osg::MatrixTransform;
    placed->addChild(model);
    root->addChild(placed);
    ghosts.push_back(placed);
  }

  osg::StateSet* state = root->getOrCreateStateSet();
  osg::ref_ptr<osg::Fog> fog = new osg::Fog;
  fog->setMode(osg::Fog::LINEAR);
  fog->setStart(level.fogStart);
  fog->setEnd(level.fogEnd);
  fog->setColor(osg::Vec4(level.fogColor[0], level.fogColor[1], level.fogColor[2], 1));
  state->setAttributeAndModes(fog);
  osg::ref_ptr<osg::LightModel> lightModel = new osg::LightModel;
  lightModel->setAmbientIntensity(osg::Vec4(1, 1, 1, 1));
  state->setAttributeAndModes(lightModel);
  viewer.setLightingMode(osg::View::SKY_LIGHT);
  viewer.getLight()->setPosition(osg::Vec4(10, 1000, 0, 0));
  viewer.getLight()->setAmbient(osg::Vec4(1, 1, 1, 1));
  viewer.getLight()->setDiffuse(osg::Vec4(1, 1, 1, 1));
  viewer.setSceneData(root);
  viewer.realize();

  double loadMs = 0;
  std::vector<double> frameMs;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    const auto start = peer::Clock::now();
    const peer::Frame& frame = frames[i];
    camera->setViewMatrix(View(frame.eye));
    sky->setMatrix(osg::Matrixd::translate(frame.eye.x, frame.eye.y, frame.eye.z));
    for (std::size_t g = 0; g < ghosts.size() && g < frame.ghosts.size(); ++g)
      ghosts[g]->setMatrix(Placed(frame.ghosts[g]));
    shot->wanted = !o.shotFile.empty() && static_cast<int>(i) + 1 == o.shotFrame;
    viewer.frame();
    if (i == 0)
      loadMs = peer::MsSince(loadStart);
    else
      frameMs.push_back(peer::MsSince(start));
  }
  peer::PrintResult(loadMs, frameMs);
  return 0;
}

// The game's level drawn by Irrlicht as its users would: the level as an octree scene node, the
// ghosts as mesh scene nodes, the sky as a sky dome with the sky model's texture (Irrlicht draws
// it around the eye, first, without depth), the game's projection, fog and a light from above.
// Irrlicht's axes are left-handed: a game point (x, y, z) is (x, y, -z) here. Prints the line of
// PeerScene.h.

#include <GL/gl.h>
#include <irrlicht/irrlicht.h>

#include <cmath>

#include "PeerScene.h"

using namespace irr;

namespace {

core::vector3df Irr(float x, float y, float z) { return {x, y, -z}; }

// Irrlicht's .3ds loader opens a texture only where a file of the stored name exists; the levels
// name theirs as drawn (".jpg", ".bmp") and ship .tga images, so only maps stored as .tga are
// found and the rest draws untextured (cheaper per pixel: a flattering figure for Irrlicht).
scene::IMesh* ReadMesh(scene::ISceneManager& scene, const std::filesystem::path& file) {
  scene::IAnimatedMesh* mesh = scene.getMesh(std::filesystem::weakly_canonical(file).c_str());
  if (!mesh) peer::Fail(file.string() + ": Irrlicht cannot read it");
  return mesh->getMesh(0);
}

void Fogged(scene::ISceneNode* node) { node->setMaterialFlag(video::EMF_FOG_ENABLE, true); }

}  // namespace

int main(int argc, char** argv) {
  const peer::Options o = peer::ParseOptions(argc, argv);
  const std::vector<peer::Frame> frames = peer::ReadTrace(o);
  const peer::Level level = peer::ReadLevel(o);

  SIrrlichtCreationParameters params;
  params.DriverType = video::EDT_OPENGL;
  params.WindowSize = core::dimension2d<u32>(o.width, o.height);
  params.Bits = 24;
  params.ZBufferBits = 24;
  params.Vsync = false;
  params.Doublebuffer = true;
  IrrlichtDevice* device = createDeviceEx(params);
  if (!device) peer::Fail("Irrlicht cannot open an OpenGL window");
  device->getLogger()->setLogLevel(std::getenv("PEER_LOG") ? ELL_INFORMATION : ELL_ERROR);
  video::IVideoDriver& driver = *device->getVideoDriver();
  scene::ISceneManager& scene = *device->getSceneManager();

  const auto loadStart = peer::Clock::now();
  Fogged(scene.addOctreeSceneNode(ReadMesh(scene, level.objects)));
  std::vector<scene::ISceneNode*> ghosts;
  for (const auto& file : level.ghostModels) {
    scene::ISceneNode* node = scene.addMeshSceneNode(ReadMesh(scene, file));
    Fogged(node);
    ghosts.push_back(node);
  }
  if (!level.sky.empty()) {
    const auto names = peer::TextureNames(level.sky);
    video::ITexture* texture =
        names.empty()
            ? nullptr
            : driver.getTexture(peer::ShippedTexture(level.sky, names[0]).string().c_str());
    scene.addSkyDomeSceneNode(texture, 24, 8, 0.9f, 2.0f, 0.8f * level.fogEnd);
  }

  const video::SColor fogColor(0, static_cast<u32>(level.fogColor[0] * 255),
                               static_cast<u32>(level.fogColor[1] * 255),
                               static_cast<u32>(level.fogColor[2] * 255));
  driver.setFog(fogColor, video::EFT_FOG_LINEAR, level.fogStart, level.fogEnd, 0, false, false);
  scene.setAmbientLight(video::SColorf(1, 1, 1));
  scene::ILightSceneNode* light = scene.addLightSceneNode(nullptr, {0, 1000, 0});
  light->setLightType(video::ELT_DIRECTIONAL);
  light->setRotation({90, 0, 0});  // pointing down

  scene::ICameraSceneNode* camera = scene.addCameraSceneNode();
  camera->setFOV(45.0f * core::DEGTORAD);
  camera->setAspectRatio(static_cast<float>(o.width) / static_cast<float>(o.height));
  camera->setNearValue(o.zNear);
  camera->setFarValue(level.fogEnd);

  double loadMs = 0;
  std::vector<double> frameMs;
  for (std::size_t i = 0; i < frames.size() && device->run(); ++i) {
    const auto start = peer::Clock::now();
    const peer::Frame& frame = frames[i];
    const float h = frame.eye.heading * core::DEGTORAD, t = frame.eye.tilt * core::DEGTORAD;
    const core::vector3df eye = Irr(frame.eye.x, frame.eye.y, frame.eye.z);
    camera->setPosition(eye);
    camera->setTarget(eye +
                      Irr(-std::sin(h) * std::cos(t), std::sin(t), -std::cos(h) * std::cos(t)));
    for (std::size_t g = 0; g < ghosts.size() && g < frame.ghosts.size(); ++g) {
      const peer::Pose& p = frame.ghosts[g];
      ghosts[g]->setPosition(Irr(p.x, p.y, p.z));
      ghosts[g]->setRotation({-p.tilt, -p.heading, 0});
    }
    driver.beginScene(true, true, fogColor);
    scene.drawAll();
    if (!o.shotFile.empty() && static_cast<int>(i) + 1 == o.shotFrame) {
      std::vector<unsigned char> rgb(static_cast<std::size_t>(o.width) * o.height * 3);
      glPixelStorei(GL_PACK_ALIGNMENT, 1);
      glReadPixels(0, 0, o.width, o.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
      peer::WritePpm(o.shotFile, o.width, o.height, rgb.data());
    }
    driver.endScene();
    if (i == 0)
      loadMs = peer::MsSince(loadStart);
    else
      frameMs.push_back(peer::MsSince(start));
  }
  device->drop();
  peer::PrintResult(loadMs, frameMs);
  return 0;
}

#include "assets/DemoParts.h"

#include <algorithm>
#include <cmath>

#include "assets/DemoRandom.h"
#include "assets/DemoShapes.h"

namespace qv::assets {

void AddBoundaryWall(TDemoModel& model, const std::string& prefix, float radius, int segments,
                     float height, const std::function<float(float, float)>& ground,
                     const std::string& material) {
  // A few blocks a mesh: the mesh's box then hugs a short stretch of the ring, so an actor inside
  // meets the triangles of only the stretch beside it (a mesh of 20 blocks had a box reaching far
  // into the ring, and every move inside it was tested against all 240 of its triangles).
  constexpr int kBlocksPerMesh = 4;
  constexpr float kPi = 3.14159265f;
  const float step = 2 * kPi / static_cast<float>(segments);
  // Half a block's length, a little more than half the chord so neighbours close their gaps.
  const float half = radius * std::sin(step / 2) + 0.6f;
  for (int first = 0; first < segments; first += kBlocksPerMesh) {
    TMeshBuilder b(prefix + std::to_string(first / kBlocksPerMesh + 1));
    for (int k = first; k < std::min(segments, first + kBlocksPerMesh); ++k) {
      const float angle = step * static_cast<float>(k);
      const float c = std::cos(angle), s = std::sin(angle);
      const float x = radius * c, z = radius * s;
      // The ground under the block's ends and middle: it stands below the lowest, tops the highest.
      float low = ground(x, z), high = low;
      for (float side : {-half, half}) {
        const float y = ground(x - s * side, z + c * side);
        low = std::min(low, y);
        high = std::max(high, y);
      }
      AddBox(b, {x, low - 1, z}, 0.6f, high - low + 1 + height, half, -angle * 180 / kPi, material,
             1.0f / 4);
    }
    model.Meshes.push_back(b.Finish());
  }
}

TDemoMaterial MakeMaterial(const std::string& name, float r, float g, float b,
                           const std::string& texture) {
  TDemoMaterial m;
  m.Name = name;
  m.Diffuse = {r, g, b, 1};
  m.Ambient = {r * 0.4f, g * 0.4f, b * 0.4f, 1};
  m.Specular = {0.15f, 0.15f, 0.15f, 1};
  m.Shininess = 0.2f;
  m.TextureMap = texture;
  return m;
}

std::vector<TDemoMaterial> DecorationMaterials() {
  TDemoMaterial metal = MakeMaterial("Metal", 0.35f, 0.36f, 0.4f);
  metal.Specular = {0.9f, 0.9f, 0.9f, 1};
  metal.Shininess = 0.8f;
  TDemoMaterial glow = MakeMaterial("LampGlow", 1.0f, 0.92f, 0.6f);
  glow.SelfIlluminated = true;
  glow.SelfIllum = 0.9f;
  // Flat-shaded on purpose: the crystal-like leaves show their facets.
  TDemoMaterial leaves = MakeMaterial("Leaves", 0.7f, 0.9f, 0.6f, "leaves.bmp");
  leaves.Shading = 1;
  return {MakeMaterial("Bark", 0.9f, 0.85f, 0.8f, "bark.tga"),
          leaves,
          MakeMaterial("Rock", 0.85f, 0.85f, 0.85f, "rock.jpg"),
          MakeMaterial("Crate", 1.0f, 1.0f, 1.0f, "crate.bmp"),
          metal,
          glow};
}

std::vector<std::pair<std::string, TTgaImage>> DecorationTextures() {
  return {{"bark.tga", NoiseTexture(64, 11, {60, 40, 25}, {130, 95, 60}, 4)},
          {"leaves.tga", NoiseTexture(64, 12, {30, 70, 20}, {90, 150, 50}, 8)},
          {"rock.tga", NoiseTexture(128, 13, {80, 78, 74}, {170, 166, 158}, 8)},
          {"crate.tga", WoodTexture(64, 14)}};
}

void AddTree(TDemoModel& model, const std::string& name, const TVector& base, float height,
             std::uint32_t seed) {
  TDemoRandom random(seed);
  TMeshBuilder b(name);
  const float trunk = height * 0.35f;
  AddCylinder(b, {base.x, base.y - 0.5f, base.z}, height * 0.05f + 0.2f, trunk + 0.5f, 7, "Bark",
              "Bark", 0.5f);
  const float crown = height - trunk;
  const int layers = random.Int(1, 2);
  for (int i = 0; i < layers; ++i) {
    const float y = base.y + trunk + crown * 0.3f * static_cast<float>(i);
    AddCone(b, {base.x, y, base.z}, height * (0.32f - 0.06f * static_cast<float>(i)),
            crown * (1.0f - 0.3f * static_cast<float>(i)), 9, "Leaves", 0.3f);
  }
  model.Meshes.push_back(b.Finish());
}

void AddRock(TDemoModel& model, const std::string& name, const TVector& base, float size,
             std::uint32_t seed) {
  TMeshBuilder b(name);
  AddSphere(
      b, {base.x, base.y + size * 0.3f, base.z}, size, 7, 5, "Rock",
      [seed](int s, int t) {
        return 0.75f + 0.5f * static_cast<float>(LatticeHash(s, t, seed) & 0xFF) / 255.0f;
      },
      0.7f);
  model.Meshes.push_back(b.Finish());
}

void AddCrate(TDemoModel& model, const std::string& name, const TVector& base, float size,
              float yaw) {
  TMeshBuilder b(name);
  AddBox(b, {base.x, base.y - 0.2f, base.z}, size / 2, size + 0.2f, size / 2, yaw, "Crate",
         1.0f / size);
  model.Meshes.push_back(b.Finish());
}

void AddLampPost(TDemoModel& model, const std::string& name, const TVector& base) {
  TMeshBuilder b(name);
  AddCylinder(b, {base.x, base.y - 0.5f, base.z}, 0.25f, 9.5f, 6, "Metal", "Metal", 1.0f);
  AddSphere(b, {base.x, base.y + 9.6f, base.z}, 0.8f, 8, 6, "LampGlow");
  model.Meshes.push_back(b.Finish());
}

void AddBush(TDemoModel& model, const std::string& name, const TVector& base, float size,
             std::uint32_t seed) {
  TMeshBuilder b(name);
  AddSphere(
      b, {base.x, base.y + size * 0.3f, base.z}, size, 8, 5, "Leaves",
      [seed](int s, int t) {
        return 0.85f + 0.3f * static_cast<float>(LatticeHash(s, t, seed) & 0xFF) / 255.0f;
      },
      0.6f);
  model.Meshes.push_back(b.Finish());
}

TDemoModel PlayerModel() {
  TDemoModel model;
  TDemoMaterial cloth = MakeMaterial("Cloth", 0.25f, 0.35f, 0.7f);
  TDemoMaterial skin = MakeMaterial("Skin", 0.9f, 0.75f, 0.6f);
  model.Materials = {cloth, skin};
  TMeshBuilder b("Player");
  AddCylinder(b, {0, -3.0f, 0}, 0.55f, 3.2f, 10, "Cloth", "Cloth", 1.0f);
  AddSphere(b, {0, 0.9f, 0}, 0.45f, 10, 6, "Skin");
  model.Meshes.push_back(b.Finish());
  return model;
}

TDemoModel GhostModel(const std::string& meshName, const std::string& skinTexture, float r, float g,
                      float b) {
  TDemoModel model;
  TDemoMaterial skin = MakeMaterial("GhostSkin", r, g, b, skinTexture);
  skin.TwoSided = true;
  skin.Specular = {0.5f, 0.5f, 0.5f, 1};
  skin.Shininess = 0.5f;
  TDemoMaterial eyes = MakeMaterial("GhostEyes", 0.05f, 0.05f, 0.08f);
  model.Materials = {skin, eyes};
  TMeshBuilder body(meshName);
  AddSphere(body, {0, 0.8f, 0}, 1.2f, 12, 8, "GhostSkin");
  AddTube(body, {0, -2.4f, 0}, 1.5f, 1.2f, 3.2f, 12, "GhostSkin");
  for (float side : {-0.45f, 0.45f})
    AddBox(body, {side, 0.9f, -1.05f}, 0.18f, 0.35f, 0.15f, 0, "GhostEyes", 1.0f);
  model.Meshes.push_back(body.Finish());
  return model;
}

TDemoModel LanternModel() {
  TDemoModel model;
  TDemoMaterial glow = MakeMaterial("LanternGlow", 1.0f, 0.7f, 0.25f);
  glow.SelfIlluminated = true;
  glow.SelfIllum = 1.0f;
  TDemoMaterial frame = MakeMaterial("LanternFrame", 0.2f, 0.2f, 0.22f);
  model.Materials = {glow, frame};
  TMeshBuilder b("Lantern");
  AddSphere(b, {0, 0, 0}, 1.0f, 10, 8, "LanternGlow");
  AddCylinder(b, {0, 0.9f, 0}, 0.6f, 0.4f, 8, "LanternFrame", "LanternFrame", 1.0f);
  AddCylinder(b, {0, -1.3f, 0}, 0.6f, 0.4f, 8, "LanternFrame", "LanternFrame", 1.0f);
  model.Meshes.push_back(b.Finish());
  return model;
}

TDemoModel SkyModel(float radius, const std::string& texture) {
  TDemoModel model;
  TDemoMaterial sky = MakeMaterial("Sky", 1, 1, 1, texture);
  sky.Ambient = {1, 1, 1, 1};
  sky.Specular = {0, 0, 0, 1};
  sky.Shininess = 0;
  sky.SelfIlluminated = true;
  sky.SelfIllum = 1.0f;
  model.Materials = {sky};
  TMeshBuilder b("SkyDome");
  AddSkyDome(b, radius, -15.0f, 24, 8, "Sky", 2.0f);
  model.Meshes.push_back(b.Finish());
  return model;
}

}  // namespace qv::assets

// The smaller demo levels and the stress level.

#include <cmath>

#include "assets/DemoLevels.h"
#include "assets/DemoParts.h"
#include "assets/DemoRandom.h"
#include "assets/DemoShapes.h"
#include "assets/DemoTextures.h"

namespace qv::assets {

namespace {

void AddDecorationTextures(TDemoFiles& files, const std::string& dir) {
  for (const auto& [name, image] : DecorationTextures()) files.AddTexture(dir + name, image);
}

void GhostSection(TIniText& ini, const std::string& section, const std::string& file,
                  const std::string& kind, float x, float y, float z, float heading, float speed) {
  ini.Section(section)
      .Key("filename", file)
      .Key("classname", kind)
      .Key("Initialxpos", x)
      .Key("Initialypos", y)
      .Key("Initialzpos", z)
      .Key("InitialHeading", heading)
      .Key("UnitsPerSec", speed);
}

// Every level's ground lies a little below y = 0 at the origin, so the reset to (0, 0, 0) puts the
// player just above it (an actor stands only on ground below its origin).
constexpr float kBelowOrigin = -0.5f;

float MeadowGround(float x, float z) {
  return 2.5f * std::sin(x * 0.03f) * std::cos(z * 0.025f) + 1.2f * std::sin((x + 2 * z) * 0.02f) +
         kBelowOrigin;
}

}  // namespace

// Level 0: a meadow with a cottage. It has no sky box of its own (the fallback in "objects" is
// drawn), and its files are stored in another letter case than the settings, the level file and
// its materials ask for: the folder "meadow" for "levels\Meadow", "objects.3ds" for "Objects.3DS",
// "ghosts/wisp.3ds" for "Ghosts\Wisp.3DS", "grass.tga" for "Grass.BMP".
void AddMeadowLevel(TDemoFiles& files) {
  const std::string dir = "levels/meadow/";
  TDemoModel model;
  model.Materials = {MakeMaterial("MeadowGrass", 0.95f, 1, 0.9f, "Grass.BMP"),
                     MakeMaterial("Bricks", 1, 1, 1, "Bricks.JPG"),
                     MakeMaterial("Thatch", 0.85f, 0.7f, 0.4f)};
  for (const TDemoMaterial& m : DecorationMaterials()) model.Materials.push_back(m);

  for (int t = 0; t < 2; ++t) {
    TMeshBuilder b(t == 0 ? "terMeadowWest" : "terMeadowEast");
    AddHeightfield(b, t == 0 ? -120.0f : 0.0f, -120, t == 0 ? 0.0f : 120.0f, 120, 20, 40,
                   MeadowGround, "MeadowGrass", 1.0f / 8);
    model.Meshes.push_back(b.Finish());
  }
  TMeshBuilder cottage("colCottage");
  AddBox(cottage, {20, MeadowGround(20, -20) - 2, -20}, 8, 9, 6, 10, "Bricks", 1.0f / 6);
  model.Meshes.push_back(cottage.Finish());
  TMeshBuilder roof("CottageRoof");
  AddPitchedRoof(roof, {20, 0, -20}, 8, 6, MeadowGround(20, -20) + 7, 5, 1.5f, 10, "Thatch",
                 "Bricks", 1.0f / 6);
  model.Meshes.push_back(roof.Finish());
  TMeshBuilder well("colWell");
  AddCylinder(well, {-15, MeadowGround(-15, 10) - 1, 10}, 2.5f, 3, 16, "Rock", "Rock", 1.0f / 3);
  model.Meshes.push_back(well.Finish());

  AddBoundaryWall(model, "colMeadowWall", 110, 72, 2.5f, MeadowGround, "Rock");

  TDemoRandom random(7);
  for (int i = 0; i < 60; ++i) {
    float x = 0, z = 0;
    do {
      x = random.Uniform(-115, 115);
      z = random.Uniform(-115, 115);
    } while ((std::fabs(x - 20) < 14 && std::fabs(z + 20) < 12) || std::hypot(x + 15, z - 10) < 6 ||
             std::hypot(x, z - 60) < 12);
    const TVector base{x, MeadowGround(x, z), z};
    const auto seed = static_cast<std::uint32_t>(random.Next());
    if (i % 3 == 0)
      AddRock(model, "Rock" + std::to_string(i), base, random.Uniform(0.8f, 2), seed);
    else if (i % 5 == 1)
      AddBush(model, "Bush" + std::to_string(i), base, random.Uniform(1, 2), seed);
    else
      AddTree(model, "Tree" + std::to_string(i), base, random.Uniform(10, 18), seed);
  }
  files.AddModel(dir + "objects.3ds", model);
  files.AddTexture(dir + "grass.tga", GrassTexture(128, 31));
  files.AddTexture(dir + "bricks.tga", BrickTexture(128, 32, {150, 120, 90}, {210, 205, 190}));
  AddDecorationTextures(files, dir);
  files.AddModel(dir + "ghosts/wisp.3ds", GhostModel("Wisp", "GhostSkin.TGA", 0.85f, 0.9f, 1));
  files.AddTexture(dir + "ghosts/ghostskin.tga", GhostSkinTexture(64, 33, {200, 230, 255}));
  files.AddModel(dir + "lantern.3DS", LanternModel());

  TIniText ini;
  ini.Comment("Meadow: no sky box of its own; file names in another letter case than on disk.")
      .Section("Player")
      .Key("FogStart", 200.0f)
      .Key("FogEnd", 1100.0f)
      .Key("FogColorR", 0.85f)
      .Key("FogColorG", 0.75f)
      .Key("FogColorB", 0.7f)
      .Key("Startingxpos", 0.0f)
      .Key("Startingypos", MeadowGround(0, 60) + 6)
      .Key("Startingzpos", 60.0f)
      .Key("Heading", 20.0f)
      .Key("UnitsPerSec", 2.5f);
  // Both seekers head for the hiders they find; a plain search ghost seeks by random turns and
  // would not end its games on a meadow this size.
  GhostSection(ini, "Wisp1", "Ghosts\\Wisp.3DS", "TInFrustumGhostObject", -30,
               MeadowGround(-30, 0) + 6, 0, 0, 1.2f);
  ini.Key("InitialState", 2).Key("ViewingAngle", 170.0f);
  GhostSection(ini, "Wisp2", "Ghosts\\Wisp.3DS", "TDirectGhostObject", 40, MeadowGround(40, 30) + 6,
               30, 120, 1.0f);
  ini.Key("InitialState", 2);
  GhostSection(ini, "Lamp", "Lantern.3ds", "TShuttleGhostObject", 0, MeadowGround(0, -60) + 6, -60,
               0, 1.0f);
  ini.Key("MoveVecx", 0.0f).Key("MoveVecy", 0.0f).Key("MoveVecz", 1.5f);
  files.AddText(dir + "Level.ini", ini.Text());
}

// Level 1: a small yard; its level file has only the "Player" section (no ghosts).
void AddTinyLevel(TDemoFiles& files) {
  const std::string dir = "levels/Tiny/";
  TDemoModel model;
  model.Materials = {MakeMaterial("Floor", 1, 1, 1, "floor.tga")};
  for (const TDemoMaterial& m : DecorationMaterials()) model.Materials.push_back(m);
  TMeshBuilder floor("terFloor");
  constexpr float y = kBelowOrigin;
  AddHeightfield(
      floor, -30, -30, 30, 30, 6, 6, [](float, float) { return y; }, "Floor", 1.0f / 6);
  model.Meshes.push_back(floor.Finish());
  TMeshBuilder ramp("terRamp");
  AddRamp(ramp, {-10, y, 10}, 1, 0, 6, 12, 3, "Crate", 1.0f / 4);
  model.Meshes.push_back(ramp.Finish());
  const float crates[4][2] = {{-12, -12}, {-9, -12}, {12, -8}, {14, 12}};
  for (int i = 0; i < 4; ++i)
    AddCrate(model, "Crate" + std::to_string(i + 1), {crates[i][0], y, crates[i][1]}, 2.5f,
             static_cast<float>(i) * 20);
  AddLampPost(model, "Lamp1", {-20, y, -20});
  AddLampPost(model, "Lamp2", {20, y, 20});
  files.AddModel(dir + "Objects.3DS", model);
  files.AddTexture(dir + "floor.tga", NoiseTexture(64, 41, {120, 110, 95}, {170, 160, 140}, 4));
  AddDecorationTextures(files, dir);

  TIniText ini;
  ini.Section("Player")
      .Key("FogStart", 60.0f)
      .Key("FogEnd", 1500.0f)
      .Key("Startingxpos", 0.0f)
      .Key("Startingypos", 6.0f)
      .Key("Startingzpos", 20.0f);
  files.AddText(dir + "Level.ini", ini.Text());
}

// Level 3: a stress test for the partition tree, culling and the movement step. A terrain of
// 1,000 x 1,000 units in four tiles, 2,500 decorations and 40 buildings (over 200,000 triangles
// in over 2,000 objects) and 32 ghosts, which play inside a ring wall of radius 120.
void AddStressLevel(TDemoFiles& files) {
  const std::string dir = "levels/Stress/";
  auto ground = [](float x, float z) {
    return 12.0f * std::sin(x * 0.011f) * std::cos(z * 0.013f) + 4.0f * std::sin((x - z) * 0.031f) +
           kBelowOrigin;
  };
  TDemoModel model;
  model.Materials = {MakeMaterial("Grass", 0.95f, 1, 0.9f, "grass.bmp"),
                     MakeMaterial("Brick", 1, 1, 1, "bricks.jpg")};
  for (const TDemoMaterial& m : DecorationMaterials()) model.Materials.push_back(m);
  for (int t = 0; t < 4; ++t) {
    const float x0 = (t % 2 == 0) ? -500.0f : 0.0f, z0 = (t < 2) ? -500.0f : 0.0f;
    TMeshBuilder b("terTile" + std::to_string(t));
    AddHeightfield(b, x0, z0, x0 + 500, z0 + 500, 100, 100, ground, "Grass", 1.0f / 8);
    model.Meshes.push_back(b.Finish());
  }
  // The ghosts play within this ring, so a seeker can reach every hider within minutes.
  AddBoundaryWall(model, "colArena", 120, 72, 3, ground, "Rock");

  TDemoRandom random(99);
  for (int i = 0; i < 40; ++i) {
    const float x = random.Uniform(-450, 450), z = random.Uniform(-450, 450);
    TMeshBuilder b("colBlock" + std::to_string(i));
    AddBox(b, {x, ground(x, z) - 2, z}, random.Uniform(4, 10), random.Uniform(8, 20),
           random.Uniform(4, 10), random.Uniform(0, 90), "Brick", 1.0f / 6);
    model.Meshes.push_back(b.Finish());
  }
  for (int i = 0; i < 2500; ++i) {
    const float x = random.Uniform(-490, 490), z = random.Uniform(-490, 490);
    const TVector base{x, ground(x, z), z};
    const auto seed = static_cast<std::uint32_t>(random.Next());
    const std::string n = std::to_string(i);
    switch (i % 5) {
      case 0: AddRock(model, "Rock" + n, base, random.Uniform(1, 3), seed); break;
      case 1: AddBush(model, "Bush" + n, base, random.Uniform(1, 2.5f), seed); break;
      case 2: AddLampPost(model, "Lamp" + n, base); break;
      default: AddTree(model, "Tree" + n, base, random.Uniform(9, 18), seed); break;
    }
  }
  files.AddModel(dir + "Objects.3DS", model);
  files.AddTexture(dir + "grass.tga", GrassTexture(128, 51));
  files.AddTexture(dir + "bricks.tga", BrickTexture(128, 52, {140, 80, 60}, {190, 190, 180}));
  AddDecorationTextures(files, dir);
  files.AddModel(dir + "ghosts/Wisp.3ds", GhostModel("Wisp", "ghostskin.tga", 0.85f, 0.9f, 1));
  files.AddModel(dir + "ghosts/Shade.3ds", GhostModel("Shade", "ghostskin.tga", 0.6f, 0.5f, 0.8f));
  files.AddTexture(dir + "ghosts/ghostskin.tga", GhostSkinTexture(64, 53, {190, 210, 255}));
  files.AddModel(dir + "Lantern.3ds", LanternModel());

  TIniText ini;
  ini.Comment("Stress level: 32 ghosts on a 1,000 x 1,000 terrain, playing inside a ring wall.")
      .Section("Player")
      .Key("FogStart", 300.0f)
      .Key("FogEnd", 1200.0f)
      .Key("Startingxpos", 0.0f)
      .Key("Startingypos", ground(0, 0) + 8)
      .Key("Startingzpos", 0.0f)
      .Key("UnitsPerSec", 4.0f)
      .Key("AbleToFly", 1);
  // Every kind that ends its games; the plain search ghost, which seeks by random turns, would not
  // find twenty hiders.
  const char* kinds[5] = {"TDirectGhostObject", "TDirectGhostObject", "TInFrustumGhostObject",
                          "TShuttleGhostObject", "TGhostObject"};
  for (int g = 0; g < 32; ++g) {
    const float angle = static_cast<float>(g) * 11.25f * 3.14159265f / 180;
    const float x = 60 * std::cos(angle) + 4 * static_cast<float>(g % 3);
    const float z = 60 * std::sin(angle);
    const std::string kind = kinds[g % 5];
    const bool floating = kind == "TShuttleGhostObject" || kind == "TGhostObject";
    const std::string file = kind == "TShuttleGhostObject" ? "Lantern.3ds"
                             : g % 2 == 0                  ? "ghosts\\Wisp.3ds"
                                                           : "ghosts\\Shade.3ds";
    GhostSection(ini, "Ghost" + std::to_string(g + 1), file, kind, x,
                 ground(x, z) + (floating ? 5.0f : 7.0f), z, static_cast<float>(g * 37 % 360),
                 floating ? 0.4f : 2.0f + 0.02f * static_cast<float>(g));
    if (!floating) ini.Key("InitialState", 2);
    if (kind == "TInFrustumGhostObject") ini.Key("ViewingAngle", 150.0f + static_cast<float>(g));
    if (kind == "TShuttleGhostObject")
      ini.Key("MoveVecx", std::cos(angle)).Key("MoveVecy", 0.0f).Key("MoveVecz", std::sin(angle));
  }
  files.AddText(dir + "Level.ini", ini.Text());
}

}  // namespace qv::assets

// The showcase level, where the game starts: a walled courtyard with a reflecting ball in a flat
// valley ringed by hills. Every feature of the level format appears at least once:
//  - terrain ("ter") in several tiles: one tile has a pond cut out of it, which a hidden walkable
//    water surface and an arched bridge fill; a plateau overlaps a tile 9 units higher, reached by
//    stairs and a ramp; cliffs ("col") stop actors from walking under it;
//  - collision meshes ("col"): houses, courtyard walls, columns, a glass pen, a boulder, cliffs,
//    and a tower of more than 500 vertices (met by its bounding box, which is its shape);
//  - materials: two reflective ones ("CUBEMAP" in two letter cases), see-through ones through
//    0xA08A (water, glass) and through a 32-bit texture (lattice fence), one with transparency but
//    without 0xA08A (stays opaque), two-sided, flat-shaded and wireframe ones, self-illuminated
//    lamps; textures named ".bmp" and ".jpg" that the game reads as ".tga";
//  - smoothing: columns share their side vertices and split them at the caps;
//  - several hundred decorations so the partition tree has work;
//  - its own sky dome with texture coordinates on every vertex;
//  - ghosts of every kind that ends its games (direct and in-frustum seekers, a shuttle, a plain
//    drifter), some models in a sub-folder, file names written with "\";
//  - a ring wall inside the hills that keeps actors off the edge of the terrain.

#include <cmath>
#include <numbers>
#include <string>

#include "assets/DemoLevels.h"
#include "assets/DemoParts.h"
#include "assets/DemoRandom.h"
#include "assets/DemoShapes.h"
#include "assets/DemoTextures.h"

namespace qv::assets {

namespace {

const std::string kDir = "levels/Showcase/";
constexpr float kPi = std::numbers::pi_v<float>;
constexpr float kPlateauTop = 9.0f;
constexpr float kValleyLevel = -0.5f;
constexpr float kPedestalX = 0, kPedestalZ = -12;

float Smoothstep(float t) {
  t = t < 0 ? 0 : (t > 1 ? 1 : t);
  return t * t * (3 - 2 * t);
}

// Gentle rolling in the valley, hills beyond 100 units from the centre. The valley lies a little
// below y = 0, so the reset to (0, 0, 0) puts the player just above the courtyard's floor.
float Ground(float x, float z) {
  const float rolling = 0.6f * std::sin(x * 0.07f) * std::cos(z * 0.05f) +
                        0.4f * std::sin((x - z) * 0.04f) + kValleyLevel;
  const float edge = std::fmax(std::fabs(x), std::fabs(z));
  const float hills = Smoothstep((edge - 100.0f) / 50.0f) *
                      (8.0f + 6.0f * std::sin(x * 0.05f + 1.0f) * std::cos(z * 0.06f));
  return rolling + hills;
}

// The pond: cells 10..15 x 9..14 of the south-west tile, i.e. x in [-90, -54], z in [54, 90].
constexpr float kPondX0 = -90, kPondX1 = -54, kPondZ0 = 54, kPondZ1 = 90;
constexpr float kWaterLevel = kValleyLevel - 0.6f;

struct TRect {
  float x0, x1, z0, z1;
  bool Contains(float x, float z, float margin) const {
    return x > x0 - margin && x < x1 + margin && z > z0 - margin && z < z1 + margin;
  }
};

std::vector<TDemoMaterial> Materials() {
  std::vector<TDemoMaterial> m;
  m.push_back(MakeMaterial("Grass", 0.9f, 0.95f, 0.85f, "grass.bmp"));
  m.push_back(MakeMaterial("Stone", 0.9f, 0.9f, 0.88f, "stone.tga"));
  m.push_back(MakeMaterial("Brick", 1.0f, 0.95f, 0.9f, "bricks.jpg"));
  m.push_back(MakeMaterial("RoofTile", 1.0f, 1.0f, 1.0f, "roof.tga"));
  m.push_back(MakeMaterial("Wood", 1.0f, 1.0f, 1.0f, "wood.bmp"));
  m.push_back(MakeMaterial("Marble", 1.0f, 1.0f, 1.0f, "marble.jpg"));
  m.push_back(MakeMaterial("Sand", 1.0f, 0.95f, 0.85f, "sand.tga"));

  TDemoMaterial water = MakeMaterial("Water", 0.2f, 0.45f, 0.65f);
  water.Transparency = 0.45f;
  water.NegateTransparency = true;
  water.TwoSided = true;
  water.Specular = {0.8f, 0.8f, 0.8f, 1};
  water.Shininess = 0.7f;
  m.push_back(water);

  TDemoMaterial glass = MakeMaterial("Glass", 0.7f, 0.85f, 0.9f);
  glass.Transparency = 0.6f;
  glass.NegateTransparency = true;
  glass.TwoSided = true;
  glass.Specular = {1, 1, 1, 1};
  glass.Shininess = 0.9f;
  m.push_back(glass);

  // A transparency value without the 0xA08A chunk leaves the surface opaque.
  TDemoMaterial frosted = MakeMaterial("FrostedCap", 0.85f, 0.9f, 0.95f);
  frosted.Transparency = 0.3f;
  m.push_back(frosted);

  TDemoMaterial lattice = MakeMaterial("Lattice", 1, 1, 1, "lattice.tga");
  lattice.TwoSided = true;
  m.push_back(lattice);

  TDemoMaterial chrome = MakeMaterial("Chrome_CUBEMAP", 0.9f, 0.9f, 0.95f);
  chrome.Specular = {1, 1, 1, 1};
  chrome.Shininess = 0.95f;
  m.push_back(chrome);
  TDemoMaterial obsidian = MakeMaterial("ObsidianCubeMap", 0.5f, 0.5f, 0.6f, "stone.tga");
  obsidian.Specular = {1, 1, 1, 1};
  obsidian.Shininess = 0.9f;
  m.push_back(obsidian);

  TDemoMaterial scaffold = MakeMaterial("Scaffold", 0.95f, 0.6f, 0.1f);
  scaffold.Shading = 0;  // wireframe
  m.push_back(scaffold);
  TDemoMaterial holo = MakeMaterial("HoloWire", 0.3f, 0.9f, 1.0f);
  holo.Shading = 0;
  holo.SelfIlluminated = true;
  holo.SelfIllum = 1.0f;
  m.push_back(holo);

  TDemoMaterial banner = MakeMaterial("Banner", 0.75f, 0.1f, 0.12f);
  banner.TwoSided = true;
  banner.Shading = 1;  // flat
  m.push_back(banner);

  for (const TDemoMaterial& d : DecorationMaterials()) m.push_back(d);
  return m;
}

void AddTerrain(TDemoModel& model) {
  const float tiles[4][4] = {
      {-150, 0, -150, 0}, {0, 150, -150, 0}, {-150, 0, 0, 150}, {0, 150, 0, 150}};
  const char* names[4] = {"terNorthWest", "terNorthEast", "terSouthWest", "terSouthEast"};
  for (int t = 0; t < 4; ++t) {
    TMeshBuilder b(names[t]);
    std::function<bool(int, int)> skip;
    if (t == 2)  // the pond: cells whose x lies in [-90, -54] and z in [54, 90]
      skip = [](int i, int j) { return i >= 10 && i < 16 && j >= 9 && j < 15; };
    AddHeightfield(b, tiles[t][0], tiles[t][2], tiles[t][1], tiles[t][3], 25, 25, Ground, "Grass",
                   1.0f / 8, skip);
    model.Meshes.push_back(b.Finish());
  }

  // The pond's water surface is walkable but not drawn: actors wade across it.
  TMeshBuilder walk("terPondWalk");
  AddHeightfield(
      walk, kPondX0, kPondZ0, kPondX1, kPondZ1, 6, 6, [](float, float) { return kWaterLevel; },
      "Water", 1.0f / 8);
  model.Meshes.push_back(walk.Finish(/*hidden=*/true));

  TMeshBuilder water("PondWater");
  AddHeightfield(
      water, kPondX0, kPondZ0, kPondX1, kPondZ1, 6, 6, [](float, float) { return kWaterLevel; },
      "Water", 1.0f / 8);
  model.Meshes.push_back(water.Finish());

  // The bed meets the surrounding ground at the pond's rim and sinks 5 units in the middle.
  TMeshBuilder bed("PondBed");
  AddHeightfield(
      bed, kPondX0, kPondZ0, kPondX1, kPondZ1, 12, 12,
      [](float x, float z) {
        const float u = (x - kPondX0) / (kPondX1 - kPondX0);
        const float v = (z - kPondZ0) / (kPondZ1 - kPondZ0);
        return Ground(x, z) - 5.0f * std::sin(kPi * u) * std::sin(kPi * v);
      },
      "Sand", 1.0f / 6);
  model.Meshes.push_back(bed.Finish());

  // The arched bridge spans the pond from bank to bank.
  TMeshBuilder bridge("terBridge");
  const float bx0 = -96, bx1 = -48;
  auto deck = [=](float x, float) {
    const float t = (x - bx0) / (bx1 - bx0);
    const float ends = Ground(bx0, 72) * (1 - t) + Ground(bx1, 72) * t;
    return ends + 0.2f + 3.0f * std::sin(kPi * t);
  };
  AddHeightfield(bridge, bx0, 68, bx1, 76, 16, 2, deck, "Wood", 1.0f / 4);
  model.Meshes.push_back(bridge.Finish());
  TMeshBuilder rails("BridgeRails");
  for (int k = 0; k <= 8; ++k) {
    const float x = bx0 + (bx1 - bx0) * static_cast<float>(k) / 8;
    for (float z : {68.3f, 75.7f})
      AddBox(rails, {x, deck(x, z) - 0.5f, z}, 0.2f, 2.5f, 0.2f, 0, "Wood", 0.5f);
  }
  model.Meshes.push_back(rails.Finish());

  // The plateau overlaps the north-east tile, 9 units up.
  TMeshBuilder plateau("terPlateau");
  AddHeightfield(
      plateau, 30, -85, 80, -45, 10, 8, [](float, float) { return kPlateauTop; }, "Stone",
      1.0f / 6);
  model.Meshes.push_back(plateau.Finish());

  // Its cliffs stop just under the top, so an actor arriving by the stairs or the ramp passes
  // over them while one on the ground cannot walk under the plateau. Each side is a mesh of its
  // own, under 500 vertices, so actors meet the cliffs as walls: one that walks off the edge
  // drops to the ground beside them (as one box over the whole plateau they held it on top).
  const float top = kPlateauTop - 0.1f, bottom = -3.0f, h = top - bottom;
  struct TCliffSide {
    float X0, Z0, X1, Z1;  // the side's centre line
    float Half;            // half its thickness
  };
  const TCliffSide sides[] = {{30, -84.5f, 80, -84.5f, 0.5f},
                              {79.5f, -84, 79.5f, -46, 0.5f},
                              {31, -45.5f, 79, -45.5f, 0.5f},
                              {30.5f, -84, 30.5f, -46, 0.5f}};
  int sideNumber = 0;
  for (const TCliffSide& side : sides) {
    TMeshBuilder cliff("colCliff" + std::to_string(++sideNumber));
    const float length = std::hypot(side.X1 - side.X0, side.Z1 - side.Z0);
    const bool alongX = side.Z0 == side.Z1;
    const float halfLength = length / 2;
    AddBox(cliff, {(side.X0 + side.X1) / 2, bottom, (side.Z0 + side.Z1) / 2},
           alongX ? halfLength : side.Half, h, alongX ? side.Half : halfLength, 0, "Stone",
           1.0f / 6, EBottom::Open);
    model.Meshes.push_back(cliff.Finish());
  }

  TMeshBuilder stairs("terStairs");
  const float stairBase = Ground(50, -15);
  AddStairs(stairs, {50, stairBase, -15}, 0, -1, 10, 12, (kPlateauTop - stairBase) / 12, 2.5f,
            "Stone", 1.0f / 4);
  model.Meshes.push_back(stairs.Finish());

  TMeshBuilder ramp("terRamp");
  const float rampBase = Ground(0, -70);
  AddRamp(ramp, {0, rampBase, -70}, 1, 0, 10, 30, kPlateauTop - rampBase, "Wood", 1.0f / 4);
  model.Meshes.push_back(ramp.Finish());

  // A fence of the 32-bit lattice texture along the plateau's open edges.
  TMeshBuilder fence("colFence");
  AddPanel(fence, 31, -84, 79, -84, kPlateauTop, kPlateauTop + 2.5f, "Lattice", 1.0f / 2.5f);
  AddPanel(fence, 79, -84, 79, -46, kPlateauTop, kPlateauTop + 2.5f, "Lattice", 1.0f / 2.5f);
  model.Meshes.push_back(fence.Finish());

  // Inside the hills, so nobody walks off the edge of the world.
  AddBoundaryWall(model, "colRingWall", 135, 96, 2.5f, Ground, "Stone");

  TMeshBuilder holo("Hologram");
  AddSphere(holo, {55, kPlateauTop + 7, -65}, 4, 16, 10, "HoloWire");
  model.Meshes.push_back(holo.Finish());
}

struct THouse {
  const char* Name;
  const char* Roof;
  float X, Z, HalfX, HalfZ, Height, Yaw;
};

const THouse kHouses[] = {
    {"colHouseA", "RoofA", -45, -30, 10, 7, 10, 0},
    {"colHouseB", "RoofB", -15, -65, 7, 7, 9, 15},
    {"colHouseC", "RoofC", 25, 45, 9, 6, 10, -30},
    {"colTower", "RoofTower", 70, 20, 6, 6, 22, 0},
};

void AddBuildings(TDemoModel& model) {
  for (const THouse& house : kHouses) {
    const float ground = Ground(house.X, house.Z);
    const float wallTop = ground + house.Height;
    TMeshBuilder walls(house.Name);
    if (std::string(house.Name) == "colTower") {
      // Laid in courses a unit high, over 500 vertices: actors meet the tower by its box, which
      // is its shape.
      const int courses = static_cast<int>(house.Height) + 2;
      for (int k = 0; k < courses; ++k)
        AddBox(walls, {house.X, ground - 2 + static_cast<float>(k), house.Z}, house.HalfX, 1,
               house.HalfZ, house.Yaw, "Brick", 1.0f / 6);
    } else {
      AddBox(walls, {house.X, ground - 2, house.Z}, house.HalfX, house.Height + 2, house.HalfZ,
             house.Yaw, "Brick", 1.0f / 6);
    }
    model.Meshes.push_back(walls.Finish());
    TMeshBuilder roof(house.Roof);
    AddPitchedRoof(roof, {house.X, 0, house.Z}, house.HalfX, house.HalfZ, wallTop,
                   house.HalfZ * 0.8f, 1.2f, house.Yaw, "RoofTile", "Brick", 1.0f / 6);
    model.Meshes.push_back(roof.Finish());
  }
  // Wireframe scaffolding around the tower.
  TMeshBuilder scaffold("Scaffold");
  AddBox(scaffold, {70, Ground(70, 20), 20}, 7.5f, 24, 7.5f, 0, "Scaffold", 1.0f, EBottom::Open);
  model.Meshes.push_back(scaffold.Finish());

  // The courtyard: four walls with a gate in the middle of each and its corners open, so no wall
  // meets another: a ghost that heads for a hider outside finds a way out along any wall.
  int wall = 0;
  for (int side = 0; side < 4; ++side)
    for (float half : {-1.0f, 1.0f}) {
      const bool alongX = side < 2;
      constexpr float gate = 5.0f, length = 8.5f;  // half the gate, half a segment
      const float along = half * (gate + length);
      const float fixed = (side % 2 == 0 ? -28.0f : 28.0f);
      const float x = alongX ? along : fixed, z = alongX ? fixed : along;
      TMeshBuilder b("colWall" + std::to_string(++wall));
      AddBox(b, {x, Ground(x, z) - 1.5f, z}, alongX ? length : 0.6f, 6.0f, alongX ? 0.6f : length,
             0, "Stone", 1.0f / 4);
      model.Meshes.push_back(b.Finish());
    }

  // Columns around the centre: smooth sides, flat caps (the rim vertices split).
  for (int k = 0; k < 8; ++k) {
    const float angle = (22.5f + 45.0f * static_cast<float>(k)) * kPi / 180;
    const float x = 20 * std::cos(angle), z = 20 * std::sin(angle);
    TMeshBuilder b("colColumn" + std::to_string(k + 1));
    AddCylinder(b, {x, Ground(x, z) - 1, z}, 1.2f, 13, 16, "Marble", "Marble", 1.0f / 4);
    model.Meshes.push_back(b.Finish());
  }

  // The ball stands north of the courtyard's centre, which is left open for the reset to (0, 0, 0).
  TMeshBuilder pedestal("colPedestal");
  const float px = kPedestalX, pz = kPedestalZ;
  AddCylinder(pedestal, {px, Ground(px, pz) - 1, pz}, 3, 4, 24, "Marble", "FrostedCap", 1.0f / 4);
  model.Meshes.push_back(pedestal.Finish());
  TMeshBuilder ball("ChromeBall");
  AddSphere(ball, {px, Ground(px, pz) + 6.6f, pz}, 3.5f, 24, 16, "Chrome_CUBEMAP");
  model.Meshes.push_back(ball.Finish());

  TMeshBuilder obelisk("colObelisk");
  const float og = Ground(-20, 45);
  AddBox(obelisk, {-20, og - 1, 45}, 1.5f, 15, 1.5f, 20, "ObsidianCubeMap", 1.0f / 4);
  model.Meshes.push_back(obelisk.Finish());

  // A glass pen; the plain ghost drifts inside it.
  TMeshBuilder pen("colGlassPen");
  AddBox(pen, {80, Ground(80, 60) - 1, 60}, 7, 15, 7, 0, "Glass", 1.0f / 4, EBottom::Open);
  model.Meshes.push_back(pen.Finish());

  // The boulder keeps under 500 vertices, so actors meet its surface, not the box around it.
  TMeshBuilder boulder("colBoulder");
  AddSphere(
      boulder, {-70, Ground(-70, -70) - 3, -70}, 12, 24, 16, "Rock",
      [](int s, int t) {
        return 0.9f + 0.15f * static_cast<float>(LatticeHash(s, t, 77) & 0xFF) / 255.0f;
      },
      0.8f);
  model.Meshes.push_back(boulder.Finish());

  // Banners at the courtyard gates.
  const float gates[4][2] = {{0, -31}, {31, 0}, {0, 31}, {-31, 0}};
  for (int g = 0; g < 4; ++g) {
    const float x = gates[g][0] + 6, z = gates[g][1];
    const float y = Ground(x, z);
    TMeshBuilder b("Banner" + std::to_string(g + 1));
    AddCylinder(b, {x, y - 0.5f, z}, 0.15f, 10, 6, "Metal", "Metal", 1);
    AddPanel(b, x, z, x + 3, z, y + 5, y + 9.5f, "Banner", 1.0f / 3);
    model.Meshes.push_back(b.Finish());
  }
}

void AddDecorations(TDemoModel& model) {
  // Keep-out areas: structures, the pond, the path from the start to the courtyard.
  const std::vector<TRect> keepOut = {
      {-32, 32, -32, 32}, {-57, -33, -39, -21}, {-24, -6, -74, -56},
      {14, 36, 36, 54},   {62, 78, 12, 28},     {28, 82, -87, -43},
      {44, 56, -46, -14}, {-2, 31, -76, -64},   {kPondX0 - 8, kPondX1 + 8, kPondZ0, kPondZ1},
      {72, 88, 52, 68},   {-84, -56, -84, -56}, {-24, -16, 41, 49},
      {-8, 8, 30, 125},
  };
  auto free = [&](float x, float z, float margin) {
    for (const TRect& r : keepOut)
      if (r.Contains(x, z, margin)) return false;
    return true;
  };
  TDemoRandom random(2026);
  int trees = 0, rocks = 0, bushes = 0, crates = 0;
  auto place = [&](float margin, float& x, float& z) {
    do {
      x = random.Uniform(-145, 145);
      z = random.Uniform(-145, 145);
    } while (!free(x, z, margin));
  };
  float x = 0, z = 0;
  for (int i = 0; i < 170; ++i) {
    place(3, x, z);
    AddTree(model, "Tree" + std::to_string(++trees), {x, Ground(x, z), z}, random.Uniform(9, 16),
            static_cast<std::uint32_t>(random.Next()));
  }
  for (int i = 0; i < 70; ++i) {
    place(2, x, z);
    AddRock(model, "Rock" + std::to_string(++rocks), {x, Ground(x, z), z},
            random.Uniform(0.8f, 2.5f), static_cast<std::uint32_t>(random.Next()));
  }
  for (int i = 0; i < 60; ++i) {
    place(2, x, z);
    AddBush(model, "Bush" + std::to_string(++bushes), {x, Ground(x, z), z},
            random.Uniform(1.2f, 2.4f), static_cast<std::uint32_t>(random.Next()));
  }
  // Crates stacked by the houses.
  const float piles[3][2] = {{-45, -19}, {-30, -30}, {38, 52}};
  for (const auto& pile : piles)
    for (int i = 0; i < 8; ++i) {
      const float cx = pile[0] + random.Uniform(-4, 4), cz = pile[1] + random.Uniform(-2, 2);
      AddCrate(model, "Crate" + std::to_string(++crates), {cx, Ground(cx, cz), cz},
               random.Uniform(1.5f, 2.5f), random.Uniform(0, 90));
    }
  // Lamps along the path from the start and inside the courtyard.
  int lamps = 0;
  for (int i = 0; i < 6; ++i)
    for (float side : {-6.0f, 6.0f}) {
      const float lz = 40 + 14 * static_cast<float>(i);
      AddLampPost(model, "Lamp" + std::to_string(++lamps), {side, Ground(side, lz), lz});
    }
  for (const auto& corner : {std::pair{-24.f, -24.f}, {24.f, -24.f}, {24.f, 24.f}, {-24.f, 24.f}})
    AddLampPost(model, "Lamp" + std::to_string(++lamps),
                {corner.first, Ground(corner.first, corner.second), corner.second});
}

// The ghosts that play seek the hiders they head for: a plain search ghost, which seeks by random
// turns, would not find everybody in a valley this size. The in-frustum ones see all round but
// straight behind them, so they too head for a hider at every think step.
constexpr float kWideView = 170.0f;

struct TGhostEntry {
  const char* Section;
  const char* File;
  const char* Class;
  float X, Z, Y, Heading, Speed;
  int InitialState;  // written only when above 0
};

}  // namespace

void AddShowcaseLevel(TDemoFiles& files) {
  TDemoModel model;
  model.Materials = Materials();
  AddTerrain(model);
  AddBuildings(model);
  AddDecorations(model);
  files.AddModel(kDir + "Objects.3DS", model);
  files.AddModel(kDir + "SkyBox.3DS", SkyModel(450.0f, "sky.bmp"));

  files.AddTexture(kDir + "grass.tga", GrassTexture(256, 1));
  files.AddTexture(kDir + "stone.tga", NoiseTexture(128, 2, {95, 92, 88}, {185, 180, 170}, 8));
  files.AddTexture(kDir + "bricks.tga", BrickTexture(256, 3, {160, 70, 50}, {200, 195, 185}));
  files.AddTexture(kDir + "roof.tga", RoofTexture(128, 4));
  files.AddTexture(kDir + "wood.tga", WoodTexture(128, 5));
  files.AddTexture(kDir + "marble.tga", NoiseTexture(128, 6, {200, 200, 205}, {250, 250, 250}, 4));
  files.AddTexture(kDir + "sand.tga", NoiseTexture(64, 7, {170, 150, 100}, {220, 200, 150}, 8));
  files.AddTexture(kDir + "lattice.tga", LatticeTexture(128, {140, 100, 60}));
  files.AddTexture(kDir + "sky.tga", SkyTexture(256, 8, {70, 120, 210}, {200, 220, 240}));
  for (const auto& [name, image] : DecorationTextures()) files.AddTexture(kDir + name, image);

  // Ghost models: two in a sub-folder (with their skins beside them), one at the top.
  files.AddModel(kDir + "ghosts/Wisp.3ds", GhostModel("Wisp", "ghostskin.tga", 0.85f, 0.9f, 1));
  files.AddModel(kDir + "ghosts/Shade.3ds", GhostModel("Shade", "shadeskin.bmp", 0.6f, 0.5f, 0.8f));
  files.AddModel(kDir + "ghosts/Drifter.3ds",
                 GhostModel("Drifter", "ghostskin.tga", 0.6f, 1.0f, 0.7f));
  files.AddTexture(kDir + "ghosts/ghostskin.tga", GhostSkinTexture(128, 9, {170, 200, 255}));
  files.AddTexture(kDir + "ghosts/shadeskin.tga", GhostSkinTexture(128, 10, {90, 60, 130}));
  files.AddModel(kDir + "Lantern.3ds", LanternModel());

  TIniText ini;
  ini.Comment(
         "Showcase level: fog, the player's start and ghosts of every kind that ends its games.")
      .Section("Player")
      .Key("FogStart", 120.0f)
      .Key("FogEnd", 700.0f)
      .Key("FogColorR", 0.72f)
      .Key("FogColorG", 0.8f)
      .Key("FogColorB", 0.9f)
      .Key("overrideMaterialAmbientDiffuse", 0)
      .Key("overrideMaterialSpecularShininess", 0)
      .Key("Startingxpos", 0.0f)
      .Key("Startingypos", Ground(0, 110) + 6)
      .Key("Startingzpos", 110.0f)
      .Key("Heading", 0.0f)
      .Key("Tilt", 0.0f)
      .Key("UnitsPerSec", 2.0f)
      .Key("AbleToFly", 0);
  const TGhostEntry ghosts[] = {
      {"Casper", "ghosts\\Wisp.3ds", "TDirectGhostObject", -12, 60, 0, 45, 1.7f, 2},
      {"Boo", "ghosts\\Wisp.3ds", "TInFrustumGhostObject", 45, 75, 0, 200, 1.5f, 2},
      {"Hunter", "ghosts\\Shade.3ds", "TDirectGhostObject", -50, 10, 0, 90, 1.9f, 3},
      {"Watcher", "ghosts\\Shade.3ds", "TInFrustumGhostObject", 60, -20, 0, 270, 1.6f, 2},
      {"Ferry", "Lantern.3ds", "TShuttleGhostObject", -72, 62, 4.5f, 0, 1.0f, 0},
      {"Drifter", "ghosts\\Drifter.3ds", "TGhostObject", 80, 60, 5.0f, 30, 0.3f, 0},
  };
  for (const TGhostEntry& g : ghosts) {
    ini.Section(g.Section)
        .Key("filename", g.File)
        .Key("classname", g.Class)
        .Key("Initialxpos", g.X)
        .Key("Initialypos", g.Y > 0 ? Ground(g.X, g.Z) + g.Y : Ground(g.X, g.Z) + 6)
        .Key("Initialzpos", g.Z)
        .Key("InitialHeading", g.Heading)
        .Key("InitialTilt", 0.0f)
        .Key("UnitsPerSec", g.Speed);
    if (g.InitialState > 0) ini.Key("InitialState", g.InitialState);
    if (std::string(g.Class) == "TInFrustumGhostObject") ini.Key("ViewingAngle", kWideView);
    if (std::string(g.Class) == "TShuttleGhostObject")
      ini.Key("MoveVecx", 1.2f).Key("MoveVecy", 0.05f).Key("MoveVecz", 0.0f);
  }
  // A section without a file name is no ghost; the game skips it.
  ini.Section("Notes").Key("author", "demo generator").Key("classname", "TSearchGhostObject");
  files.AddText(kDir + "Level.ini", ini.Text());
}

}  // namespace qv::assets

// The database half of TFile3DS: name lists and the mesh and material records.

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "models/Chunks3DS.h"
#include "models/File3DS.h"

namespace qv {

using namespace chunk3ds;

namespace {

// The payload of `node` as a T, moved out, with the payload released; `fallback` when the chunk
// holds no such payload.
template <typename T>
T TakePayload(TFile3DS& file, TChunkNode3DS& node, T fallback = T{}) {
  file.LoadPayload(node);
  T value = std::move(fallback);
  if (node.payload) {
    if (T* held = std::get_if<T>(node.payload.get())) value = std::move(*held);
  }
  ReleasePayload(node);
  return value;
}

std::string NameOf(TFile3DS& file, TChunkNode3DS* node) {
  return node ? TakePayload<std::string>(file, *node) : std::string();
}

void RefreshNames(TFile3DS& file, TChunkNode3DS* section, uint16_t entryId, uint16_t nameId,
                  std::vector<TNameEntry3DS>& names) {
  names.clear();
  for (TChunkNode3DS* entry = FindChunkDeep(section, entryId); entry;
       entry = FindChunkAlong(entry->next.get(), entryId)) {
    TChunkNode3DS* nameChunk = nameId == entryId ? entry : FindChunkDeep(entry, nameId);
    names.push_back({NameOf(file, nameChunk), entry});
  }
}

void CheckRoot(TChunkNode3DS* root, bool materialLibraryToo) {
  if (!root) Raise3DSError(kMsg3DSNotCreated);
  const bool ok = root->id == kScene || root->id == kProject ||
                  (materialLibraryToo && root->id == kMaterialLibrary);
  if (!ok) RaiseAtChunk(kMsg3DSWrongKind, *root);
}

// Map settings the format defines that an exporter may write directly under the material instead
// of under their map (0xA252, the bump percentage, is the common one). They carry nothing the game
// uses, so the material is read without them rather than refused.
bool IsMisplacedMapProperty(uint16_t id) {
  static constexpr uint16_t kIds[] = {
      kMatBumpPercent, kMatMapName,  kMapTiling, kMapBlur, kMapUScale, kMapVScale, kMapUOffset,
      kMapVOffset,     kMapRotation, 0xA360,     0xA362,   0xA364,     0xA366,     0xA368};
  return std::find(std::begin(kIds), std::end(kIds), id) != std::end(kIds);
}

// ---- materials ----

float PercentOf(TFile3DS& file, TChunkNode3DS& chunk) {
  if (TChunkNode3DS* whole = FindChunkDeep(&chunk, kIntPercent)) {
    return TakePayload<int16_t>(file, *whole) / 100.0f;
  }
  if (TChunkNode3DS* real = FindChunkDeep(&chunk, kFloatPercent)) {
    return TakePayload<float>(file, *real);
  }
  return 0;
}

TColor3DS ToColor(const TColor24_3DS& c) { return {c.r / 255.0f, c.g / 255.0f, c.b / 255.0f}; }

TColor3DS ColorOf(TFile3DS& file, TChunkNode3DS& chunk) {
  TColor3DS color;
  if (TChunkNode3DS* plain = FindChunkDeep(&chunk, kColor24)) {
    color = ToColor(TakePayload<TColor24_3DS>(file, *plain));
  }
  if (TChunkNode3DS* gamma = FindChunkDeep(&chunk, kColor24Gamma)) {
    color = ToColor(TakePayload<TColor24_3DS>(file, *gamma));
  }
  return color;
}

void ReadBitmap(TFile3DS& file, TChunkNode3DS& mapChunk, TBitmap3DS& map) {
  TChunkNode3DS* first = mapChunk.children.get();
  if (TChunkNode3DS* whole = FindChunkAlong(first, kIntPercent)) {
    map.percent = TakePayload<int16_t>(file, *whole) / 100.0f;
  } else if (TChunkNode3DS* real = FindChunkAlong(first, kFloatPercent)) {
    map.percent = TakePayload<float>(file, *real);
  }
  for (TChunkNode3DS* sub = first; sub; sub = sub->next.get()) {
    const uint16_t id = sub->id;
    if (id == kMatMapName) {
      map.name = TakePayload<std::string>(file, *sub);
    } else if (id == kMatBumpPercent && mapChunk.id == kMatBumpMap) {
      map.percent = TakePayload<int16_t>(file, *sub) / 100.0f;
    } else if (id == kMapTiling) {
      const uint16_t flags = TakePayload<uint16_t>(file, *sub);
      map.tiling = (flags & 0x10) ? ((flags & 0x01) ? 1 : 0) : ((flags & 0x01) ? 2 : 0);
      map.ignoreAlpha = flags & 0x100;
      map.summedAreaFilter = flags & 0x20;
      map.mirror = flags & 0x02;
      map.negative = flags & 0x08;
      map.source = (flags & 0x200) ? 3 : (flags & 0x80) ? 2 : (flags & 0x40) ? 1 : 0;
    } else if (id == kMapBlur) {
      map.blur = TakePayload<float>(file, *sub);
    } else if (id == kMapUScale) {
      map.uScale = TakePayload<float>(file, *sub, 1.0f);
    } else if (id == kMapVScale) {
      map.vScale = TakePayload<float>(file, *sub, 1.0f);
    } else if (id == kMapUOffset) {
      map.uOffset = TakePayload<float>(file, *sub);
    } else if (id == kMapVOffset) {
      map.vOffset = TakePayload<float>(file, *sub);
    } else if (id == kMapRotation) {
      map.rotation = TakePayload<float>(file, *sub);
    } else if (id >= kMapTint1 && id <= kMapTint1 + 8 && (id - kMapTint1) % 2 == 0) {
      map.tint[(id - kMapTint1) / 2] = ToColor(TakePayload<TColor24_3DS>(file, *sub));
    } else if (id >= 0xA320 && id <= 0xA338) {
      map.procData = TakePayload<std::vector<uint8_t>>(file, *sub);
    }
  }
}

// The map a map or mask chunk fills; null for other ids.
TBitmap3DS* MapFor(TMaterial3DS& m, uint16_t id) {
  switch (id) {
    case kMatTexture: return &m.texture.map;
    case kMatTextureMask: return &m.texture.mask;
    case kMatTexture2: return &m.texture2.map;
    case kMatTexture2Mask: return &m.texture2.mask;
    case kMatOpacityMap: return &m.opacity.map;
    case kMatOpacityMask: return &m.opacity.mask;
    case kMatBumpMap: return &m.bump.map;
    case kMatBumpMask: return &m.bump.mask;
    case kMatSpecMap: return &m.specMap.map;
    case kMatSpecMask: return &m.specMap.mask;
    case kMatShinMap: return &m.shinMap.map;
    case kMatShinMask: return &m.shinMap.mask;
    case kMatIllumMap: return &m.illumMap.map;
    case kMatIllumMask: return &m.illumMap.mask;
    case kMatReflectMap: return &m.reflect.map;
    case kMatReflectMask: return &m.reflect.mask;
    default: return nullptr;
  }
}

// Procedural data directly under a material entry, in the order of the map sets.
TBitmap3DS* ProceduralTarget(TMaterial3DS& m, uint16_t id) {
  static constexpr uint16_t kIds[] = {0xA320, 0xA321, 0xA322, 0xA324, 0xA325,
                                      0xA326, 0xA328, 0xA32A, 0xA32C, 0xA32E,
                                      0xA330, 0xA332, 0xA334, 0xA336, 0xA338};
  TBitmap3DS* const targets[] = {
      &m.texture.map,  &m.texture.mask, &m.texture2.map, &m.texture2.mask, &m.opacity.map,
      &m.opacity.mask, &m.bump.map,     &m.bump.mask,    &m.specMap.map,   &m.specMap.mask,
      &m.shinMap.map,  &m.shinMap.mask, &m.illumMap.map, &m.illumMap.mask, &m.reflect.mask};
  for (size_t i = 0; i < std::size(kIds); ++i) {
    if (kIds[i] == id) return targets[i];
  }
  return nullptr;
}

}  // namespace

const std::vector<TNameEntry3DS>& TFile3DS::MaterialNames() {
  if (materialNamesStale_) {
    TChunkNode3DS* section = FindChunkDeep(rootChunk_.get(), kMeshData);
    if (!section) section = FindChunkDeep(rootChunk_.get(), kMaterialLibrary);
    if (section) {
      RefreshNames(*this, section, kMaterialEntry, kMatName, materialNames_);
      materialNamesStale_ = false;
    } else {
      materialNames_.clear();
    }
  }
  return materialNames_;
}

const std::vector<TNameEntry3DS>& TFile3DS::ObjectNames() {
  if (objectNamesStale_) {
    TChunkNode3DS* section = FindChunkDeep(rootChunk_.get(), kMeshData);
    if (section) {
      RefreshNames(*this, section, kNamedObject, kNamedObject, objectNames_);
      objectNamesStale_ = false;
    } else {
      objectNames_.clear();
    }
  }
  return objectNames_;
}

std::unique_ptr<TMaterial3DS> TFile3DS::ReadMaterial(int index) {
  CheckRoot(rootChunk_.get(), true);
  const std::vector<TNameEntry3DS>& names = MaterialNames();
  if (index < 0 || static_cast<size_t>(index) >= names.size()) {
    Raise3DSErrorIndex(kMsg3DSInvalidIndex, index);
  }
  TChunkNode3DS& entry = *names[index].node;
  auto m = std::make_unique<TMaterial3DS>();
  try {
    if (entry.id != kMaterialEntry) RaiseAtChunk(kMsg3DSInvalidChunk, entry);
    ReadMaterialProperties(entry, *m);
  } catch (const E3DSError& e) {
    throw E3DSError(std::string(e.what()) + " in material \"" + names[index].name + "\"");
  }
  return m;
}

void TFile3DS::ReadMaterialProperties(TChunkNode3DS& entry, TMaterial3DS& material) {
  TMaterial3DS* m = &material;
  for (TChunkNode3DS* sub = entry.children.get(); sub; sub = sub->next.get()) {
    const uint16_t id = sub->id;
    if ((id & 0xFF00) == 0x8000) continue;  // extra data of other programs
    if (TBitmap3DS* map = MapFor(*m, id)) {
      ReadBitmap(*this, *sub, *map);
      continue;
    }
    if (TBitmap3DS* target = ProceduralTarget(*m, id)) {
      target->procData = TakePayload<std::vector<uint8_t>>(*this, *sub);
      continue;
    }
    if (IsMisplacedMapProperty(id)) continue;
    switch (id) {
      case kMatName: m->name = TakePayload<std::string>(*this, *sub); break;
      case kMatAmbient: m->ambient = ColorOf(*this, *sub); break;
      case kMatDiffuse: m->diffuse = ColorOf(*this, *sub); break;
      case kMatSpecular: m->specular = ColorOf(*this, *sub); break;
      case kMatShininess: m->shininess = PercentOf(*this, *sub); break;
      case kMatShineStrength: m->shineStrength = PercentOf(*this, *sub); break;
      case kMatShin3: break;
      case kMatTransparency: m->transparency = PercentOf(*this, *sub); break;
      case kMatTransFalloff: m->transFalloff = PercentOf(*this, *sub); break;
      case kMatReflectBlur: m->reflectBlur = PercentOf(*this, *sub); break;
      case kMatSelfIllum: m->selfIllum = true; break;
      case kMatTwoSided: m->twoSided = true; break;
      case kMatDecal: break;
      case kMatAdditive: m->additive = true; break;
      case kMatSelfIllumPercent: m->selfIllumPercent = PercentOf(*this, *sub); break;
      case kMatWire: m->shading = 0; break;
      case kMatWireSize: m->wireSize = TakePayload<float>(*this, *sub, 1.0f); break;
      case kMatFaceMap: m->faceMap = true; break;
      case kMatXpFallIn: m->transparency = -m->transparency; break;
      case kMatSoften: m->soften = true; break;
      case kMatWireInUnits: m->wireInUnits = true; break;
      case kMatShading: m->shading = TakePayload<int16_t>(*this, *sub, 3); break;
      case kMatUseTransFalloff: m->useTransFalloff = true; break;
      case kMatUseReflectBlur: m->useReflectBlur = true; break;
      case kMatAutoReflect: {
        const TAutoReflect3DS a = TakePayload<TAutoReflect3DS>(*this, *sub);
        m->reflect.useAuto = true;
        m->reflect.autoFirstFrameOnly = a.flags & 0x01;
        m->reflect.autoFlat = a.flags & 0x02;
        m->reflect.autoSize = a.size;
        m->reflect.autoFrameStep = a.frameStep;
        break;
      }
      default: RaiseAtChunk(kMsg3DSInvalidChunk, *sub);
    }
  }
}

// ---- meshes ----

int TFile3DS::CountMeshes() {
  meshObjects_.clear();
  for (const TNameEntry3DS& entry : ObjectNames()) {
    if (FindChunkDeep(entry.node, kTriMesh)) meshObjects_.push_back(entry.node);
  }
  return static_cast<int>(meshObjects_.size());
}

std::unique_ptr<TMesh3DS> TFile3DS::ReadMesh(int index) {
  TChunkNode3DS& object = MeshObject(index);
  auto r = std::make_unique<TMesh3DS>();
  r->name = TakePayload<std::string>(*this, object);
  try {
    TChunkNode3DS* mesh = FindChunkAlong(object.children.get(), kTriMesh);
    if (!mesh) RaiseAtChunk(kMsg3DSWrongType, object);
    TChunkNode3DS* faceList = ReadMeshChunks(*mesh, *r);
    ReadObjectFlags(object, *r);
    CheckMeshIndices(*r, faceList);
  } catch (const E3DSError& e) {
    throw E3DSError(std::string(e.what()) + " in mesh \"" + r->name + "\"");
  }
  PadPerFaceArrays(*r);
  return r;
}

TChunkNode3DS& TFile3DS::MeshObject(int index) {
  CheckRoot(rootChunk_.get(), false);
  if (meshObjects_.empty()) CountMeshes();
  if (index < 0 || static_cast<size_t>(index) >= meshObjects_.size()) {
    throw std::out_of_range("mesh index " + std::to_string(index) + " out of range");
  }
  return *meshObjects_[index];
}

TChunkNode3DS* TFile3DS::ReadMeshChunks(TChunkNode3DS& mesh, TMesh3DS& r) {
  TChunkNode3DS* faceList = nullptr;
  for (TChunkNode3DS* sub = mesh.children.get(); sub; sub = sub->next.get()) {
    switch (sub->id) {
      case kVertexList: r.vertices = TakePayload<std::vector<TVector>>(*this, *sub); break;
      case kVertexFlags: r.vertexFlags = TakePayload<std::vector<uint16_t>>(*this, *sub); break;
      case kTexVerts:
        r.texVerts = TakePayload<std::vector<TTexCoord>>(*this, *sub);
        r.texVertexCount = static_cast<uint16_t>(r.texVerts.size());
        break;
      case kMapInfo:
        r.useMapInfo = true;
        r.mapInfo = TakePayload<TMapInfo3DS>(*this, *sub);
        break;
      case kMeshMatrix: r.localMatrix = TakePayload<std::array<float, 12>>(*this, *sub); break;
      case kMeshColor: r.meshColor = TakePayload<uint8_t>(*this, *sub); break;
      case kProcName: r.procName = TakePayload<std::string>(*this, *sub); break;
      case kProcData: r.procData = TakePayload<std::vector<uint8_t>>(*this, *sub); break;
      case kFaceList:
        faceList = sub;
        ReadFaceList(*sub, r);
        break;
      default: break;
    }
  }
  return faceList;
}

// The faces with what hangs below them: material groups, smoothing, box map.
void TFile3DS::ReadFaceList(TChunkNode3DS& faceList, TMesh3DS& r) {
  r.faces = TakePayload<std::vector<TFace3DS>>(*this, faceList);
  r.matGroups.clear();
  for (TChunkNode3DS* g = FindChunkDeep(&faceList, kFaceMaterial); g;
       g = FindChunkAlong(g->next.get(), kFaceMaterial)) {
    r.matGroups.push_back(TakePayload<TObjMat3DS>(*this, *g));
  }
  r.smoothing.clear();
  if (TChunkNode3DS* s = FindChunkAlong(faceList.children.get(), kSmoothing)) {
    r.smoothing = TakePayload<std::vector<uint32_t>>(*this, *s);
  }
  r.useBoxMap = false;
  if (TChunkNode3DS* box = FindChunkAlong(faceList.children.get(), kBoxMap)) {
    r.useBoxMap = true;
    r.boxMap = TakePayload<std::array<std::string, 6>>(*this, *box);
  }
}

void TFile3DS::ReadObjectFlags(TChunkNode3DS& object, TMesh3DS& r) {
  TChunkNode3DS* flags = object.children.get();
  r.hidden = FindChunkAlong(flags, kObjHidden);
  r.visibleInLofter = FindChunkAlong(flags, kObjVisLofter);
  r.matte = FindChunkAlong(flags, kObjMatte);
  r.noCastShadows = FindChunkAlong(flags, kObjNoCast);
  r.fast = FindChunkAlong(flags, kObjFast);
  r.noReceiveShadows = FindChunkAlong(flags, kObjNoReceive);
  r.frozen = FindChunkAlong(flags, kObjFrozen);
  r.procedural = FindChunkAlong(flags, kObjProcedural);
}

// Indices that point outside their arrays would send every consumer out of bounds: refuse them
// here, once, instead of trusting each reader of the record to check.
void TFile3DS::CheckMeshIndices(const TMesh3DS& r, const TChunkNode3DS* faceList) {
  const size_t nVerts = r.vertices.size();
  // A branch-free pass first (a million faces are common); the offending face is looked for only
  // when there is one.
  uint32_t highA = 0, highB = 0, highC = 0;  // three independent chains run side by side
  for (const TFace3DS& f : r.faces) {
    highA = f.a > highA ? f.a : highA;
    highB = f.b > highB ? f.b : highB;
    highC = f.c > highC ? f.c : highC;
  }
  const bool outside = !r.faces.empty() && std::max({highA, highB, highC}) >= nVerts;
  for (size_t i = 0; outside && i < r.faces.size(); ++i) {
    const TFace3DS& f = r.faces[i];
    const uint16_t corners[3] = {f.a, f.b, f.c};
    for (uint16_t corner : corners) {
      if (corner >= nVerts) {
        RaiseAtChunk("face " + std::to_string(i) + " uses vertex " + std::to_string(corner) +
                         ", not below the vertex count " + std::to_string(nVerts),
                     *faceList);
      }
    }
  }
  for (const TObjMat3DS& group : r.matGroups) {
    const uint32_t faceLimit = static_cast<uint32_t>(r.faces.size());
    uint32_t beyond = 0;
    for (uint16_t face : group.faces) beyond |= face >= faceLimit;
    if (!beyond) continue;
    for (uint16_t face : group.faces) {
      if (face >= r.faces.size()) {
        RaiseAtChunk("material group \"" + group.name + "\" names face " + std::to_string(face) +
                         ", not below the face count " + std::to_string(r.faces.size()),
                     *faceList);
      }
    }
  }
}

// Consumers read one mask per face and one coordinate pair per vertex.
void TFile3DS::PadPerFaceArrays(TMesh3DS& r) {
  if (!r.smoothing.empty() && r.smoothing.size() < r.faces.size()) {
    r.smoothing.resize(r.faces.size(), 0);
  }
  if (!r.texVerts.empty() && r.texVerts.size() < r.vertices.size()) {
    r.texVerts.resize(r.vertices.size());
  }
}

// ---- lists ----

int TMaterialList::Count() {
  if (items_.empty()) items_.resize(owner_.MaterialNames().size());
  return static_cast<int>(items_.size());
}

const TMaterial3DS* TMaterialList::Item(int index) {
  const int count = Count();
  if (count == 0) return nullptr;
  if (index < 0 || index >= count) {
    throw std::out_of_range("material index " + std::to_string(index) + " out of range 0.." +
                            std::to_string(count - 1));
  }
  if (!items_[index]) {
    try {
      items_[index] = owner_.ReadMaterial(index);
    } catch (const std::bad_alloc&) {
      Raise3DSError(kMsg3DSNoMemory);
    }
  }
  return items_[index].get();
}

int TObjectList::MeshCount() {
  if (meshes_.empty()) meshes_.resize(owner_.CountMeshes());
  return static_cast<int>(meshes_.size());
}

const TMesh3DS* TObjectList::MeshItem(int index) {
  const int count = MeshCount();
  if (count == 0) return nullptr;
  if (index < 0 || index >= count) {
    throw std::out_of_range("mesh index " + std::to_string(index) + " out of range 0.." +
                            std::to_string(count - 1));
  }
  if (!meshes_[index]) {
    try {
      meshes_[index] = owner_.ReadMesh(index);
    } catch (const std::bad_alloc&) {
      Raise3DSError(kMsg3DSNoMemory);
    }
  }
  return meshes_[index].get();
}

void TObjectList::ReleaseMesh(int index) {
  if (index >= 0 && static_cast<size_t>(index) < meshes_.size()) meshes_[index].reset();
}

}  // namespace qv

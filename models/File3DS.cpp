#include "models/File3DS.h"

#include <bit>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <new>
#include <system_error>
#include <type_traits>
#include <utility>

#include "models/Chunks3DS.h"
#include "platform/Paths.h"

namespace qv {

using namespace chunk3ds;

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

[[noreturn]] void FailAt(const TChunkNode3DS& node, const std::string& problem) {
  Raise3DSError(Format("Chunk 0x%04X at offset %u: %s", node.id, node.position, problem.c_str()));
}

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Dword(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// ---- own data before sub-chunks ----

enum class TOwnData {
  Leaf,           // the whole body is own data; no sub-chunks
  Fixed,          // a fixed number of bytes (possibly 0), then sub-chunks
  Name,           // a name, then sub-chunks
  NameThen6,      // 0xB010: a name and 6 bytes
  WordNameDword,  // 0xB00A: 2 bytes, a name, 4 bytes
  FaceList,       // 0x4120: a count n and 8*n bytes
};

struct TOwnDataRule {
  TOwnData kind;
  uint32_t bytes;  // for Fixed
};

TOwnDataRule OwnDataRule(uint16_t id) {
  // One line per payload size reads as the table it is.
  // clang-format off
  switch (id) {
    case 0x1200: case 0x2100: case 0x2D2D: case 0x2D3D: case 0x3000: case 0x3D3D: case 0x3DAA:
    case 0x3DFF: case 0x4100: case 0x4D4D: case 0x8000: case 0x8001: case 0xA010: case 0xA020:
    case 0xA030: case 0xA040: case 0xA041: case 0xA042: case 0xA050: case 0xA052: case 0xA053:
    case 0xA084: case 0xA200: case 0xA204: case 0xA210: case 0xA220: case 0xA230: case 0xA33A:
    case 0xA33C: case 0xA33D: case 0xA33E: case 0xA340: case 0xA342: case 0xA344: case 0xA346:
    case 0xA348: case 0xA34A: case 0xA34C: case 0xAFFF: case 0xB000: case 0xB001: case 0xB002:
    case 0xB003: case 0xB004: case 0xB005: case 0xB006: case 0xB007: case 0xC23D:
      return {TOwnData::Fixed, 0};
    case 0x0030: case 0x1420: case 0x1430: case 0xB030:
      return {TOwnData::Fixed, 2};
    case 0x0011:
      return {TOwnData::Fixed, 3};
    case 0x0002: case 0x0031: case 0x0100: case 0x1300: case 0x1400: case 0x1410: case 0x3D3E:
    case 0xB009: case 0xB015: case 0xD000:
      return {TOwnData::Fixed, 4};
    case 0xB008:
      return {TOwnData::Fixed, 8};
    case 0x4641:
      return {TOwnData::Fixed, 10};
    case 0x0010: case 0x1500: case 0x4600: case 0xA310: case 0xB013:
      return {TOwnData::Fixed, 12};
    case 0x7001:
      return {TOwnData::Fixed, 14};
    case 0x2200: case 0x2300: case 0x2302: case 0x3010: case 0x3020: case 0x3030: case 0x3040:
    case 0x3050: case 0x3060:
      return {TOwnData::Fixed, 16};
    case 0x4610:
      return {TOwnData::Fixed, 20};
    case 0xB014:
      return {TOwnData::Fixed, 24};
    case 0x3070:
      return {TOwnData::Fixed, 28};
    case 0x4700:
      return {TOwnData::Fixed, 32};
    case 0x4160:
      return {TOwnData::Fixed, 48};
    case 0x1100: case 0x3080: case 0x4000: case 0x4181: case 0xA000: case 0xA300: case 0xB011:
      return {TOwnData::Name, 0};
    case 0xB010:
      return {TOwnData::NameThen6, 0};
    case 0xB00A:
      return {TOwnData::WordNameDword, 0};
    case 0x4120:
      return {TOwnData::FaceList, 0};
    default:
      return {TOwnData::Leaf, 0};
  }
  // clang-format on
}

bool IsContainer(uint16_t id) {
  const TOwnDataRule rule = OwnDataRule(id);
  return rule.kind == TOwnData::Fixed && rule.bytes == 0;
}

// Reads the own data of one chunk, never past the chunk's end (which the tree loader has checked
// against the parent and the file). Every read checks its size first.
class TChunkCursor {
 public:
  TChunkCursor(const uint8_t* data, const TChunkNode3DS& node)
      : data_(data), node_(node), pos_(node.position + 6), end_(node.position + node.length) {}

  uint32_t Position() const { return pos_; }
  uint32_t Left() const { return end_ - pos_; }

  void Need(uint64_t bytes, const char* what) {
    if (bytes > Left()) {
      FailAt(node_, Format("%s needs %llu bytes at offset %u, but only %u remain in the chunk",
                           what, static_cast<unsigned long long>(bytes), pos_, Left()));
    }
  }
  void Skip(uint64_t bytes, const char* what) {
    Need(bytes, what);
    pos_ += static_cast<uint32_t>(bytes);
  }
  uint8_t Byte() {
    Need(1, "a byte");
    return data_[pos_++];
  }
  uint16_t Word() {
    Need(2, "a 16-bit word");
    const uint16_t value = qv::Word(data_ + pos_);
    pos_ += 2;
    return value;
  }
  int16_t Int16() { return static_cast<int16_t>(Word()); }
  uint32_t Dword() {
    Need(4, "a 32-bit integer");
    const uint32_t value = qv::Dword(data_ + pos_);
    pos_ += 4;
    return value;
  }
  int32_t Int32() { return static_cast<int32_t>(Dword()); }
  float Single() {
    const uint32_t bits = Dword();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // A zero-terminated name inside the chunk, at most kMaxName3DS characters.
  std::string Name() {
    const uint32_t length = NameLength();
    std::string name(reinterpret_cast<const char*>(data_ + pos_), length);
    pos_ += length + 1;
    return name;
  }
  void SkipName() { pos_ += NameLength() + 1; }
  // A count followed by `count` entries of `size` bytes: checks they fit, returns the count.
  uint32_t Count(uint32_t size, const char* what) {
    const uint32_t count = Word();
    if (static_cast<uint64_t>(count) * size > Left()) {
      FailAt(node_,
             Format("%s count %u needs %llu bytes at offset %u, but only %u remain in the "
                    "chunk",
                    what, count, static_cast<unsigned long long>(count) * size, pos_, Left()));
    }
    return count;
  }
  std::vector<uint8_t> Rest() {
    std::vector<uint8_t> bytes(data_ + pos_, data_ + end_);
    pos_ = end_;
    return bytes;
  }
  const uint8_t* Here() const { return data_ + pos_; }
  void Advance(uint32_t bytes) { pos_ += bytes; }  // only after a successful Need/Count

 private:
  uint32_t NameLength() const {
    const uint32_t limit = Left();
    const void* zero = std::memchr(data_ + pos_, 0, limit);
    if (!zero) {
      FailAt(node_, Format("the name at offset %u has no terminating zero inside the chunk", pos_));
    }
    const uint32_t length =
        static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - (data_ + pos_));
    if (length > kMaxName3DS) {
      FailAt(node_, Format("the name at offset %u is %u characters long; at most %zu are allowed",
                           pos_, length, kMaxName3DS));
    }
    return length;
  }

  const uint8_t* data_;
  const TChunkNode3DS& node_;
  uint32_t pos_;
  uint32_t end_;
};

// File offset where the node's sub-chunks begin (its end for a leaf).
uint32_t OwnDataEnd(const uint8_t* data, const TChunkNode3DS& node) {
  const TOwnDataRule rule = OwnDataRule(node.id);
  TChunkCursor cursor(data, node);
  switch (rule.kind) {
    case TOwnData::Leaf: return node.position + node.length;
    case TOwnData::Fixed: cursor.Skip(rule.bytes, "its own data"); break;
    case TOwnData::Name: cursor.SkipName(); break;
    case TOwnData::NameThen6:
      cursor.SkipName();
      cursor.Skip(6, "the node header's flags");
      break;
    case TOwnData::WordNameDword:
      cursor.Skip(2, "its own data");
      cursor.SkipName();
      cursor.Skip(4, "its own data");
      break;
    case TOwnData::FaceList: {
      const uint32_t count = cursor.Count(8, "face");
      cursor.Advance(count * 8);
      break;
    }
  }
  return cursor.Position();
}

// Reads T values from a byte block that need not be aligned for T.
template <typename T>
struct TUnalignedIterator {
  using iterator_category = std::forward_iterator_tag;
  using value_type = T;
  using difference_type = std::ptrdiff_t;
  using pointer = const T*;
  using reference = T;
  const uint8_t* at;
  T operator*() const {
    T value;
    std::memcpy(&value, at, sizeof(T));
    return value;
  }
  TUnalignedIterator& operator++() {
    at += sizeof(T);
    return *this;
  }
  TUnalignedIterator operator++(int) {
    TUnalignedIterator old = *this;
    at += sizeof(T);
    return old;
  }
  bool operator==(const TUnalignedIterator& other) const { return at == other.at; }
};

static_assert(sizeof(TVector) == 12 && sizeof(TTexCoord) == 8 && sizeof(TFace3DS) == 8,
              "records must match the file's element sizes");

template <typename T>
std::vector<T> ReadArray(TChunkCursor& cursor, uint32_t count, T (*read)(TChunkCursor&)) {
  std::vector<T> items;
  if constexpr (std::endian::native == std::endian::little) {
    // The records lay out their fields as the file does: each element is copied as it stands,
    // straight into the new array (no zero fill first).
    static_assert(std::is_trivially_copyable_v<T>);
    cursor.Need(static_cast<uint64_t>(count) * sizeof(T), "the array");
    items.resize(count);
    if (count) std::memcpy(static_cast<void*>(items.data()), cursor.Here(), count * sizeof(T));
    cursor.Advance(count * static_cast<uint32_t>(sizeof(T)));
  } else {
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) items.push_back(read(cursor));
  }
  return items;
}

TVector ReadPoint(TChunkCursor& c) {
  TVector v;
  v.x = c.Single();
  v.y = c.Single();
  v.z = c.Single();
  return v;
}
TFace3DS ReadFace(TChunkCursor& c) {
  TFace3DS f;
  f.a = c.Word();
  f.b = c.Word();
  f.c = c.Word();
  f.flag = c.Word();
  return f;
}
TTexCoord ReadTexCoord(TChunkCursor& c) {
  TTexCoord t;
  t.u = c.Single();
  t.v = c.Single();
  return t;
}
uint16_t ReadWord(TChunkCursor& c) { return c.Word(); }
uint32_t ReadDword(TChunkCursor& c) { return c.Dword(); }

TColor24_3DS ReadColor24(TChunkCursor& c) {
  TColor24_3DS color;
  color.r = c.Byte();
  color.g = c.Byte();
  color.b = c.Byte();
  return color;
}

TPayload3DS DecodePayload(const uint8_t* data, const TChunkNode3DS& node) {
  TChunkCursor c(data, node);
  switch (node.id) {
    case kFileRelease:
    case kMeshRelease: return c.Dword();
    case kColor24:
    case kColor24Gamma:
    case 0xA360:
    case 0xA362:
    case 0xA364:
    case 0xA366:
    case 0xA368: return ReadColor24(c);
    case kIntPercent:
    case kMatShading:
    case kMatBumpPercent: return c.Int16();
    case kFloatPercent:
    case kMatWireSize:
    case kMapBlur:
    case kMapUScale:
    case kMapVScale:
    case kMapUOffset:
    case kMapVOffset:
    case kMapRotation: return c.Single();
    case kNamedObject:
    case kProcName:
    case kMatName:
    case kMatMapName:
    case 0xB011: return c.Name();
    case kVertexList: {
      const uint32_t n = c.Count(12, "vertex");
      return ReadArray(c, n, ReadPoint);
    }
    case kVertexFlags: {
      const uint32_t n = c.Count(2, "vertex flag");
      return ReadArray(c, n, ReadWord);
    }
    case kFaceList: {
      const uint32_t n = c.Count(8, "face");
      return ReadArray(c, n, ReadFace);
    }
    case kFaceMaterial: {
      TObjMat3DS group;
      group.name = c.Name();
      const uint32_t n = c.Count(2, "material group face");
      group.faces = ReadArray(c, n, ReadWord);
      return group;
    }
    case kTexVerts: {
      const uint32_t n = c.Count(8, "texture coordinate");
      return ReadArray(c, n, ReadTexCoord);
    }
    case kSmoothing: {
      // As many whole masks as the body holds; stray bytes after the last one are ignored.
      const uint32_t n = c.Left() / 4;
      return ReadArray(c, n, ReadDword);
    }
    case kMeshMatrix: {
      std::array<float, 12> m;
      for (float& f : m) f = c.Single();
      return m;
    }
    case kMeshColor: return c.Byte();
    case kMapInfo: {
      TMapInfo3DS info;
      info.mapType = c.Word();
      info.tileX = c.Single();
      info.tileY = c.Single();
      info.centerX = c.Single();
      info.centerY = c.Single();
      info.centerZ = c.Single();
      info.scale = c.Single();
      for (float& f : info.matrix) f = c.Single();
      info.planeWidth = c.Single();
      info.planeHeight = c.Single();
      info.cylinderHeight = c.Single();
      return info;
    }
    case kBoxMap: {
      std::array<std::string, 6> names;
      for (std::string& name : names) name = c.Name();
      return names;
    }
    case kMatAutoReflect: {
      TAutoReflect3DS a;
      a.antiAlias = c.Byte();
      a.filter = c.Byte();
      a.flags = c.Word();
      a.size = c.Int32();
      a.frameStep = c.Int32();
      return a;
    }
    case kMapTiling:
    case 0xB030: return c.Word();
    case 0xB010: {
      TNodeHeader3DS header;
      header.name = c.Name();
      header.flags1 = c.Word();
      header.flags2 = c.Word();
      header.parent = c.Word();
      return header;
    }
    default:
      // Procedure data, procedural map data and every chunk we give no form of its own: the raw
      // body (a leaf's whole body; for anything else, what lies after the header).
      if (IsContainer(node.id) || node.length <= 6) return std::monostate{};
      return c.Rest();
  }
}

}  // namespace

// ---- file and tree ----

TFile3DS::TFile3DS(const std::filesystem::path& fileName) : fileName_(fileName.string()) {
  materialList_ = std::make_unique<TMaterialList>(*this);
  objectList_ = std::make_unique<TObjectList>(*this);
  keyFramer_ = std::make_unique<TKeyFramer>(*this);

  try {
    mapped_ = std::make_unique<TMappedFile>(ResolvePath(fileName.string()));
  } catch (const std::bad_alloc&) {
    Raise3DSError(kMsg3DSNoMemory);
  } catch (const std::runtime_error& e) {
    Raise3DSError(e.what());
  }
  size_ = mapped_->Size();
  if (size_ > UINT32_MAX) {
    Raise3DSError(Format("the file holds %zu bytes; .3ds offsets reach 4 GiB at most", size_));
  }
  data_ = mapped_->Data();
  LoadChunkTree();
}

TFile3DS::TFile3DS(std::vector<uint8_t> bytes, std::string name)
    : owned_(std::move(bytes)), fileName_(std::move(name)) {
  materialList_ = std::make_unique<TMaterialList>(*this);
  objectList_ = std::make_unique<TObjectList>(*this);
  keyFramer_ = std::make_unique<TKeyFramer>(*this);
  if (owned_.size() > UINT32_MAX) {
    Raise3DSError(
        Format("the file holds %zu bytes; .3ds offsets reach 4 GiB at most", owned_.size()));
  }
  data_ = owned_.data();
  size_ = owned_.size();
  LoadChunkTree();
}

TFile3DS::~TFile3DS() {
  keyFramer_.reset();
  objectList_.reset();
  materialList_.reset();
  ReleaseChunkChain(rootChunk_);
}

namespace {

// One chunk whose sub-chunks are being read.
struct TTreeFrame {
  TChunkNode3DS* node;  // the chunk
  uint32_t end;         // its end offset
  TChunkNode3DS* tail;  // its last sub-chunk so far
  bool extraEntry;      // read by the extra-data entry rules
};

bool IsAcceptedRoot(uint16_t id) {
  return id == kScene || id == kProject || id == kMaterialLibrary;
}

std::unique_ptr<TChunkNode3DS> ReadHeaderAt(const uint8_t* data, uint32_t pos) {
  std::unique_ptr<TChunkNode3DS> node = NewChunkNode();
  node->id = Word(data + pos);
  node->length = Dword(data + pos + 2);
  node->position = pos;
  return node;
}

void CheckRootLength(const TChunkNode3DS& root, size_t fileSize) {
  if (root.length < 6) FailAt(root, Format("length %u is below the 6-byte header", root.length));
  if (root.length > fileSize) {
    FailAt(root,
           Format("length %u runs past the end of the file (%zu bytes)", root.length, fileSize));
  }
}

// What to do with a sub-chunk header just read inside `frame`, `left` bytes before its end.
enum class TSubChunk {
  Keep,        // link it into the tree
  EndsParent,  // not extra data: the extra-data entry ends here
  Dropped,     // extra data too long for its entry: read on just behind its header
};

TSubChunk JudgeSubChunk(const TTreeFrame& frame, const TChunkNode3DS& node, uint32_t left) {
  if (frame.extraEntry && (node.id < 0x8002 || node.id > 0x800F)) return TSubChunk::EndsParent;
  if (node.length < 6) FailAt(node, Format("length %u is below the 6-byte header", node.length));
  if (node.length <= left) return TSubChunk::Keep;
  if (frame.extraEntry) return TSubChunk::Dropped;
  FailAt(node, Format("length %u runs past its parent chunk 0x%04X, which ends at offset %u",
                      node.length, frame.node->id, frame.end));
}

// Appends `node` to the frame's sub-chunks.
TChunkNode3DS* LinkSubChunk(TTreeFrame& frame, std::unique_ptr<TChunkNode3DS> node) {
  TChunkNode3DS* added = node.get();
  if (frame.tail) {
    frame.tail->next = std::move(node);
  } else {
    frame.node->children = std::move(node);
  }
  frame.tail = added;
  return added;
}

// ` in object "Name"` or ` in material "Name"` for the innermost named object or material entry
// being read, so a refusal deep inside names what the author knows the thing by.
std::string EnclosingName(const uint8_t* data, const std::vector<TTreeFrame>& stack) {
  for (auto frame = stack.rbegin(); frame != stack.rend(); ++frame) {
    const TChunkNode3DS& node = *frame->node;
    if (node.id == kNamedObject) {
      // Its name was checked when its own data was skipped.
      return " in object \"" + TChunkCursor(data, node).Name() + "\"";
    }
    if (node.id == kMaterialEntry) {
      const TChunkNode3DS* name = FindChunkAlong(node.children.get(), kMatName);
      return name ? " in material \"" + TChunkCursor(data, *name).Name() + "\"" : std::string();
    }
  }
  return {};
}

}  // namespace

void TFile3DS::LoadChunkTree() {
  if (size_ == 0) Raise3DSError("the file is empty");
  if (size_ < 6) {
    Raise3DSError(Format("the file holds %zu bytes, too few for a chunk header", size_));
  }
  try {
    rootChunk_ = ReadHeaderAt(data_, 0);
    if (!IsAcceptedRoot(rootChunk_->id)) return;  // a bare root: no meshes, no materials
    CheckRootLength(*rootChunk_, size_);
    LoadSubChunkTree(*rootChunk_);
  } catch (const std::bad_alloc&) {
    rootChunk_.reset();
    Raise3DSError(kMsg3DSNoMemory);
  }
}

// Iterative walk: one frame per open chunk, so a file cannot drive the reader's recursion.
void TFile3DS::LoadSubChunkTree(TChunkNode3DS& root) {
  std::vector<TTreeFrame> stack;
  stack.push_back({&root, root.length, nullptr, false});
  try {
    uint32_t pos = OwnDataEnd(data_, root);
    while (!stack.empty()) {
      TTreeFrame& frame = stack.back();
      if (pos >= frame.end) {
        pos = frame.end;
        stack.pop_back();
        continue;
      }
      const uint32_t left = frame.end - pos;
      if (left < 6) {
        // In an extra-data entry a header that would cross the entry's end cannot belong to it.
        if (frame.extraEntry) {
          pos = frame.end;
          continue;
        }
        FailAt(*frame.node,
               Format("the %u bytes at offset %u are too few for a sub-chunk header", left, pos));
      }
      std::unique_ptr<TChunkNode3DS> node = ReadHeaderAt(data_, pos);
      switch (JudgeSubChunk(frame, *node, left)) {
        case TSubChunk::EndsParent: pos = frame.end; continue;
        case TSubChunk::Dropped: pos += 6; continue;
        case TSubChunk::Keep: break;
      }
      if (static_cast<int>(stack.size()) > kMaxDepth3DS) {
        FailAt(*node, Format("chunks nest deeper than %d levels", kMaxDepth3DS));
      }
      TChunkNode3DS* added = LinkSubChunk(frame, std::move(node));
      const bool extra = frame.extraEntry || added->id == kExtraEntry;
      const uint32_t end = added->position + added->length;
      pos = extra ? added->position + 6 : OwnDataEnd(data_, *added);
      if (pos < end) {
        stack.push_back({added, end, nullptr, extra});  // `frame` is invalid from here on
      } else {
        pos = end;
      }
    }
  } catch (const E3DSError& e) {
    const std::string scope = EnclosingName(data_, stack);
    if (scope.empty()) throw;
    throw E3DSError(e.what() + scope);
  }
}

void TFile3DS::LoadPayload(TChunkNode3DS& node) {
  if (node.payload) return;
  if (IsContainer(node.id)) return;
  if (static_cast<uint64_t>(node.position) + node.length > size_ || node.length < 6) {
    FailAt(node, "the chunk lies outside the file");
  }
  ++payloadDecodes_;
  try {
    TPayload3DS payload = DecodePayload(data_, node);
    if (std::holds_alternative<std::monostate>(payload)) return;
    node.payload = std::make_unique<TPayload3DS>(std::move(payload));
  } catch (const std::bad_alloc&) {
    Raise3DSError(kMsg3DSNoMemory);
  }
}

// ---- releases ----

namespace {

TRelease3DS ReleaseCode(uint32_t value) {
  return value >= 1 && value <= 3 ? static_cast<TRelease3DS>(value - 1) : kRelease3DSNone;
}

}  // namespace

TRelease3DS TFile3DS::MeshRelease() {
  TChunkNode3DS* root = rootChunk_.get();
  if (!root || (root->id != kScene && root->id != kProject)) return kRelease3DSNone;
  TChunkNode3DS* chunk = FindChunkDeep(root, kMeshRelease);
  if (!chunk) return kRelease3DSNone;
  LoadPayload(*chunk);
  const uint32_t* value = chunk->payload ? std::get_if<uint32_t>(chunk->payload.get()) : nullptr;
  const TRelease3DS code = value ? ReleaseCode(*value) : kRelease3DSNone;
  ReleasePayload(*chunk);
  return code;
}

TRelease3DS TFile3DS::FileRelease() {
  TChunkNode3DS* root = rootChunk_.get();
  if (!root) return kRelease3DSNone;
  if (root->id == kMaterialLibrary) return 2;
  if (root->id == kProject) return MeshRelease();
  if (root->id != kScene) return kRelease3DSNone;
  TChunkNode3DS* chunk = FindChunkDeep(root, kFileRelease);
  if (!chunk) return kRelease3DSNone;
  LoadPayload(*chunk);
  const uint32_t* value = chunk->payload ? std::get_if<uint32_t>(chunk->payload.get()) : nullptr;
  const TRelease3DS code = value ? ReleaseCode(*value) : kRelease3DSNone;
  ReleasePayload(*chunk);
  return code;
}

}  // namespace qv

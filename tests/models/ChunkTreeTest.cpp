// The chunk tree of the .3ds reader: layout rules, searches, lazy payloads and every malformed
// layout it must refuse without reading out of bounds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "models/Chunks3DS.h"
#include "models/File3DS.h"
#include "models/Writer3DS.h"
#include "platform/Beep.h"

namespace qv {
namespace {

using namespace chunk3ds;

// Counts error beeps while alive.
class BeepCounter {
 public:
  BeepCounter() {
    SetErrorBeepHook([this] { ++count; });
  }
  ~BeepCounter() { SetErrorBeepHook({}); }
  int count = 0;
};

// Opens `bytes` and expects an E3DSError whose message holds every piece of `parts`, after a beep.
void ExpectRefused(std::vector<uint8_t> bytes, std::vector<std::string> parts) {
  BeepCounter beeps;
  try {
    TFile3DS file(std::move(bytes), "bad.3ds");
    // Some faults only show when records are read.
    for (int i = 0; i < file.ObjectList().MeshCount(); ++i) file.ObjectList().MeshItem(i);
    for (int i = 0; i < file.MaterialList().Count(); ++i) file.MaterialList().Item(i);
    ADD_FAILURE() << "no error for a malformed file";
  } catch (const E3DSError& e) {
    const std::string message = e.what();
    for (const std::string& part : parts) {
      EXPECT_NE(message.find(part), std::string::npos) << "'" << part << "' not in: " << message;
    }
    EXPECT_EQ(beeps.count, 1);
  }
}

std::vector<TChunkNode3DS*> Children(TChunkNode3DS* node) {
  std::vector<TChunkNode3DS*> out;
  for (TChunkNode3DS* c = node->children.get(); c; c = c->next.get()) out.push_back(c);
  return out;
}

TEST(ChunkTree, OnlyTheThreeRootIdsAreReadFurther) {
  for (uint16_t root : {kScene, kProject, kMaterialLibrary}) {
    TChunkWriter3DS w;
    w.Begin(root);
    w.EmptyChunk(0x1234);
    w.End();
    TFile3DS file(w.Take(), "r.3ds");
    ASSERT_NE(file.RootChunk()->children, nullptr) << std::hex << root;
    EXPECT_EQ(file.RootChunk()->children->id, 0x1234);
  }
  // Another root id, even with nonsense behind it, is a bare root: no error, no meshes.
  std::vector<uint8_t> bytes = {0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3};
  TFile3DS file(bytes, "other.3ds");
  EXPECT_EQ(file.RootChunk()->id, 0x1234);
  EXPECT_EQ(file.RootChunk()->children, nullptr);
  EXPECT_EQ(file.RootChunk()->next, nullptr);
  EXPECT_EQ(file.ObjectList().MeshCount(), 0);
  EXPECT_EQ(file.MaterialList().Count(), 0);
  EXPECT_EQ(file.ObjectList().MeshItem(0), nullptr);
  EXPECT_EQ(file.MaterialList().Item(0), nullptr);
}

TEST(ChunkTree, FaceListSubChunksStartAfterItsFaces) {
  // Face bytes that look like chunk headers must be skipped as own data (2 + 8 * n bytes).
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kFaceList);
  w.Word(2);
  for (int i = 0; i < 2; ++i) {
    w.Word(kNamedObject);  // would read as a header if the faces were not skipped
    w.Word(8);
    w.Word(0);
    w.Word(0);
  }
  w.Begin(kFaceMaterial);
  w.Name("m");
  w.Word(0);
  w.End();
  w.Begin(kSmoothing);
  w.Dword(1);
  w.Dword(2);
  w.End();
  w.End();
  w.End();
  TFile3DS file(w.Take(), "f.3ds");
  TChunkNode3DS* faces = file.RootChunk()->children.get();
  ASSERT_EQ(faces->id, kFaceList);
  const auto kids = Children(faces);
  ASSERT_EQ(kids.size(), 2u);
  EXPECT_EQ(kids[0]->id, kFaceMaterial);
  EXPECT_EQ(kids[0]->position, faces->position + 6 + 2 + 16);
  EXPECT_EQ(kids[1]->id, kSmoothing);
}

TEST(ChunkTree, DeepSearchTestsItselfFirstAndAlongNeverDescends) {
  //  root { A { B { C } }  D { C } }
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(0x3D3D);
  w.Begin(0x4100);
  w.EmptyChunk(0x0C0C);
  w.End();
  w.End();
  w.Begin(0x3000);
  w.EmptyChunk(0x0C0C);
  w.End();
  w.End();
  TFile3DS file(w.Take(), "s.3ds");
  TChunkNode3DS* root = file.RootChunk();
  TChunkNode3DS* a = root->children.get();
  TChunkNode3DS* d = a->next.get();
  EXPECT_EQ(FindChunkDeep(a, 0x3D3D), a);
  EXPECT_EQ(FindChunkDeep(root, 0x0C0C), a->children->children.get());  // depth first, in order
  EXPECT_EQ(FindChunkDeep(a->children.get(), 0x3000), nullptr);         // siblings of the start: no
  EXPECT_EQ(FindChunkDeep(d, 0x0C0C), d->children.get());
  EXPECT_EQ(FindChunkAlong(a, 0x3000), d);
  EXPECT_EQ(FindChunkAlong(a, 0x0C0C), nullptr);  // only inside sub-chunks
  EXPECT_EQ(FindChunkDeep(nullptr, 1), nullptr);
  EXPECT_EQ(FindChunkAlong(nullptr, 1), nullptr);
}

TEST(ChunkTree, PayloadIsDecodedOnceAndReleasable) {
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kVertexList);
  w.Word(1);
  w.Float(1);
  w.Float(2);
  w.Float(3);
  w.End();
  w.End();
  TFile3DS file(w.Take(), "p.3ds");
  TChunkNode3DS& node = *file.RootChunk()->children;
  EXPECT_EQ(node.payload, nullptr);  // nothing decoded while opening
  file.LoadPayload(node);
  const TPayload3DS* first = node.payload.get();
  file.LoadPayload(node);
  EXPECT_EQ(node.payload.get(), first);
  EXPECT_EQ(file.PayloadDecodes(), 1);
  const auto& vertices = std::get<std::vector<TVector>>(*node.payload);
  ASSERT_EQ(vertices.size(), 1u);
  EXPECT_EQ(vertices[0], (TVector{1, 2, 3}));
  ReleasePayload(node);
  EXPECT_EQ(node.payload, nullptr);
  file.LoadPayload(node);  // released payloads can be read again
  EXPECT_EQ(file.PayloadDecodes(), 2);
}

TEST(ChunkTree, NamesUpTo255CharactersOnly) {
  auto fileWithName = [](const std::string& name) {
    TChunkWriter3DS w;
    w.Begin(kScene);
    w.Begin(kMeshData);
    w.Begin(kNamedObject);
    w.Name(name);
    w.End();
    w.End();
    w.End();
    return w.Take();
  };
  const std::string longest(255, 'n');
  TFile3DS file(fileWithName(longest), "n.3ds");
  ASSERT_EQ(file.ObjectNames().size(), 1u);
  EXPECT_EQ(file.ObjectNames()[0].name, longest);
  ExpectRefused(fileWithName(longest + "x"), {"0x4000", "256 characters", "offset 18"});
}

TEST(ChunkTree, SmoothingKeepsWholeMasksOnly) {
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kSmoothing);
  w.Dword(7);
  w.Dword(9);
  w.Byte(0xEE);  // stray bytes: (length - 6) / 4 masks
  w.Byte(0xEE);
  w.Byte(0xEE);
  w.End();
  w.End();
  TFile3DS file(w.Take(), "s.3ds");
  TChunkNode3DS& node = *file.RootChunk()->children;
  file.LoadPayload(node);
  EXPECT_EQ(std::get<std::vector<uint32_t>>(*node.payload), (std::vector<uint32_t>{7, 9}));
}

TEST(ChunkTree, ExtraDataEntryRules) {
  // 0x8000 { 0x8001 { 0x8002 {} , 0x8003 too long, 0x8004 {}, 0x1234 stops, 0x8005 unseen } }
  // then a sibling of the section that must still be read.
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kExtraData);
  w.Begin(kExtraEntry);
  w.EmptyChunk(0x8002);
  w.Word(0x8003);  // a header whose length runs past the entry: dropped, reading goes on behind it
  w.Dword(0x7FFF);
  w.EmptyChunk(0x8004);
  w.EmptyChunk(0x1234);  // outside 0x8002..0x800F: the entry ends here
  w.EmptyChunk(0x8005);
  w.End();
  w.End();
  w.EmptyChunk(0x0C0C);
  w.End();
  TFile3DS file(w.Take(), "x.3ds");
  TChunkNode3DS* section = file.RootChunk()->children.get();
  ASSERT_EQ(section->id, kExtraData);
  TChunkNode3DS* entry = section->children.get();
  ASSERT_EQ(entry->id, kExtraEntry);
  const auto kids = Children(entry);
  ASSERT_EQ(kids.size(), 2u);
  EXPECT_EQ(kids[0]->id, 0x8002);
  EXPECT_EQ(kids[1]->id, 0x8004);
  ASSERT_NE(section->next, nullptr);
  EXPECT_EQ(section->next->id, 0x0C0C);
}

TEST(ChunkTree, LongChainsAndDeepTreesWithoutRecursion) {
  // 200,000 siblings: destroying and searching them must not recurse per node.
  TChunkWriter3DS w;
  w.Begin(kScene);
  for (int i = 0; i < 200000; ++i) w.EmptyChunk(0x0C0C);
  w.EmptyChunk(0x0D0D);
  w.End();
  TFile3DS file(w.Take(), "wide.3ds");
  EXPECT_NE(FindChunkDeep(file.RootChunk(), 0x0D0D), nullptr);

  // Nesting up to the bound is read; one level more is refused.
  auto nested = [](int depth) {
    TChunkWriter3DS n;
    n.Begin(kScene);
    for (int i = 0; i < depth; ++i) n.Begin(kMeshData);
    for (int i = 0; i < depth; ++i) n.End();
    n.End();
    return n.Take();
  };
  TFile3DS deep(nested(kMaxDepth3DS), "deep.3ds");
  EXPECT_NE(FindChunkDeep(deep.RootChunk(), kMeshData), nullptr);
  ExpectRefused(nested(kMaxDepth3DS + 1), {"deeper than 64", "offset"});
}

TEST(ChunkTree, MalformedLayoutsAreRefusedWithTheirOffset) {
  ExpectRefused({}, {"empty"});
  ExpectRefused({0x4D, 0x4D, 6, 0}, {"4 bytes"});

  TChunkWriter3DS root;  // root longer than the file
  root.Begin(kScene);
  root.EmptyChunk(0x0C0C);
  root.End();
  root.PatchDword(2, 100);
  ExpectRefused(root.Take(), {"0x4D4D", "offset 0", "past the end of the file"});

  TChunkWriter3DS shortChunk;  // a sub-chunk length below its header
  shortChunk.Begin(kScene);
  shortChunk.EmptyChunk(0x0C0C);
  shortChunk.End();
  shortChunk.PatchDword(8, 3);
  ExpectRefused(shortChunk.Take(), {"0x0C0C", "offset 6", "below the 6-byte header"});

  TChunkWriter3DS zero;  // length 0 would never advance
  zero.Begin(kScene);
  zero.EmptyChunk(0x0C0C);
  zero.End();
  zero.PatchDword(8, 0);
  ExpectRefused(zero.Take(), {"offset 6", "length 0"});

  TChunkWriter3DS pastParent;  // a child running past its parent, inside the file
  pastParent.Begin(kScene);
  pastParent.Begin(kMeshData);
  pastParent.EmptyChunk(0x0C0C);
  pastParent.End();
  pastParent.EmptyChunk(0x0D0D);
  pastParent.End();
  pastParent.PatchDword(14, 12);
  ExpectRefused(pastParent.Take(), {"0x0C0C", "offset 12", "past its parent chunk 0x3D3D"});

  TChunkWriter3DS slack;  // bytes too few for a header left inside a parent
  slack.Begin(kScene);
  slack.EmptyChunk(0x0C0C);
  slack.Byte(1);
  slack.Byte(2);
  slack.End();
  ExpectRefused(slack.Take(), {"offset 12", "too few for a sub-chunk header"});

  TChunkWriter3DS faces;  // face count running past its chunk
  faces.Begin(kScene);
  faces.Begin(kFaceList);
  faces.Word(1000);
  faces.Word(0);
  faces.End();
  faces.End();
  ExpectRefused(faces.Take(), {"0x4120", "offset 6", "face count 1000"});

  // Inside a named object or a material entry, the message ends with what the author calls it.
  TChunkWriter3DS inObject;
  inObject.Begin(kScene);
  inObject.Begin(kMeshData);
  inObject.Begin(kNamedObject);
  inObject.Name("Wall");
  inObject.Begin(kTriMesh);
  inObject.Begin(kFaceList);
  inObject.Word(1000);
  for (int i = 0; i < 5; ++i) inObject.End();
  ExpectRefused(inObject.Take(), {"0x4120", "face count 1000", "in object \"Wall\""});
  TChunkWriter3DS inMaterial;
  inMaterial.Begin(kScene);
  inMaterial.Begin(kMeshData);
  inMaterial.Begin(kMaterialEntry);
  inMaterial.Begin(kMatName);
  inMaterial.Name("Brick");
  inMaterial.End();
  inMaterial.Begin(kMeshMatrix);  // 48 bytes of own data it does not have
  for (int i = 0; i < 4; ++i) inMaterial.End();
  ExpectRefused(inMaterial.Take(), {"0x4160", "needs 48 bytes", "in material \"Brick\""});

  TChunkWriter3DS noZero;  // a name without its zero inside the chunk
  noZero.Begin(kScene);
  noZero.Begin(kMeshData);
  noZero.Begin(kNamedObject);
  noZero.Bytes("abc", 3);
  noZero.End();
  noZero.EmptyChunk(0x0C0C);  // a zero exists later in the file, but not inside the chunk
  noZero.End();
  noZero.End();
  ExpectRefused(noZero.Take(), {"0x4000", "offset 12", "no terminating zero"});

  TChunkWriter3DS fixed;  // fixed own data longer than the chunk
  fixed.Begin(kScene);
  fixed.Begin(kMeshMatrix);
  fixed.Float(1);
  fixed.End();
  fixed.End();
  ExpectRefused(fixed.Take(), {"0x4160", "needs 48 bytes"});

  TChunkWriter3DS extraShort;  // extra data may drop chunks, but a length below 6 is still wrong
  extraShort.Begin(kScene);
  extraShort.Begin(kExtraEntry);
  extraShort.EmptyChunk(0x8002);
  extraShort.End();
  extraShort.End();
  extraShort.PatchDword(14, 2);
  ExpectRefused(extraShort.Take(), {"0x8002", "offset 12", "below the 6-byte header"});
}

TEST(ChunkTree, CountedPayloadsStayInsideTheirChunk) {
  // Vertex count claiming more than the chunk holds: refused when the payload is read, and no
  // array of that size is made.
  TChunkWriter3DS w;
  w.Begin(kScene);
  w.Begin(kVertexList);
  w.Word(0xFFFF);
  w.Float(1);
  w.End();
  w.Begin(kFaceMaterial);
  w.Name("mat");
  w.Word(3);
  w.Word(0);
  w.End();
  w.End();
  TFile3DS file(w.Take(), "c.3ds");
  BeepCounter beeps;
  TChunkNode3DS& vertices = *file.RootChunk()->children;
  EXPECT_THROW(file.LoadPayload(vertices), E3DSError);
  EXPECT_EQ(vertices.payload, nullptr);
  try {
    file.LoadPayload(*vertices.next);
    ADD_FAILURE();
  } catch (const E3DSError& e) {
    EXPECT_NE(std::string(e.what()).find("material group face count 3"), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(beeps.count, 2);
}

}  // namespace
}  // namespace qv

#include "scene/3dObjects.h"

#include <algorithm>

#include "scene/ModelSource.h"

namespace qv {

void T3dObjects::GetName(std::string& name) const {
  name = "T3dObjects:" + std::to_string(MemberCount()) + "Items";
}

void T3dObjects::CalcBoundingBox() {
  for (int i = 0; i < MemberCount(); ++i) {
    TBox box;
    Members.Get(i)->GetBoundingBox(box);
    if (i == 0) {
      BoundingBox = box;
      continue;
    }
    BoundingBox.minX = std::min(BoundingBox.minX, box.minX);
    BoundingBox.maxX = std::max(BoundingBox.maxX, box.maxX);
    BoundingBox.minY = std::min(BoundingBox.minY, box.minY);
    BoundingBox.maxY = std::max(BoundingBox.maxY, box.maxY);
    BoundingBox.minZ = std::min(BoundingBox.minZ, box.minZ);
    BoundingBox.maxZ = std::max(BoundingBox.maxZ, box.maxZ);
  }
  const TBox& b = BoundingBox;
  BoxVolume = (b.maxX - b.minX) * (b.maxY - b.minY) * (b.maxZ - b.minZ);
}

void T3dObjects::CalcBoundingSphere() {
  const TBox& b = BoundingBox;
  const TVector centre{b.minX + (b.maxX - b.minX) * 0.5f, b.minY + (b.maxY - b.minY) * 0.5f,
                       b.minZ + (b.maxZ - b.minZ) * 0.5f};
  float radius = std::max({b.maxX - b.minX, b.maxY - b.minY, b.maxZ - b.minZ}) / 2.0f;
  // The reach of the members' spheres is usually tighter than the box; a reach of 0 means there
  // is nothing to reach (no members, or only points at the centre).
  float reach = 0;
  for (int i = 0; i < MemberCount(); ++i) {
    TSphere s;
    Members.Get(i)->GetBoundingSphere(s);
    reach = std::max(reach, VecLength(VecSub(centre, TVector{s.x, s.y, s.z})) + s.r);
  }
  if (reach < radius && reach > 0) radius = reach;
  BoundingSphere = {centre.x, centre.y, centre.z, radius};
  SphereVolume = 4.188790204786391f * radius * radius * radius;
}

void T3dObjects::CalcTransparent() {
  Transparent = false;
  for (int i = 0; i < MemberCount() && !Transparent; ++i) Transparent = Members.Get(i)->Transparent;
}

void T3dObjects::Compile() {
  for (int i = 0; i < MemberCount(); ++i) Members.Get(i)->Compile();
  Compiled = true;
}

void T3dObjects::Uncompile() {
  Compiled = false;
  for (int i = 0; i < MemberCount(); ++i) Members.Get(i)->Uncompile();
}

void T3dObjects::Draw() {
  for (int i = 0; i < MemberCount(); ++i) Members.Get(i)->Draw();
}

void T3dObjects::Highlight() {
  for (int i = 0; i < MemberCount(); ++i) Members.Get(i)->Highlight();
}

void T3dObjects::Unhighlight() {
  for (int i = 0; i < MemberCount(); ++i) Members.Get(i)->Unhighlight();
}

T3dObject* T3dObjects::GetMember(int index) const { return Members.Get(index); }

void T3dObjects::AddFromAdapter(const TModelSource& source) {
  if (Members.Capacity() < MemberCount() + source.ObjectCount())
    Members.SetCapacity(MemberCount() + source.ObjectCount());
  for (int i = 0; i < source.ObjectCount(); ++i) Members.Add(source.GetObject(i));
}

void T3dObjects::LoadFromAdapter(const TModelSource& source) {
  AddFromAdapter(source);
  UpdateBounds();
  CalcTransparent();
}

void T3dObjects::CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                                T3dObjectList& transparent) {
  for (int i = 0; i < MemberCount(); ++i) {
    T3dObject* member = Members.Get(i);
    if (!member->IsInFrustum(frustum)) continue;
    if (member->Transparent)
      transparent.Add(member);
    else
      opaque.Add(member);
  }
}

}  // namespace qv

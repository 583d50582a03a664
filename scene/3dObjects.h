#pragma once
// T3dObjects: a scene object made of other scene objects. Its bounds enclose its members', it is
// transparent when a member is, and compiling, drawing and highlighting it do the same to every
// member in order, without culling or sorting. The sky box is one; moving actors and the ghost
// collection derive from it, the level's static objects use TStatic3dObjects (collision/).
//
// Ownership: the container only refers to its members; the model adapter that made them owns them
// and must outlive the container. Cost: CollectVisible tests every member, so a plain container
// suits a handful of members.

#include <string>

#include "scene/3dObject.h"
#include "scene/3dObjectList.h"

namespace qv {

class TModelSource;

class T3dObjects : public T3dObject {
 public:
  T3dObjects() = default;

  // T3dObject slots.
  void GetName(std::string& name) const override;  // "T3dObjects:<count>Items"
  // Encloses every member's box; with no members the box keeps its value.
  void CalcBoundingBox() override;
  // Centre of the box; radius the smaller of half the largest box side and the reach of every
  // member's sphere from that centre (unless that reach is 0).
  void CalcBoundingSphere() override;
  void CalcTransparent() override;
  void Compile() override;
  void Uncompile() override;
  void Draw() override;
  void Highlight() override;
  void Unhighlight() override;

  // Own slots.
  // std::out_of_range outside the member list's slots.
  virtual T3dObject* GetMember(int index) const;
  // Appends every object of the source, in its order.
  virtual void AddFromAdapter(const TModelSource& source);
  // AddFromAdapter, then UpdateBounds and CalcTransparent.
  virtual void LoadFromAdapter(const TModelSource& source);
  // Appends each member the frustum test finds visible (setting its SortKey) to `transparent` or
  // `opaque`. The lists are the caller's and are not cleared.
  virtual void CollectVisible(const TFrustum& frustum, T3dObjectList& opaque,
                              T3dObjectList& transparent);

  int MemberCount() const { return Members.Count(); }

  T3dObjectList Members{TOwnership::Refers};  // in the order they were added; not owned
};

}  // namespace qv

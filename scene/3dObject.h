#pragma once
// Scene objects: everything the world draws, culls, sorts or collides with derives from T3dObject.
// The base holds the two bounding volumes (world coordinates), the choice between them, the
// transparency flag, the per-frame sort key and the compiled flag, and fixes the order of the
// virtual operations. Derived classes compute their bounds once (UpdateBounds) when their geometry
// or members are in place; moving actors report moved bounds through the virtual getters instead.
// Objects are created through class references (TClassRef) so a loader can pick the class at run
// time. Nothing here touches OpenGL.
//
// The GL rule of the scene layer, kept by every class in it and by the layers above:
//  - Building makes no GL call: constructors, loading model and texture files, filling materials
//    and meshes, whole model adapters and worlds. Tools read and step levels without a window.
//  - Compile, Uncompile, texture naming and destruction are seams: without a current context
//    they do nothing GL (a compile records nothing, names are made at the first upload, names of
//    a context that is gone are forgotten; scene/GLNames.h).
//  - Drawing, applying materials, binding and uploading textures and rendering reflections
//    require a current context (RequireGLContext, asserted in debug builds).
//  - Game logic that runs on alarms (state changes, Highlight, Unhighlight) makes no GL call:
//    it marks what must change, and the next draw, in the drawing context, does it.

#include <memory>
#include <string>
#include <utility>

#include "scene/Geometry.h"

namespace qv {

// A class chosen at run time: its name and a function constructing one. Base is the type the
// loader receives, Args what the constructor takes.
template <class Base, class... Args>
struct TClassRef {
  const char* Name = "";                               // class name as loaders look it up
  std::unique_ptr<Base> (*Create)(Args...) = nullptr;  // the virtual constructor
};

// The class reference of T, constructed from Args and handed out as a Base.
template <class T, class Base, class... Args>
constexpr TClassRef<Base, Args...> ClassRefOf(const char* name) {
  return {name, [](Args... args) -> std::unique_ptr<Base> {
            return std::make_unique<T>(std::forward<Args>(args)...);
          }};
}

namespace detail {
template <class T, class Ref>
struct TClassRefMaker;
template <class T, class Base, class... Args>
struct TClassRefMaker<T, TClassRef<Base, Args...>> {
  static constexpr TClassRef<Base, Args...> Make(const char* name) {
    return ClassRefOf<T, Base, Args...>(name);
  }
};
}  // namespace detail

// The class reference of T for a loader's reference type, which already names the base and the
// constructor's arguments: MakeClassRef<TCollideeObject, TMeshClass>("TCollideeObject").
template <class T, class Ref>
constexpr Ref MakeClassRef(const char* name) {
  return detail::TClassRefMaker<T, Ref>::Make(name);
}

class T3dObject {
 public:
  // The argument-less virtual constructor: the initial values below. Derived constructors that
  // need members (containers) create them in their own constructor.
  T3dObject() = default;
  virtual ~T3dObject() = default;
  T3dObject(const T3dObject&) = delete;
  T3dObject& operator=(const T3dObject&) = delete;

  // Virtual operations in their fixed order; derived classes append after Unhighlight.
  virtual void GetName(std::string& name) const = 0;
  virtual void CalcBoundingBox() = 0;     // sets BoundingBox and BoxVolume
  virtual void CalcBoundingSphere() = 0;  // sets BoundingSphere and SphereVolume; may read the box
  virtual void CalcTransparent() = 0;     // sets Transparent
  virtual bool IsBoxTighter() const;
  virtual void GetBoundingBox(TBox& box) const;
  virtual void GetBoundingSphere(TSphere& sphere) const;
  // (The constructor takes the place of the virtual Create.)
  virtual void Compile();
  virtual void Uncompile();
  virtual void Draw() = 0;         // OpenGL drawing with the current matrices
  virtual void Highlight() = 0;    // bright white specular on every material
  virtual void Unhighlight() = 0;  // restore the saved specular colour and shininess

  // Equal volumes choose the sphere.
  void ChooseBound();
  // CalcBoundingBox, CalcBoundingSphere, ChooseBound.
  void UpdateBounds();
  // Tests the tighter bound (through the virtual getters); a visible object gets its SortKey.
  bool IsInFrustum(const TFrustum& frustum);

  bool Compiled = false;     // drawing recorded as a display list that Draw replays
  bool Transparent = false;  // has a transparent part: drawn after the opaque ones, far to near
  TBox BoundingBox{};        // axis-aligned box, world coordinates
  TSphere BoundingSphere{};  // world coordinates
  float BoxVolume = 0;       // volume of BoundingBox, cubic world units
  float SphereVolume = 0;    // volume of BoundingSphere, cubic world units
  bool BoxTighter = true;    // culling and sort key use the box, else the sphere
  float SortKey = 0;         // ViewDistance at the last visibility test that found it visible
};

using T3dObjectClass = TClassRef<T3dObject>;

// Signed distance of the object's centre from the near plane plus its extent (half the largest
// box side, or the radius), from the bound IsBoxTighter picks: grows with depth in the view and
// measures the far side of the object.
float ViewDistance(const TFrustum& frustum, const T3dObject& object);

}  // namespace qv

#include "scene/Material.h"

#include "scene/GLNames.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace qv {

namespace {

bool NameHasCubeMap(const std::string& name) {
  std::string upper = name;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return upper.find("CUBEMAP") != std::string::npos;
}

TColor WithAlpha(const TMaterialRecord::TRGB& c, float alpha) { return {c.r, c.g, c.b, alpha}; }

}  // namespace

void TMaterial::LoadFromRecord(const std::string& folder, const TMaterialRecord& record) {
  // An ordinary transparency gives an alpha of 1 or more; only the negated form (0xA08A) makes
  // the surface see-through.
  const float alpha = 1 + record.transparency;
  Ambient = WithAlpha(record.ambient, alpha);
  Diffuse = WithAlpha(record.diffuse, alpha);
  Specular = WithAlpha(record.specular, alpha);

  // A garbage fraction must not turn into an undefined integer conversion; GL takes 0..128.
  const float shininess = std::round(record.shininess * 128);
  Shininess = std::isfinite(shininess) ? static_cast<int>(std::clamp(shininess, 0.0f, 128.0f)) : 0;
  SavedSpecular = Specular;
  SavedShininess = Shininess;

  if (record.selfIllum) {
    const float f = record.selfIllumPercent;
    Emission = {Diffuse.r * f, Diffuse.g * f, Diffuse.b * f, Diffuse.a * f};
  }

  PolygonMode = record.shading > 0 ? GL_FILL : GL_LINE;
  ShadeModel = record.shading == 0 || record.shading == 1 ? GL_FLAT : GL_SMOOTH;
  TwoSided = record.twoSided;

  if (NameHasCubeMap(record.name)) {
    IsCubeMap = true;
  } else if (!record.textureMap.empty()) {
    Texture = std::make_unique<TTexture>(folder + record.textureMap);
    Texture->WrapS = GL_REPEAT;
    Texture->WrapT = GL_REPEAT;
  }
}

void TMaterial::Apply() const {
  RequireGLContext();
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, &Ambient.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, &Diffuse.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, &Emission.r);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &Specular.r);
  glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, Shininess);
  // A filled material leaves the polygon mode alone so the global wireframe switch still works.
  if (PolygonMode == GL_LINE) glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  glShadeModel(ShadeModel);
  if (TwoSided)
    glDisable(GL_CULL_FACE);
  else
    glEnable(GL_CULL_FACE);
  if (Texture) {
    // Texturing itself stays as the render switches left it.
    Texture->Bind();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, TexEnvMode);
    if (!Texture->HasAlpha) glDisable(GL_ALPHA_TEST);
  } else {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
  }
}

void TMaterial::UploadTexture() {
  if (Texture) Texture->Upload();
}

void TMaterial::SetWhite() {
  Ambient = {1, 1, 1, Ambient.a};
  Diffuse = {1, 1, 1, Diffuse.a};
}

void TMaterial::SetDullSpecular() {
  Specular = {0.1f, 0.1f, 0.1f, Specular.a};
  Shininess = 55;
  SavedSpecular = Specular;
  SavedShininess = Shininess;
}

void TMaterial::SetHighlight() {
  Specular = {1, 1, 1, Specular.a};
  Shininess = 126;
}

void TMaterial::RestoreSpecular() {
  Specular = SavedSpecular;
  Shininess = SavedShininess;
}

}  // namespace qv

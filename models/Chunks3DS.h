#pragma once
// Chunk ids of the .3ds format that the reader, the database and the writer name in code.

#include <cstdint>

namespace qv::chunk3ds {

constexpr uint16_t kFileRelease = 0x0002;
constexpr uint16_t kColor24 = 0x0011;
constexpr uint16_t kColor24Gamma = 0x0012;
constexpr uint16_t kIntPercent = 0x0030;
constexpr uint16_t kFloatPercent = 0x0031;
constexpr uint16_t kMeshData = 0x3D3D;
constexpr uint16_t kMeshRelease = 0x3D3E;
constexpr uint16_t kNamedObject = 0x4000;
constexpr uint16_t kObjHidden = 0x4010;
constexpr uint16_t kObjVisLofter = 0x4011;
constexpr uint16_t kObjNoCast = 0x4012;
constexpr uint16_t kObjMatte = 0x4013;
constexpr uint16_t kObjFast = 0x4014;
constexpr uint16_t kObjProcedural = 0x4015;
constexpr uint16_t kObjFrozen = 0x4016;
constexpr uint16_t kObjNoReceive = 0x4017;
constexpr uint16_t kTriMesh = 0x4100;
constexpr uint16_t kVertexList = 0x4110;
constexpr uint16_t kVertexFlags = 0x4111;
constexpr uint16_t kFaceList = 0x4120;
constexpr uint16_t kFaceMaterial = 0x4130;
constexpr uint16_t kTexVerts = 0x4140;
constexpr uint16_t kSmoothing = 0x4150;
constexpr uint16_t kMeshMatrix = 0x4160;
constexpr uint16_t kMeshColor = 0x4165;
constexpr uint16_t kMapInfo = 0x4170;
constexpr uint16_t kProcName = 0x4181;
constexpr uint16_t kProcData = 0x4182;
constexpr uint16_t kBoxMap = 0x4190;
constexpr uint16_t kLight = 0x4600;
constexpr uint16_t kCamera = 0x4700;
constexpr uint16_t kScene = 0x4D4D;
constexpr uint16_t kProject = 0xC23D;
constexpr uint16_t kMaterialLibrary = 0x3DAA;
constexpr uint16_t kExtraData = 0x8000;
constexpr uint16_t kExtraEntry = 0x8001;
constexpr uint16_t kMatName = 0xA000;
constexpr uint16_t kMatAmbient = 0xA010;
constexpr uint16_t kMatDiffuse = 0xA020;
constexpr uint16_t kMatSpecular = 0xA030;
constexpr uint16_t kMatShininess = 0xA040;
constexpr uint16_t kMatShineStrength = 0xA041;
constexpr uint16_t kMatShin3 = 0xA042;
constexpr uint16_t kMatTransparency = 0xA050;
constexpr uint16_t kMatTransFalloff = 0xA052;
constexpr uint16_t kMatReflectBlur = 0xA053;
constexpr uint16_t kMatSelfIllum = 0xA080;
constexpr uint16_t kMatTwoSided = 0xA081;
constexpr uint16_t kMatDecal = 0xA082;
constexpr uint16_t kMatAdditive = 0xA083;
constexpr uint16_t kMatSelfIllumPercent = 0xA084;
constexpr uint16_t kMatWire = 0xA085;
constexpr uint16_t kMatWireSize = 0xA087;
constexpr uint16_t kMatFaceMap = 0xA088;
constexpr uint16_t kMatXpFallIn = 0xA08A;
constexpr uint16_t kMatSoften = 0xA08C;
constexpr uint16_t kMatWireInUnits = 0xA08E;
constexpr uint16_t kMatShading = 0xA100;
constexpr uint16_t kMatTexture = 0xA200;
constexpr uint16_t kMatSpecMap = 0xA204;
constexpr uint16_t kMatOpacityMap = 0xA210;
constexpr uint16_t kMatReflectMap = 0xA220;
constexpr uint16_t kMatBumpMap = 0xA230;
constexpr uint16_t kMatUseTransFalloff = 0xA240;
constexpr uint16_t kMatUseReflectBlur = 0xA250;
constexpr uint16_t kMatBumpPercent = 0xA252;
constexpr uint16_t kMatMapName = 0xA300;
constexpr uint16_t kMatAutoReflect = 0xA310;
constexpr uint16_t kMatTexture2 = 0xA33A;
constexpr uint16_t kMatShinMap = 0xA33C;
constexpr uint16_t kMatIllumMap = 0xA33D;
constexpr uint16_t kMatTextureMask = 0xA33E;
constexpr uint16_t kMatTexture2Mask = 0xA340;
constexpr uint16_t kMatOpacityMask = 0xA342;
constexpr uint16_t kMatBumpMask = 0xA344;
constexpr uint16_t kMatShinMask = 0xA346;
constexpr uint16_t kMatSpecMask = 0xA348;
constexpr uint16_t kMatIllumMask = 0xA34A;
constexpr uint16_t kMatReflectMask = 0xA34C;
constexpr uint16_t kMapTiling = 0xA351;
constexpr uint16_t kMapBlur = 0xA353;
constexpr uint16_t kMapUScale = 0xA354;
constexpr uint16_t kMapVScale = 0xA356;
constexpr uint16_t kMapUOffset = 0xA358;
constexpr uint16_t kMapVOffset = 0xA35A;
constexpr uint16_t kMapRotation = 0xA35C;
constexpr uint16_t kMapTint1 = 0xA360;  // then 0xA362, 0xA364, 0xA366, 0xA368
constexpr uint16_t kMaterialEntry = 0xAFFF;
constexpr uint16_t kKeyFramer = 0xB000;

}  // namespace qv::chunk3ds

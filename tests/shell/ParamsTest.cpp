// The settings record: the zero record without a file, the defaults, the level list, the refused
// values, Windows-written level folders, and the demo settings listing every default.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "assets/DemoContent.h"
#include "platform/EGL.h"
#include "platform/IniFile.h"
#include "shell/Params.h"
#include "tests/support/ScopedLog.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using qv::TParams;

class ParamsTest : public ::testing::Test {
 protected:
  TParams Read(const std::string& text) {
    std::ofstream(File(), std::ios::binary | std::ios::trunc) << text;
    return TParams(File());
  }
  fs::path File() const { return dir_.Path() / "quorvantille.ini"; }

  qv::test::ScopedLog log_;  // refusals are EGLs, which log
  qv::test::TempDir dir_;
};

TEST_F(ParamsTest, WithoutASettingsFileEverythingIsZeroAndThereAreNoLevels) {
  const TParams params(File());
  EXPECT_EQ(params.FileName(), File());
  EXPECT_EQ(params.Width, 0);
  EXPECT_EQ(params.Bits, 0);
  for (bool on : {params.FullScreen, params.MouseCapture, params.Fog, params.Light,
                  params.ShowFrameInfoLine, params.Texture, params.AlphaTest, params.Blend,
                  params.SeparateSpecular, params.DisplayLists, params.WireFrame})
    EXPECT_FALSE(on);
  EXPECT_EQ(params.FogKey, 0);
  EXPECT_EQ(params.HighestQualityKey, 0);
  EXPECT_EQ(params.ForwardKey, 0);
  EXPECT_EQ(params.FogOnMessage, "");
  // Without a file the mouse still steers as always.
  EXPECT_EQ(params.MouseSensitivity, 1.0f);
  EXPECT_FALSE(params.InvertMouse);
  EXPECT_EQ(params.LevelCount(), 0);
  EXPECT_THROW(params.LevelDir(0), std::out_of_range);
}

TEST_F(ParamsTest, AnExistingFileGivesEveryDefault) {
  const TParams params = Read("; nothing set\r\n");
  EXPECT_EQ(params.Width, 640);
  EXPECT_EQ(params.Height, 480);
  EXPECT_EQ(params.Bits, 32);
  EXPECT_TRUE(params.FullScreen && params.MouseCapture && params.Fog && params.Light &&
              params.ShowFrameInfoLine && params.Texture && params.AlphaTest && params.Blend &&
              params.SeparateSpecular);
  EXPECT_FALSE(params.DisplayLists);
  EXPECT_FALSE(params.WireFrame);
  EXPECT_EQ(
      std::string({params.FogKey, params.LightKey, params.FrameInfoKey, params.WireFrameKey,
                   params.MouseCaptureKey, params.TextureKey, params.AlphaTestKey, params.BlendKey,
                   params.SeparateSpecularKey, params.DisplayListsKey, params.HighestQualityKey}),
      "FLIWMTABSDQ");
  EXPECT_EQ(params.SeparateSpecularOffMessage, "SeparateSpeculareColor disabled");
  EXPECT_EQ(params.DisplayListsOffMessage, "Using VertexArrays only");
  EXPECT_EQ(params.HighestQualityOnMessage, "Set to HighestQuality");
}

TEST_F(ParamsTest, ValuesAsThePlayerWroteThem) {
  struct Case {
    const char* text;
    std::function<void(const TParams&)> check;
  };
  const Case cases[] = {
      {"[keys]\nfogkey=fog\n", [](const TParams& p) { EXPECT_EQ(p.FogKey, 'f'); }},
      // Which toggle wins a shared key is the key handler's business; both keep it.
      {"[Keys]\nFogKey=R\nLightKey=R\n",
       [](const TParams& p) {
         EXPECT_EQ(std::string({p.FogKey, p.LightKey}), "RR");
       }},
      {"[Window]\nWidth=12abc\nHeight=abc\nMouseCapture=yes\n",
       [](const TParams& p) {
         EXPECT_EQ(p.Width, 640);
         EXPECT_EQ(p.Height, 480);
         EXPECT_TRUE(p.MouseCapture);
       }},
      // Numbers a float or an int cannot hold are unreadable like any other text.
      {"[Window]\nWidth=nan\nHeight=1e999\nBits=99999999999\n[GL]\nFog=inf\nLight=-nan\n",
       [](const TParams& p) {
         EXPECT_EQ(std::vector<int>({p.Width, p.Height, p.Bits}), std::vector<int>({640, 480, 32}));
         EXPECT_TRUE(p.Fog && p.Light);
       }},
      {"[Window]\nWidth=0\nHeight=0\nBits=255\nFullScreen=0\n[GL]\nFog=0\nDisplayLists=-3\n",
       [](const TParams& p) {
         EXPECT_EQ(p.Width + p.Height, 0);
         EXPECT_EQ(p.Bits, 255);
         EXPECT_FALSE(p.FullScreen);
         EXPECT_FALSE(p.Fog);
         EXPECT_TRUE(p.DisplayLists);
       }},
      {"[Mouse]\nSensitivity=0.25\nInvertY=1\n[Keys]\nForwardKey=W\nCrouchKey=c\n",
       [](const TParams& p) {
         EXPECT_EQ(p.MouseSensitivity, 0.25f);
         EXPECT_TRUE(p.InvertMouse);
         EXPECT_EQ(std::string({p.ForwardKey, p.CrouchKey}), "Wc");
         EXPECT_EQ(p.BackKey, 0);
       }},
      {"[Levels]\na=lv0\nb=lv1\\\n",
       [](const TParams& p) {
         EXPECT_EQ(p.LevelDirs, (std::vector<std::string>{"lv0\\", "lv1\\"}));
       }},
      // Repeated names are one level with the first value; empty values make none.
      {"[Levels]\nx=one\ny=\nX=two\nz = \"levels/three/\"\nY=four\nw=a=b\n",
       [](const TParams& p) {
         EXPECT_EQ(p.LevelDirs, (std::vector<std::string>{"one\\", "levels/three/", "a=b\\"}));
         EXPECT_EQ(p.LevelDir(2), "a=b\\");
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    c.check(Read(c.text));
  }
}

TEST_F(ParamsTest, EmptyKeySettingsAndOutOfRangeNumbersAreRefusedByFileAndKey) {
  const std::pair<const char*, const char*> cases[] = {
      {"[Keys]\nFogKey=\n", "FogKey"},
      {"[Keys]\nHighestQualityKey=\"\"\n", "HighestQualityKey"},
      {"[Window]\nWidth=-1\n", "Width"},
      {"[Window]\nHeight=-480\n", "Height"},
      {"[Window]\nBits=256\n", "Bits"},
      {"[Window]\nBits=-1\n", "Bits"},
      {"[Window]\nWidth=16385\n", "Width"},
      {"[Window]\nHeight=2147483647\n", "Height"},
      {"[Mouse]\nSensitivity=-0.5\n", "Sensitivity"},
      {"[Mouse]\nSensitivity=1e9\n", "Sensitivity"},
      {"[Keys]\nJumpKey=\n", "JumpKey"},
  };
  for (const auto& [text, key] : cases) {
    try {
      Read(text);
      ADD_FAILURE() << text << " was accepted";
    } catch (const qv::EGL& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(File().string()), std::string::npos) << message;
      EXPECT_NE(message.find(std::string(" ") + key + " "), std::string::npos) << message;
      EXPECT_EQ(log_.Messages().back(), message);
    }
  }
}

TEST_F(ParamsTest, LevelFoldersWrittenForWindowsResolve) {
  fs::create_directories(dir_.Path() / "levels/Showcase");
  std::ofstream(dir_.Path() / "levels/Showcase/Level.ini") << "[Player]\n";
  const TParams params = Read("[Levels]\nShow=LEVELS\\showcase\n");
  const qv::test::ScopedCurrentDir inDir(dir_.Path());
  EXPECT_EQ(params.LevelDir(0), "LEVELS\\showcase\\");
  EXPECT_TRUE(fs::is_regular_file(params.LevelFile(0, "level.ini")));
  EXPECT_THROW(params.LevelFile(1, "Level.ini"), std::out_of_range);
}

TEST_F(ParamsTest, TheDemoSettingsListEveryKeyWithItsDefault) {
  std::string text;
  for (const qv::assets::TDemoFile& file : qv::assets::BuildDemoFiles())
    if (file.Path == qv::assets::kSettingsFileName)
      text.assign(file.Bytes.begin(), file.Bytes.end());
  ASSERT_FALSE(text.empty());
  TParams demo = Read(text);
  EXPECT_EQ(demo.LevelCount(), 4);
  demo.LevelDirs.clear();
  // Defaults but for the keys: W A S D move (C crouches), and the four toggles that had them
  // by default went to X, H, P and K.
  TParams defaults = Read("");
  char TParams::*const moved[] = {&TParams::ForwardKey,     &TParams::BackKey,
                                  &TParams::StepLeftKey,    &TParams::StepRightKey,
                                  &TParams::CrouchKey,      &TParams::WireFrameKey,
                                  &TParams::AlphaTestKey,   &TParams::SeparateSpecularKey,
                                  &TParams::DisplayListsKey};
  std::string movedKeys;
  for (char TParams::*key : moved) {
    movedKeys += demo.*key;
    demo.*key = defaults.*key;
  }
  EXPECT_EQ(movedKeys, "WSADCXHPK");
  EXPECT_TRUE(demo == defaults);
  // Every key is written out, not only left to its default: 5 window keys, 8 GL switches, 11
  // toggle key characters, 19 messages, 5 movement keys and the 2 mouse keys.
  const qv::TIniFile ini = qv::TIniFile::FromText(text);
  EXPECT_EQ(ini.SectionValues("Window").size(), 5u);
  EXPECT_EQ(ini.SectionValues("GL").size(), 8u);
  EXPECT_EQ(ini.SectionValues("Keys").size(), 35u);
  EXPECT_EQ(ini.SectionValues("Mouse").size(), 2u);
}

}  // namespace

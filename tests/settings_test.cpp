// The settings store through the platform's profile functions: the real ones under Wine, the
// project's own on Linux, with the same expectations.
#include <gtest/gtest.h>

#include <string>

#include "settings/saver_settings.h"
#include "settings/settings_store.h"
#include "settings_file.h"

namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { UseFreshSettingsFile(); }
  void TearDown() override { UseFreshSettingsFile(); }
};

const std::string kDefaultsFile =
    "[Glimra ScreenSaver]\r\ndx_r=5\r\ndx_g=10\r\ndx_b=3\r\none=1\r\npal=1\r\ncir=1\r\ncycle=1\r\n"
    "direct_x=0\r\n";

TEST_F(SettingsTest, NoFileGivesDefaults) {
  saverSettings = {1, 2, 3, 4, 5, 6, 7, 8};
  LoadSettings();
  EXPECT_EQ(saverSettings.dx_r, 5.0);
  EXPECT_EQ(saverSettings.dx_g, 10.0);
  EXPECT_EQ(saverSettings.dx_b, 3.0);
  EXPECT_EQ(saverSettings.one, 1);
  EXPECT_EQ(saverSettings.pal, 1);
  EXPECT_EQ(saverSettings.cir, 1);
  EXPECT_EQ(saverSettings.cycle, 1);
  EXPECT_EQ(saverSettings.direct_x, 0);
}

TEST_F(SettingsTest, SavingDefaultsCreatesTheFileInOrder) {
  SaveSettings();
  EXPECT_EQ(ReadSettingsFile(), kDefaultsFile);
}

TEST_F(SettingsTest, StoredValuesAreLoadedUnchanged) {
  WriteSettingsFile(
      "[Glimra ScreenSaver]\r\ndx_r=0\r\ndx_g=7\r\ndx_b=-1\r\none=0\r\npal=9\r\ncir=5\r\n"
      "cycle=20\r\ndirect_x=2\r\n");
  LoadSettings();
  EXPECT_EQ(saverSettings.dx_r, 0.0);
  EXPECT_EQ(saverSettings.dx_g, 7.0);
  EXPECT_EQ(saverSettings.dx_b, 4294967295.0);  // the 32-bit result taken as unsigned
  EXPECT_EQ(saverSettings.one, 0);
  EXPECT_EQ(saverSettings.pal, 9);
  EXPECT_EQ(saverSettings.cir, 5);
  EXPECT_EQ(saverSettings.cycle, 20);
  EXPECT_EQ(saverSettings.direct_x, 2);
}

TEST_F(SettingsTest, ValueTextIsReadAsWindowsReadsIt) {
  struct Case {
    const char* text;
    int value;
  };
  // What the Windows function gives for each text (measured under Wine); the default is 1.
  const Case cases[] = {{"0x10", 16},   {"  7", 7},        {"55zz", 55},
                        {"abc", 0},     {"", 1},           {"+5", 5},
                        {"-0x10", -16}, {"4294967296", 0}, {"99999999999", 1215752191},
                        {"010", 10},    {"- 3", 0}};
  for (const Case& c : cases) {
    WriteSettingsFile(std::string("[Glimra ScreenSaver]\r\ncir=") + c.text + "\r\n");
    LoadSettings();
    EXPECT_EQ(saverSettings.cir, c.value) << '"' << c.text << '"';
  }
}

TEST_F(SettingsTest, SaveReplacesValuesInPlaceAndKeepsTheRest) {
  const std::string before =
      "; kept\r\n[Other]\r\npal=3\r\n[Glimra ScreenSaver]\r\ncycle=4\r\nextra=yes\r\ndx_r=9\r\n"
      "[Last]\r\nk=v\r\n";
  WriteSettingsFile(before);
  LoadSettings();
  EXPECT_EQ(saverSettings.cycle, 4);
  EXPECT_EQ(saverSettings.dx_r, 9.0);
  EXPECT_EQ(saverSettings.pal, 1) << "a key in another section is not ours";
  saverSettings.cycle = 12;
  SaveSettings();
  EXPECT_EQ(ReadSettingsFile(),
            "; kept\r\n[Other]\r\npal=3\r\n[Glimra ScreenSaver]\r\ncycle=12\r\nextra=yes\r\n"
            "dx_r=9\r\ndx_g=10\r\ndx_b=3\r\none=1\r\npal=1\r\ncir=1\r\ndirect_x=0\r\n"
            "[Last]\r\nk=v\r\n");
}

TEST_F(SettingsTest, SpeedsAreTruncatedAndSaturatedOnSave) {
  struct Case {
    double speed;
    const char* stored;
  };
  const Case cases[] = {{2.9, "2"},
                        {-2.9, "-2"},
                        {100.0, "100"},
                        {4294967295.0, "2147483647"},
                        {-1e300, "-2147483648"}};
  for (const Case& c : cases) {
    UseFreshSettingsFile();
    saverSettings.dx_g = c.speed;
    SaveSettings();
    EXPECT_NE(ReadSettingsFile().find(std::string("dx_g=") + c.stored + "\r\n"), std::string::npos)
        << c.speed;
  }
}

}  // namespace

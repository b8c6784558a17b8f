#include <gtest/gtest.h>

#include "platform/configuration.h"
#include "platform/registry.h"
#include "temp_folder.h"

namespace velmora {
namespace {

using testing::ReadFile;
using testing::WriteFile;

class ConfigurationTest : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return Folder / "Talvex/DravonES.json"; }
  TConfiguration Loaded() const {
    TConfiguration config("/opt/velmora");
    config.Load(Registry);
    return config;
  }
  testing::TTempFolder Folder;
  TRegistry Registry{File()};
};

TEST_F(ConfigurationTest, EmptyRegistryGivesDefaults) {
  const TConfiguration config = Loaded();
  const std::pair<const char*, int> integers[] = {
      {"no_of_quarters", 4}, {"quarter_duration", 10}, {"overtime_duration", 5}, {"fouls_per_player", 5},
      {"min_players", 5},    {"max_players", 12},      {"min_shirt_number", 4},  {"max_shirt_number", 15},
      {"http_port", 80},     {"udp_port_1", 9753},     {"udp_port_2", 9752},     {"read_timeout", 1800},
      {"proxy_port", 0},     {"low_bandwidth", 1},     {"enable_followups", 1},  {"hide_followups", 0}};
  for (const auto& [key, value] : integers) EXPECT_EQ(config.GetInt(key), value) << key;
  EXPECT_EQ(config.Integers().Count(), 16u);
  EXPECT_EQ(config.Texts().Count(), 6u);
  EXPECT_EQ(config.GetString("report_header"), "/opt/velmora/report/header.jpg");
  EXPECT_EQ(config.GetString("report_logo"), "/opt/velmora/report/logo.jpg");
  EXPECT_EQ(config.GetString("report_language"), "EN");
  EXPECT_EQ(config.GetString("eff_formula"), kDefaultEfficiencyFormula);
  EXPECT_TRUE(config.HasString("proxy_server"));
  EXPECT_FALSE(config.HasString("backup_folder"));
  EXPECT_FALSE(std::filesystem::exists(File()));  // loading creates nothing
}

TEST_F(ConfigurationTest, UnknownKeysReadAsNothingAndCannotBeSet) {
  TConfiguration config("/opt/velmora");
  EXPECT_EQ(config.GetInt("nope"), -1);
  EXPECT_EQ(config.GetInt(""), -1);
  EXPECT_EQ(config.GetString("nope"), "");
  EXPECT_EQ(config.GetString(""), "");
  config.SetInt("nope", 3);
  config.SetInt("", 3);
  config.SetString("backup_folder", "/backup");
  config.SetString("", "x");
  EXPECT_FALSE(config.HasInt("nope"));
  EXPECT_FALSE(config.HasString("backup_folder"));
  config.SetInt("no_of_quarters", 2);
  EXPECT_EQ(config.GetInt("no_of_quarters"), 2);
  EXPECT_EQ(PeriodSettingsOf(config).NoOfQuarters, 2);
  EXPECT_EQ(PeriodSettingsOf(config).OvertimeDuration, 5);
}

TEST_F(ConfigurationTest, LoadSkipsValuesOfTheWrongTypeOneByOne) {
  WriteFile(File(), R"({"keys": {
      "Config": {"values": {"no_of_quarters": 2, "quarter_duration": "12", "overtime_duration": 2.5,
                            "": 7, "http_port": 8080}},
      "StrConfig": {"values": {"report_language": 7, "proxy_server": "proxy.local", "": "x"}}}})");
  const TConfiguration config = Loaded();
  EXPECT_EQ(config.GetInt("no_of_quarters"), 2);
  EXPECT_EQ(config.GetInt("quarter_duration"), 10);
  EXPECT_EQ(config.GetInt("overtime_duration"), 5);
  EXPECT_EQ(config.GetInt("http_port"), 8080);
  EXPECT_EQ(config.GetString("report_language"), "EN");
  EXPECT_EQ(config.GetString("proxy_server"), "proxy.local");
}

TEST_F(ConfigurationTest, AnEditedRegistryIsBroughtIntoTheRangesOfTheSettings) {
  WriteFile(File(), R"({"keys": {"Config": {"values": {
      "no_of_quarters": 0, "quarter_duration": -3, "overtime_duration": 5000, "fouls_per_player": 0,
      "min_players": 14, "max_players": 12, "min_shirt_number": 4, "max_shirt_number": 99, "http_port": 0}}}})");
  const TConfiguration config = Loaded();
  EXPECT_EQ(config.GetInt("no_of_quarters"), 1);
  EXPECT_EQ(config.GetInt("quarter_duration"), 1);
  EXPECT_EQ(config.GetInt("overtime_duration"), 100);
  EXPECT_EQ(config.GetInt("fouls_per_player"), 1);
  EXPECT_EQ(config.GetInt("min_players"), 12) << "a minimum above its maximum comes down to it";
  EXPECT_EQ(config.GetInt("max_shirt_number"), 99);
  EXPECT_EQ(config.GetInt("http_port"), 0) << "settings without a range are read as they stand";
}

TEST_F(ConfigurationTest, SavedSettingsReloadEqualAndInTableOrder) {
  TConfiguration config("/opt/velmora");
  config.SetInt("no_of_quarters", 2);
  config.SetInt("proxy_port", 3128);
  config.SetString("report_language", "ES");
  config.SetString("eff_formula", "PT+RT \"Pérez\"");
  ASSERT_TRUE(config.Save(Registry));

  TConfiguration fresh("/elsewhere");
  fresh.Load(Registry);
  ASSERT_EQ(fresh.Integers().KeysInOrder(), config.Integers().KeysInOrder());
  ASSERT_EQ(fresh.Texts().KeysInOrder(), config.Texts().KeysInOrder());
  for (const std::string& key : config.Integers().KeysInOrder()) EXPECT_EQ(fresh.GetInt(key), config.GetInt(key));
  for (const std::string& key : config.Texts().KeysInOrder()) EXPECT_EQ(fresh.GetString(key), config.GetString(key));
  EXPECT_EQ(fresh.GetString("report_header"), "/opt/velmora/report/header.jpg");

  EXPECT_EQ(Registry.OpenKey("Config")->ValueNames(), config.Integers().KeysInOrder());
  EXPECT_EQ(Registry.OpenKey("StrConfig")->ValueNames(), config.Texts().KeysInOrder());
}

TEST_F(ConfigurationTest, NamesOnlyTheRegistryKnowsAreKeptAndSavedAgain) {
  WriteFile(File(), R"({"keys": {"Config": {"values": {"extra": 3}},
      "StrConfig": {"values": {"backup_folder": "/old", "note": "Müller"}}}})");
  TConfiguration config = Loaded();
  EXPECT_EQ(config.GetInt("extra"), 3);
  config.SetString("backup_folder", "/media/backup");
  ASSERT_TRUE(config.Save(Registry));

  const TConfiguration reloaded = Loaded();
  EXPECT_EQ(reloaded.GetInt("extra"), 3);
  EXPECT_EQ(reloaded.GetString("backup_folder"), "/media/backup");
  EXPECT_EQ(reloaded.GetString("note"), "Müller");
}

TEST_F(ConfigurationTest, DamagedRegistryGivesDefaultsAndIsKeptWhenSaving) {
  const std::string damaged = R"({"keys": {"Config": {"values": {"no_of_quarters": 2)";
  WriteFile(File(), damaged);
  TConfiguration config = Loaded();
  EXPECT_EQ(config.GetInt("no_of_quarters"), 4);
  EXPECT_EQ(ReadFile(File()), damaged);

  config.SetInt("quarter_duration", 12);
  ASSERT_TRUE(config.Save(Registry));
  EXPECT_EQ(ReadFile(File().string() + ".damaged"), damaged);
  EXPECT_EQ(Loaded().GetInt("quarter_duration"), 12);
}

}  // namespace
}  // namespace velmora

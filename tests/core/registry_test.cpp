#include <gtest/gtest.h>

#include <cstdint>

#include "platform/registry.h"
#include "temp_folder.h"

namespace velmora {
namespace {

using testing::ReadFile;
using testing::WriteFile;

class RegistryTest : public ::testing::Test {
 protected:
  std::filesystem::path File() const { return Folder / "Talvex/DravonES.json"; }
  testing::TTempFolder Folder;
  TRegistry Registry{File()};
};

TEST_F(RegistryTest, MissingOrBlankFileHasNoKeys) {
  EXPECT_FALSE(Registry.OpenKey("Config"));
  EXPECT_FALSE(Registry.OpenKey(""));
  EXPECT_EQ(ReadVersionValue(Registry, "Version"), "");
  WriteFile(File(), " \n\t");
  EXPECT_FALSE(Registry.OpenKey(""));
}

TEST_F(RegistryTest, WrittenValuesReadBackInOrderWithTheirTypes) {
  TRegistryKey key;
  key.WriteInteger("zeta", -5);
  key.WriteString("alpha", "Pérez \"x\" & y\n");
  key.WriteInteger("max", INT32_MAX);
  key.WriteInteger("zeta", 6);  // rewriting keeps the first position
  ASSERT_TRUE(Registry.WriteKey("Config", key));
  EXPECT_FALSE(std::filesystem::exists(File().string() + ".tmp"));

  const auto read = TRegistry(File()).OpenKey("Config");
  ASSERT_TRUE(read);
  EXPECT_EQ(read->ValueNames(), (std::vector<std::string>{"zeta", "alpha", "max"}));
  EXPECT_EQ(read->ReadInteger("zeta"), 6);
  EXPECT_EQ(read->ReadInteger("max"), INT32_MAX);
  EXPECT_EQ(read->ReadString("alpha"), "Pérez \"x\" & y\n");
  EXPECT_FALSE(read->ReadString("zeta"));  // no conversion between types
  EXPECT_FALSE(read->ReadInteger("alpha"));
  EXPECT_FALSE(read->HasValue("Zeta"));
}

TEST_F(RegistryTest, WritesMergeIntoExistingKeysAndNestedPaths) {
  TRegistryKey version;
  version.WriteString("Version", "3");
  ASSERT_TRUE(Registry.WriteKey("", version));
  TRegistryKey first;
  first.WriteInteger("a", 1);
  first.WriteInteger("b", 2);
  ASSERT_TRUE(Registry.WriteKey("Config", first));
  TRegistryKey second;
  second.WriteString("b", "two");
  ASSERT_TRUE(Registry.WriteKeys({{"Config", second}, {"Deep\\Er/Key", first}}));

  const auto config = Registry.OpenKey("Config");
  ASSERT_TRUE(config);
  EXPECT_EQ(config->ReadInteger("a"), 1);
  EXPECT_EQ(config->ReadString("b"), "two");
  EXPECT_TRUE(Registry.OpenKey("Deep\\Er\\Key"));
  EXPECT_TRUE(Registry.OpenKey("Deep"));
  EXPECT_FALSE(Registry.OpenKey("Deep\\Key"));
  EXPECT_EQ(ReadVersionValue(Registry, "Version"), "3");

  EXPECT_TRUE(Registry.DeleteValue("Config", "a"));
  EXPECT_TRUE(Registry.DeleteValue("Config", "a"));
  EXPECT_TRUE(Registry.DeleteValue("Nowhere", "a"));
  EXPECT_FALSE(Registry.OpenKey("Config")->HasValue("a"));
  EXPECT_TRUE(Registry.OpenKey("Config")->HasValue("b"));
}

TEST_F(RegistryTest, ValuesOfOtherJsonTypesReadAsNeither) {
  WriteFile(File(), R"({"keys": {"Config": {"values": {
      "int": 12, "text": "12", "real": 2.5, "flag": true, "none": null, "list": [1], "object": {},
      "low": -2147483648, "big": 2147483648, "huge": 18446744073709551615}}}})");
  const auto key = Registry.OpenKey("Config");
  ASSERT_TRUE(key);
  EXPECT_EQ(key->ValueNames().size(), 10u);
  EXPECT_EQ(key->ReadInteger("int"), 12);
  EXPECT_EQ(key->ReadString("text"), "12");
  EXPECT_EQ(key->ReadInteger("low"), INT32_MIN);
  for (const char* name : {"real", "flag", "none", "list", "object", "big", "huge"}) {
    EXPECT_FALSE(key->ReadInteger(name)) << name;
    EXPECT_FALSE(key->ReadString(name)) << name;
  }
}

TEST_F(RegistryTest, DamagedFileIsLeftAloneUntilSavedThenKeptAside) {
  const std::string damaged = R"({"keys": {"Config": )";
  WriteFile(File(), damaged);
  EXPECT_FALSE(Registry.OpenKey("Config"));
  EXPECT_TRUE(Registry.DeleteValue("Config", "a"));
  EXPECT_EQ(ReadFile(File()), damaged);

  TRegistryKey key;
  key.WriteInteger("a", 1);
  ASSERT_TRUE(Registry.WriteKey("Config", key));
  EXPECT_EQ(ReadFile(File().string() + ".damaged"), damaged);
  EXPECT_EQ(Registry.OpenKey("Config")->ReadInteger("a"), 1);

  WriteFile(File(), "[1, 2]");  // valid JSON, but not a registry
  EXPECT_FALSE(Registry.OpenKey(""));
  ASSERT_TRUE(Registry.WriteKey("Config", key));
  EXPECT_EQ(ReadFile(File().string() + ".damaged"), "[1, 2]");
}

TEST_F(RegistryTest, FailedWriteReportsFalse) {
  std::filesystem::create_directories(File() / "occupied");  // a folder where the file belongs
  TRegistryKey key;
  key.WriteInteger("a", 1);
  EXPECT_FALSE(Registry.WriteKey("Config", key));
  EXPECT_FALSE(std::filesystem::exists(File().string() + ".tmp"));

  // Text that is not UTF-8 cannot be stored; the call says so instead of raising.
  std::filesystem::remove_all(File());
  key.WriteString("b", "\xE9t\xE9");
  EXPECT_FALSE(Registry.WriteKey("Config", key));
}

}  // namespace
}  // namespace velmora

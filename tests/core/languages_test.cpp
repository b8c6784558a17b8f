#include "platform/languages.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "temp_folder.h"

namespace velmora {
namespace {

class LanguagesTest : public ::testing::Test {
 protected:
  testing::TTempFolder Folder;
  TRegistry Registry{Folder / "DravonES.json"};
};

TEST_F(LanguagesTest, FirstStartSeedsEnglishAndSpanish) {
  const auto languages = OfferedLanguages(Registry);
  ASSERT_EQ(languages.size(), 2u);
  EXPECT_EQ(languages[0].Code, "EN");
  EXPECT_EQ(languages[0].Name, "English");
  EXPECT_EQ(languages[1].Code, "ES");
  EXPECT_EQ(languages[1].Name, "Español");
  EXPECT_TRUE(Registry.OpenKey("Languages")) << "the key is kept for the next start";
}

TEST_F(LanguagesTest, AnExistingKeyIsListedAsItStandsWithoutEmptyNames) {
  TRegistryKey key;
  key.WriteString("FR", "Français");
  key.WriteString("XX", "  ");
  key.WriteInteger("NUM", 7);
  key.WriteString("EN", "English");
  ASSERT_TRUE(Registry.WriteKey("Languages", key));

  EXPECT_TRUE(SeedLanguages(Registry));
  const auto languages = OfferedLanguages(Registry);
  ASSERT_EQ(languages.size(), 2u);
  EXPECT_EQ(languages[0].Code, "FR");
  EXPECT_EQ(languages[1].Code, "EN");
  EXPECT_FALSE(Registry.OpenKey("Languages")->HasValue("ES")) << "seeding never adds to a key the user has";
}

}  // namespace
}  // namespace velmora

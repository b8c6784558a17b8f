#include "platform/messages.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/folders.h"
#include "records/catalogue.h"
#include "temp_folder.h"

namespace velmora {
namespace {

using testing::WriteFile;

TEST(Messages, LinesAreKeyEqualsValue) {
  testing::TTempFolder folder;
  WriteFile(folder / "messages_EN.txt",
            "Param_Made = Anotado\r\n"
            "A=b=c\r\n"
            "Two=first#13second\r\n"
            "Many=#13a#13#13b#13\n"
            "no equals sign here\n"
            "=starts with equals\n"
            "   =blank key\n"
            "\tPadded\t =  \t value with inner  blanks \t\r\n"
            "Empty=\n"
            "Twice=old\n"
            "Twice=new\n"
            "\n"
            "Last=no newline at the end");
  TMessages messages;
  ASSERT_TRUE(messages.Load(folder.Path(), "EN"));
  EXPECT_EQ(messages.Message("Param_Made"), "Anotado");
  EXPECT_EQ(messages.Message("A"), "b=c");
  EXPECT_EQ(messages.Message("Two"), "first\rsecond");
  EXPECT_EQ(messages.Message("Many"), "\ra\r\rb\r");
  EXPECT_EQ(messages.Message("Padded"), "value with inner  blanks");
  EXPECT_EQ(messages.Message("Empty"), "");
  EXPECT_TRUE(messages.Table().Exists("Empty"));
  EXPECT_EQ(messages.Message("Twice"), "new");
  EXPECT_EQ(messages.Message("Last"), "no newline at the end");
  EXPECT_EQ(messages.Message("missing"), "");
  EXPECT_EQ(messages.Message(""), "");
  EXPECT_EQ(messages.Message("param_made"), "");  // keys are case-sensitive
  EXPECT_EQ(messages.Table().Count(), 8u);
}

TEST(Messages, EachLoadStartsAfreshFromAUtf8OrWindows1252File) {
  testing::TTempFolder folder;
  WriteFile(folder / "messages_ES.txt", "\xEF\xBB\xBFRebote=Rebote defensivo\nTapon=Tap\xC3\xB3n\n");
  WriteFile(folder / "messages_PL.txt", "Tapon=Tap\xF3n \x80\n");
  TMessages messages;
  ASSERT_TRUE(messages.Load(folder.Path(), "ES"));
  EXPECT_EQ(messages.Message("Rebote"), "Rebote defensivo");  // the byte order mark is not part of the key
  EXPECT_EQ(messages.Message("Tapon"), "Tapón");
  ASSERT_TRUE(messages.Load(folder.Path(), "PL"));
  EXPECT_EQ(messages.Message("Tapon"), "Tapón €");
  EXPECT_FALSE(messages.Table().Exists("Rebote"));
  EXPECT_FALSE(messages.Load(folder.Path(), "XX"));
  EXPECT_EQ(messages.Table().Count(), 0u);
  std::filesystem::create_directory(folder / "messages_DIR.txt");
  EXPECT_FALSE(messages.Load(folder.Path(), "DIR"));
}

// The files shipped beside the program translate every key the program asks for by name and
// every parameter name and choice of the catalogue.
TEST(Messages, ShippedFilesHaveEveryKeyTheProgramAsksFor) {
  std::vector<std::string> keys;
  std::istringstream named(
      "Referees Commissioner Period Overtime Points_Scored Points_Allowed Points_Scored_40min Points_Allowed_40min "
      "Score_Development Score_Development_40min Total_Points 2Points_FG_Made 2Points_FG_Attempted "
      "2Points_FG_PERCENTS 3Points_FG_Made 3Points_FG_Attempted 3Points_FG_PERCENTS FT_Made FT_Attempted "
      "FT_PERCENTS Reb_Offensive Reb_Defensive Reb_Total Assists Steals Turnovers Blocked_Shots Fouls "
      "Minutes_Played");
  for (std::string key; named >> key;) keys.push_back(key);
  TCatalogue catalogue;
  catalogue.LoadCatalogue();
  for (const auto& entry : catalogue.Entries()) {
    for (const TParameter& parameter : entry->Parameters) {
      keys.push_back("Param_" + parameter.Name);
      for (const std::string& value : parameter.Values) keys.push_back("Param_" + value);
    }
  }
  for (const char* language : {"EN", "ES"}) {
    TMessages messages;
    ASSERT_TRUE(messages.Load(ProgramFolder(), language)) << ProgramFolder() << " " << language;
    for (const std::string& key : keys) EXPECT_NE(messages.Message(key), "") << language << ": " << key;
  }
}

}  // namespace
}  // namespace velmora

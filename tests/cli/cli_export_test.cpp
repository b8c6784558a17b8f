#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "xlsx_reader.h"

namespace velmora::cli {
namespace {

using ::testing::HasSubstr;

const std::filesystem::path kGolden = std::filesystem::path(VELMORA_TEST_DATA) / "exports" / "overtime_game";

class CliExportTest : public CliTest {
 protected:
  std::filesystem::path Out(const std::string& name) const { return Files / name; }
  velmora::testing::TTempFolder Files;
};

TEST_F(CliExportTest, ATransferFileOrAStoredGameGivesTheSameFiles) {
  const std::string expected = velmora::testing::ReadFile(kGolden / "federation.txt");
  TRunResult result = Run({"export", "federation", "--file", (kGolden / "game.log").string(), Out("a.csv")});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(velmora::testing::ReadFile(Out("a.csv")), expected);

  result = Run({"import", (kGolden / "game.log").string()});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  const std::string game = result.Out.substr(0, result.Out.size() - 1);
  ASSERT_EQ(Run({"export", "federation", game, Out("b.csv")}).Status, kSuccess);
  EXPECT_EQ(velmora::testing::ReadFile(Out("b.csv")), expected);

  ASSERT_EQ(Run({"export", "xlsx", game, Out("b.xlsx")}).Status, kSuccess);
  ASSERT_EQ(Run({"export", "xlsx", "--file", (kGolden / "game.log").string(), Out("a.xlsx")}).Status, kSuccess);
  const velmora::testing::TXlsxSheet stored(Out("b.xlsx"));
  const velmora::testing::TXlsxSheet fromFile(Out("a.xlsx"));
  EXPECT_THAT(stored.Value(1, 1), ::testing::StartsWith("Club Baloncesto Valencia - Real Club Deportivo Bilbao  "));
  for (int row = 1; row <= 40; ++row) {
    for (int column = 1; column <= 26; ++column) EXPECT_EQ(stored.Value(row, column), fromFile.Value(row, column));
  }

  // The transfer-file export keeps its two arguments, even for a game called "xlsx".
  ASSERT_EQ(Run({"export", game, Out("game.log")}).Status, kSuccess);
  EXPECT_THAT(velmora::testing::ReadFile(Out("game.log")), HasSubstr("<DRAVON>"));
  EXPECT_THAT(Run({"export", "xlsx", Out("x.log")}).Err, HasSubstr("No existe el partido \"xlsx\"."));
}

TEST_F(CliExportTest, WhatCannotBeReadOrWrittenIsNamed) {
  const std::string game = (kGolden / "game.log").string();
  velmora::testing::WriteFile(Files / "broken.log", "<DRAVON><MATCHINFO");
  const std::string folder = (Files / "missing").string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> failures = {
      {{"export", "federation", "G-404", Out("x.csv")}, "No existe el partido \"G-404\"."},
      {{"export", "xlsx", "--file", (Files / "none.log").string(), Out("x.xlsx")}, (Files / "none.log").string()},
      {{"export", "xlsx", "--file", (Files / "broken.log").string(), Out("x.xlsx")}, (Files / "broken.log").string()},
      {{"export", "federation", "--file", game, folder + "/x.csv"}, folder + "/x.csv: No such file or directory"},
      {{"export", "xlsx", "--file", game, folder + "/x.xlsx"}, folder + "/x.xlsx: No such file or directory"}};
  for (const auto& [args, message] : failures) {
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kFailure) << args[3];
    EXPECT_THAT(result.Err, HasSubstr(message));
    EXPECT_EQ(result.Out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(Out("x.csv")));
  EXPECT_FALSE(std::filesystem::exists(Out("x.xlsx")));

  for (const std::vector<std::string>& args : {std::vector<std::string>{"export", "xlsx", "--file", game},
                                               {"export", "federation", "--file", game, "a", "b"},
                                               {"export", "federation", "--data", game, "a"}}) {
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kUsageError);
    EXPECT_THAT(result.Err, HasSubstr("(GAME | --file FILE) OUT"));
  }
  EXPECT_THAT(RunPlain({"--help"}).Out, HasSubstr("export xlsx (GAME | --file FILE) OUT"));
}

}  // namespace
}  // namespace velmora::cli

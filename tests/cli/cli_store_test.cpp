#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/logger.h"
#include "cli_fixture.h"
#include "game_builder.h"
#include "small_disk.h"
#include "stats/game_documents.h"
#include "stats/model.h"

namespace velmora::cli {
namespace {

using ::testing::HasSubstr;

class CliStoreTest : public CliTest {
 protected:
  // A transfer file of a simulated game; a time of 0 gives a game without a date.
  std::filesystem::path GameFile(const std::string& gameNumber, TDateTime time) {
    TModel model(Settings);
    model.MatchInfo = velmora::testing::MakeMatchInfo(12, gameNumber);
    model.MatchInfo.Time = time;
    model.SetActions(velmora::testing::SimulateGame(model.MatchInfo, 300, 3));
    model.MatchInfo.CurrentGameTime = model.Actions().back()->GameTime;
    model.Recompute();
    const std::filesystem::path file = Files / (std::to_string(++FileCount) + ".log");
    EXPECT_TRUE(WriteTransferFile(model, file).Ok());
    return file;
  }
  std::string Import(const std::string& gameNumber, TDateTime time) {
    const TRunResult result = Run({"import", GameFile(gameNumber, time).string()});
    EXPECT_EQ(result.Status, kSuccess) << result.Err;
    return result.Out;
  }

  TConfiguration Settings{ProgramFolder()};
  velmora::testing::TTempFolder Files;
  int FileCount = 0;
};

TDateTime At(int year, int month, int day, int hour = 0) { return *EncodeDate(year, month, day) + EncodeTime(hour, 0, 0); }

TEST_F(CliStoreTest, ImportPrintsTheGameNumberAndGamesListsThemLatestFirst) {
  EXPECT_EQ(Run({"games"}).Out, "");
  EXPECT_EQ(Import("O'Neill-7", At(2024, 3, 1, 20)), "O'Neill-7\n");
  EXPECT_EQ(Import("G-2", At(2024, 5, 1)), "G-2\n");
  EXPECT_EQ(Import("G-3", 0), "G-3\n");
  EXPECT_EQ(Import("G-4", At(2023, 12, 31, 18)), "G-4\n");

  const TRunResult games = Run({"games"});
  ASSERT_EQ(games.Status, kSuccess) << games.Err;
  const std::string teams = "\tClub Baloncesto Norte\tMüller Basket Süd\tLocal only\n";
  EXPECT_EQ(games.Out, "G-3\t" + teams + "G-2\t2024.05.01" + teams + "O'Neill-7\t2024.03.01 20:00:00" + teams +
                           "G-4\t2023.12.31 18:00:00" + teams);
}

TEST_F(CliStoreTest, ImportRefusesUnreadableFilesAndTakenNumbers) {
  velmora::testing::WriteFile(Files / "corrupt.log", "<DRAVON><MATCHINFO");
  TRunResult result = Run({"import", (Files / "corrupt.log").string()});
  EXPECT_EQ(result.Status, kFailure);
  EXPECT_EQ(result.Out, "");
  EXPECT_EQ(result.Err, std::string(kTransferCorruptError) + "\n");

  result = Run({"import", (Files / "missing.log").string()});
  EXPECT_EQ(result.Status, kFailure);
  EXPECT_THAT(result.Err, ::testing::StartsWith(std::string(kTransferReadError) + " "));
  EXPECT_THAT(result.Err, HasSubstr("missing.log"));

  // Neither a device nor a pipe is read, and nothing is stored.
  const std::filesystem::path fifo = Files / "game.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::filesystem::path& device : {std::filesystem::path("/dev/zero"), fifo}) {
    result = Run({"import", device.string()});
    EXPECT_EQ(result.Status, kFailure);
    EXPECT_THAT(result.Err, HasSubstr("\"" + device.string() + "\" is not a regular file."));
  }
  EXPECT_EQ(Run({"games"}).Out, "");

  const std::filesystem::path file = GameFile("G-1", 0);
  EXPECT_EQ(Run({"import", file.string()}).Status, kSuccess);
  result = Run({"import", file.string()});
  EXPECT_EQ(result.Status, kFailure);
  EXPECT_THAT(result.Err, HasSubstr("ya existe otro partido con el mismo número de partido!"));
}

TEST_F(CliStoreTest, AStoredGameGivesWhatItsFileGives) {
  const std::filesystem::path file = GameFile("O'Neill-7", At(2024, 3, 1, 20));
  ASSERT_EQ(Run({"import", file.string()}).Status, kSuccess);
  for (const char* command : {"stats", "boxscore", "actions"}) {
    const TRunResult stored = Run({command, "O'Neill-7"});
    ASSERT_EQ(stored.Status, kSuccess) << command << ": " << stored.Err;
    EXPECT_EQ(stored.Out, Run({command, "--file", file.string()}).Out) << command;
  }

  const std::filesystem::path exported = Files / "exported.log";
  ASSERT_EQ(Run({"export", "O'Neill-7", exported.string()}).Status, kSuccess);
  EXPECT_EQ(Run({"stats", "--file", exported.string()}).Out, Run({"stats", "--file", file.string()}).Out);

  const TRunResult checksum = Run({"checksum", "O'Neill-7"});
  ASSERT_EQ(checksum.Status, kSuccess) << checksum.Err;
  EXPECT_THAT(checksum.Out, ::testing::MatchesRegex("[0-9a-f]{32}\n"));
  EXPECT_EQ(Run({"checksum", "O'Neill-7"}).Out, checksum.Out);

  EXPECT_EQ(Run({"delete", "O'Neill-7"}).Status, kSuccess);
  EXPECT_EQ(Run({"games"}).Out, "");
  EXPECT_EQ(Run({"stats", "O'Neill-7"}).Status, kFailure);
}

TEST_F(CliStoreTest, AnUnknownGameFails) {
  for (std::vector<std::string> args : {std::vector<std::string>{"export", "G-404", (Files / "x.log").string()},
                                        {"delete", "G-404"},
                                        {"checksum", "G-404"},
                                        {"stats", "G-404"},
                                        {"boxscore", "G-404"},
                                        {"actions", "G-404"}}) {
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kFailure) << args[0];
    EXPECT_THAT(result.Err, HasSubstr("G-404")) << args[0];
    EXPECT_EQ(result.Out, "") << args[0];
  }
  EXPECT_FALSE(std::filesystem::exists(Files / "x.log"));
}

// The data folder on a small disk of its own, which turns read-only or fills up after a game was
// imported: reading commands go on (the day log failing is only reported), writing commands say why
// they cannot.
class CliUnwritableDiskTest : public CliStoreTest {
 protected:
  void SetUp() override {
    if (!Disk.Mounted()) GTEST_SKIP() << Disk.Failure();
    Logger().Close();  // each run opens the day log of its own data folder
    ASSERT_EQ(OnDisk({"import", GameFile("G-1", 0).string()}).Status, kSuccess);
    Checksum = OnDisk({"checksum", "G-1"}).Out;
    Stats = OnDisk({"stats", "G-1"}).Out;
    Logger().Close();
  }
  void TearDown() override { Logger().Close(); }

  TRunResult OnDisk(std::vector<std::string> args) {
    args.insert(args.begin(), {"--data-dir", Disk.Path().string()});
    return RunPlain(args);
  }
  void ExpectReadingWorksAndWritingSaysWhy(const std::string& reason) {
    const TRunResult games = OnDisk({"games"});
    EXPECT_EQ(games.Status, kSuccess) << games.Err;
    EXPECT_THAT(games.Out, ::testing::StartsWith("G-1\t"));
    EXPECT_EQ(OnDisk({"checksum", "G-1"}).Out, Checksum);
    EXPECT_EQ(OnDisk({"stats", "G-1"}).Out, Stats);
    for (std::vector<std::string> args : {std::vector<std::string>{"import", GameFile("G-2", 0).string()},
                                          {"delete", "G-1"}}) {
      const TRunResult refused = OnDisk(args);
      EXPECT_EQ(refused.Status, kFailure) << args[0];
      EXPECT_THAT(refused.Err, HasSubstr(reason)) << args[0];
    }
    EXPECT_EQ(OnDisk({"games"}).Out, games.Out) << "nothing changed";
  }

  velmora::testing::TSmallDisk Disk{Files / "disk", 1024 * 1024};
  std::string Checksum;
  std::string Stats;
};

TEST_F(CliUnwritableDiskTest, OnAReadOnlyDisk) {
  ASSERT_TRUE(Disk.MakeReadOnly());
  ExpectReadingWorksAndWritingSaysWhy("solo lectura");
  EXPECT_THAT(OnDisk({"games"}).Err, HasSubstr("the day log cannot be written"));
}

TEST_F(CliUnwritableDiskTest, OnAFullDisk) {
  Disk.Fill();
  ExpectReadingWorksAndWritingSaysWhy("está lleno");
}

TEST_F(CliStoreTest, ADamagedDatabaseSaysSoAndIsNeverWritten) {
  for (int game = 1; game <= 3; ++game) Import("G-" + std::to_string(game), 0);
  const std::filesystem::path file = Data / "dravon.db";
  std::string bytes = velmora::testing::ReadFile(file);
  ASSERT_GT(bytes.size(), 3u * 4096);
  for (std::size_t i = 4096; i < 2 * 4096; ++i) bytes[i] = static_cast<char>(i * 7919);  // the games' table
  velmora::testing::WriteFile(file, bytes);
  for (std::vector<std::string> args : {std::vector<std::string>{"games"},
                                        {"stats", "G-1"},
                                        {"checksum", "G-2"},
                                        {"delete", "G-3"},
                                        {"import", GameFile("G-1", 0).string()}}) {
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kFailure) << args[0];
    EXPECT_THAT(result.Err, HasSubstr("La base de datos de partidos \"" + file.string() + "\" está dañada")) << args[0];
    EXPECT_THAT(result.Err, ::testing::Not(HasSubstr("No existe el partido"))) << args[0];
  }
  EXPECT_TRUE(velmora::testing::ReadFile(file) == bytes) << "the file was changed";
}

}  // namespace
}  // namespace velmora::cli

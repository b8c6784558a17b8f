#include "platform/folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "temp_folder.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;
using testing::TEnvironmentGuard;
using testing::TTempFolder;

// Points every variable the data folder may come from at a known place (none when unset).
class TDataEnvironment {
 public:
  TDataEnvironment(std::optional<std::string> appData, std::optional<std::string> dataHome,
                   std::optional<std::string> home)
      : AppData_("APPDATA", std::move(appData)),
        DataHome_("XDG_DATA_HOME", std::move(dataHome)),
        Home_("HOME", std::move(home)) {}

 private:
  TEnvironmentGuard AppData_;
  TEnvironmentGuard DataHome_;
  TEnvironmentGuard Home_;
};

void ExpectFolderError(const std::function<void()>& operation) {
  try {
    operation();
    ADD_FAILURE() << "no error raised";
  } catch (const EUserDataFolderError& error) {
    EXPECT_STREQ(error.what(), "User home directory not writeable - please check setup.");
  }
}

TEST(UserDataFolder, AppDataComesFirst) {
  TTempFolder temp;
  const TDataEnvironment environment((temp / "appdata").string(), (temp / "xdg").string(),
                                     (temp / "home").string());
  const fs::path folder = UserDataFolder();
  EXPECT_EQ(folder, temp / "appdata" / "Velmora");
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_FALSE(fs::exists(temp / "xdg"));
}

TEST(UserDataFolder, ThenXdgDataHomeThenTheHomeFolder) {
  TTempFolder temp;
  {
    const TDataEnvironment environment(std::nullopt, (temp / "xdg").string(), (temp / "home").string());
    EXPECT_EQ(UserDataFolder(), temp / "xdg" / "Velmora");
  }
  {
    // An empty variable counts as unset.
    const TDataEnvironment environment("", "", (temp / "home").string());
    const fs::path folder = UserDataFolder();
    EXPECT_EQ(folder, temp / "home" / ".local" / "share" / "Velmora");
    EXPECT_TRUE(fs::is_directory(folder));
  }
}

TEST(UserDataFolder, AnExistingFolderKeepsItsContents) {
  TTempFolder temp;
  const TDataEnvironment environment(temp.Path().string(), std::nullopt, std::nullopt);
  testing::WriteFile(temp / "Velmora" / "velmora.log", "kept");
  EXPECT_EQ(UserDataFolder(), temp / "Velmora");
  EXPECT_EQ(testing::ReadFile(temp / "Velmora" / "velmora.log"), "kept");
}

TEST(UserDataFolder, FolderThatCannotBeMadeRaisesTheSetupError) {
  // Files in the way fail even for a user whom permissions do not stop.
  TTempFolder temp;
  testing::WriteFile(temp / "file", "");
  {
    const TDataEnvironment environment((temp / "file").string(), std::nullopt, std::nullopt);
    ExpectFolderError([] { UserDataFolder(); });
  }
  testing::WriteFile(temp / "base" / "Velmora", "");
  {
    const TDataEnvironment environment((temp / "base").string(), std::nullopt, std::nullopt);
    ExpectFolderError([] { UserDataFolder(); });
  }
  ExpectFolderError([&] { EnsureDataFolder(temp / "file" / "sub"); });
}

TEST(EnsureDataFolder, CreatesNestedFolders) {
  TTempFolder temp;
  const fs::path folder = temp / "a" / "b" / "c";
  EXPECT_EQ(EnsureDataFolder(folder), folder);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(EnsureDataFolder(folder), folder);
}

TEST(RegistryFile, UnderTheConfigFolderOrTheDataFolder) {
  TTempFolder temp;
  {
    const TEnvironmentGuard config("XDG_CONFIG_HOME", (temp / "config").string());
    EXPECT_EQ(DefaultRegistryFile(), temp / "config" / "Talvex" / "DravonES.json");
  }
  {
    const TEnvironmentGuard config("XDG_CONFIG_HOME", std::nullopt);
    const TEnvironmentGuard home("HOME", (temp / "home").string());
    EXPECT_EQ(DefaultRegistryFile(), temp / "home" / ".config" / "Talvex" / "DravonES.json");
  }
  EXPECT_EQ(RegistryFileIn(temp.Path()), temp / "Talvex" / "DravonES.json");
}

TEST(ProgramFolder, InstalledTreeThenBuildTreeElseWhereAnInstallKeepsTheFiles) {
  TTempFolder temp;
  fs::create_directories(temp / "build" / "bin");
  testing::WriteFile(temp / "build" / "bin" / "dravon.db", "");
  EXPECT_EQ(ProgramFolderFor(temp / "build" / "bin"), temp / "build" / "bin");

  fs::create_directories(temp / "usr" / "bin");
  EXPECT_EQ(ProgramFolderFor(temp / "usr" / "bin"), temp / "usr" / "share" / "velmora")
      << "an incomplete install names the folder it lacks";
  fs::create_directories(temp / "usr" / "share" / "velmora");
  testing::WriteFile(temp / "usr" / "bin" / "dravon.db", "");
  EXPECT_EQ(ProgramFolderFor(temp / "usr" / "bin"), temp / "usr" / "share" / "velmora");

  // The tests themselves run in the build tree.
  EXPECT_EQ(ProgramFolder(), fs::read_symlink("/proc/self/exe").parent_path());
}

}  // namespace
}  // namespace velmora

#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <sstream>

#include "platform/configuration.h"
#include "platform/folders.h"
#include "cli_fixture.h"
#include "command_line.h"
#include "temp_folder.h"

namespace velmora::cli {
namespace {

using velmora::testing::ReadFile;
using velmora::testing::WriteFile;

TEST_F(CliTest, SettingsListsIntegersThenTextsInTableOrder) {
  const TRunResult result = Run({"settings"});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  const TConfiguration defaults(ProgramFolder());
  std::string expected;
  for (const std::string& key : defaults.Integers().KeysInOrder()) {
    expected += key + '=' + std::to_string(defaults.GetInt(key)) + '\n';
  }
  for (const std::string& key : defaults.Texts().KeysInOrder()) expected += key + '=' + defaults.GetString(key) + '\n';
  EXPECT_EQ(result.Out, expected);
  EXPECT_NE(("\n" + result.Out).find("\nno_of_quarters=4\n"), std::string::npos);
  EXPECT_NE(result.Out.find("\neff_formula=" + std::string(kDefaultEfficiencyFormula) + '\n'), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(RegistryFile()));
}

TEST_F(CliTest, SetSavesIntoTheDataFolderAndGetReadsItBack) {
  EXPECT_EQ(Run({"settings", "set", "no_of_quarters", "6"}).Status, kSuccess);
  EXPECT_EQ(Run({"settings", "set", "report_language", "Español"}).Status, kSuccess);
  ASSERT_TRUE(std::filesystem::exists(RegistryFile()));
  EXPECT_EQ(Run({"settings", "get", "no_of_quarters"}).Out, "6\n");
  EXPECT_EQ(Run({"settings", "get", "report_language"}).Out, "Español\n");
  EXPECT_NE(("\n" + Run({"settings"}).Out).find("\nno_of_quarters=6\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Config / "Talvex"));
  // A value that looks like an option is stored, not taken for one.
  EXPECT_EQ(Run({"settings", "set", "proxy_server", "--help"}).Status, kSuccess);
  EXPECT_EQ(Run({"--", "settings", "get", "proxy_server"}).Out, "--help\n");

  // Without --data-dir the registry lives under XDG_CONFIG_HOME.
  EXPECT_EQ(RunPlain({"settings", "set", "http_port", "8080"}).Status, kSuccess);
  EXPECT_TRUE(std::filesystem::exists(Config / "Talvex/DravonES.json"));
  EXPECT_EQ(RunPlain({"settings", "get", "http_port"}).Out, "8080\n");
  EXPECT_EQ(Run({"settings", "get", "http_port"}).Out, "80\n");
}

TEST_F(CliTest, BadSettingsRequestsAreUsageErrors) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"settings", "set", "no_of_quarters", "four"},
           {"settings", "set", "no_of_quarters", "99999999999"},
           {"settings", "set", "no_such_key", "1"},
           {"settings", "set", "backup_folder", "/tmp"},
           {"settings", "get", "no_such_key"},
           {"settings", "get", ""},
           {"settings", "get"},
           {"settings", "frobnicate"}}) {
    const TRunResult result = Run(args);
    EXPECT_EQ(result.Status, kUsageError) << args.back();
    EXPECT_FALSE(result.Err.empty()) << args.back();
    EXPECT_TRUE(result.Out.empty()) << args.back();
  }
  EXPECT_FALSE(std::filesystem::exists(RegistryFile()));
}

TEST_F(CliTest, BackupFolderIsSettableOnceTheRegistryHoldsIt) {
  WriteFile(RegistryFile(), R"({"keys": {"StrConfig": {"values": {"backup_folder": "/old"}}}})");
  EXPECT_EQ(Run({"settings", "set", "backup_folder", "/new"}).Status, kSuccess);
  EXPECT_EQ(Run({"settings", "get", "backup_folder"}).Out, "/new\n");
  EXPECT_NE(Run({"settings"}).Out.find("\nbackup_folder=/new\n"), std::string::npos);
}

TEST_F(CliTest, CataloguePrintsOneActionPerEntry) {
  const TRunResult result = Run({"catalogue"});
  ASSERT_EQ(result.Status, kSuccess) << result.Err;
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(result.Out.c_str()));
  const pugi::xml_node root = document.document_element();
  EXPECT_STREQ(root.name(), "ACTIONS");
  std::vector<std::string> kinds;
  for (const pugi::xml_node& action : root.children("ACTION")) kinds.emplace_back(action.attribute("ShortName").value());
  EXPECT_EQ(kinds, (std::vector<std::string>{"shot", "reb", "fthrow", "foul", "turnover", "steal", "assist", "block",
                                             "subst", "timeout", "quarter", "comment", "delete", "clock", "complete"}));
  EXPECT_STREQ(root.first_child().attribute("NParameters").value(), "7");
  EXPECT_NE(result.Out.find("Perdida de balón"), std::string::npos);
  EXPECT_EQ(Run({"catalogue", "extra"}).Status, kUsageError);
}

TEST_F(CliTest, CommandLineErrors) {
  EXPECT_EQ(RunPlain({}).Status, kUsageError);
  EXPECT_EQ(RunPlain({"--data-dir"}).Status, kUsageError);
  const TRunResult unknown = Run({"frobnicate"});
  EXPECT_EQ(unknown.Status, kUsageError);
  EXPECT_NE(unknown.Err.find("frobnicate"), std::string::npos);
  const TRunResult help = RunPlain({"--help"});
  EXPECT_EQ(help.Status, kSuccess);
  EXPECT_NE(help.Out.find("usage:"), std::string::npos);
}

}  // namespace
}  // namespace velmora::cli

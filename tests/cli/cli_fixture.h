#pragma once
// Runs velmora-cli in-process with its own data folder and registry.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "command_line.h"
#include "temp_folder.h"

namespace velmora::cli {

struct TRunResult {
  int Status;
  std::string Out;
  std::string Err;
};

class CliTest : public ::testing::Test {
 protected:
  TRunResult Run(std::vector<std::string> args) const {
    args.insert(args.begin(), {"--data-dir", Data.Path().string()});
    return RunPlain(args);
  }
  static TRunResult RunPlain(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
  }
  std::filesystem::path RegistryFile() const { return Data / "Talvex/DravonES.json"; }

  velmora::testing::TTempFolder Data;
  velmora::testing::TTempFolder Config;
  // Keeps a run without --data-dir away from the real user's settings.
  velmora::testing::TEnvironmentGuard ConfigHome{"XDG_CONFIG_HOME", Config.Path().string()};
};

}  // namespace velmora::cli

#include <ostream>

#include "platform/configuration.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "commands.h"
#include "records/text_utils.h"

namespace velmora::cli {

namespace {

int ListSettings(const TConfiguration& config, std::ostream& out) {
  for (const std::string& key : config.Integers().KeysInOrder()) out << key << '=' << config.GetInt(key) << '\n';
  for (const std::string& key : config.Texts().KeysInOrder()) out << key << '=' << config.GetString(key) << '\n';
  return kSuccess;
}

int GetSetting(const TConfiguration& config, const std::string& key, std::ostream& out, std::ostream& err) {
  if (!key.empty() && config.HasInt(key)) {
    out << config.GetInt(key) << '\n';
  } else if (!key.empty() && config.HasString(key)) {
    out << config.GetString(key) << '\n';
  } else {
    err << "velmora-cli: unknown setting \"" << key << "\"\n";
    return kUsageError;
  }
  return kSuccess;
}

int SetSetting(TConfiguration& config, TRegistry& registry, const std::string& key, const std::string& value,
               std::ostream& err) {
  if (!key.empty() && config.HasInt(key)) {
    const auto number = ParseInt32(value);
    if (!number) {
      err << "velmora-cli: setting \"" << key << "\" takes a whole number, not \"" << value << "\"\n";
      return kUsageError;
    }
    config.SetInt(key, *number);
  } else if (!key.empty() && config.HasString(key)) {
    config.SetString(key, value);
  } else {
    err << "velmora-cli: unknown setting \"" << key << "\"\n";
    return kUsageError;
  }
  if (!config.Save(registry)) {
    err << "velmora-cli: could not write the settings to " << registry.File() << '\n';
    return kFailure;
  }
  return kSuccess;
}

}  // namespace

int SettingsCommand(const TCliEnvironment& environment, const std::vector<std::string>& args, std::ostream& out,
                    std::ostream& err) {
  TRegistry registry(environment.RegistryFile());
  TConfiguration config(ProgramFolder());
  config.Load(registry);

  if (args.empty()) return ListSettings(config, out);
  if (args[0] == "get" && args.size() == 2) return GetSetting(config, args[1], out, err);
  if (args[0] == "set" && args.size() == 3) return SetSetting(config, registry, args[1], args[2], err);
  err << "usage: velmora-cli settings [get KEY | set KEY VALUE]\n";
  return kUsageError;
}

}  // namespace velmora::cli

#pragma once
// What the windows reach: the model, the application object, the registry and the operator's
// message boxes. Made once in main; tests make their own with fakes.

#include <filesystem>

namespace velmora {
class TApp;
class TModel;
class TRegistry;
class TUserInterface;
}  // namespace velmora

namespace velmora::gui {

struct TGuiContext {
  TModel& Model;
  TApp& App;
  TRegistry& Registry;
  TUserInterface& Ui;  // every message box and question of the windows goes through it
  std::filesystem::path DataFolder;
};

}  // namespace velmora::gui

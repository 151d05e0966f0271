#include "workbench/model/launcher.h"

#include "workbench/model/workbench_texts.h"

// Programs carry no ".exe" here; the help files keep their names.
const TLaunchItem kLaunchItems[kLaunchCount] = {
    {"MnuContent", "kelmo.chm"}, {"MnuAsmHelp", "TALVOCPUSim.chm"}, {"MnuQuoll", "Quoll"},
    {"MnuNumbat", "Numbat"},     {"MnuBilby", "Bilby"},             {"MnuQOBJWallaby", "Wallaby"},
    {"MnuDingbat", "Dingbat"},   {"MnuPossum", "Possum"},           {"MnuDunnart", "Dunnart"},
    {"Kowari1", "Kowari"},       {"MnuTALVOSim", "TALVOSim"},
};

std::string LaunchPath(const std::string& folder, const std::string& fileName) { return folder + fileName; }

std::string MissingFileText(const std::string& path) { return TextNamingPath(wbtext::kFileMissing, path); }

const THotKey kHotKeys[kHotKeyCount] = {
    {0, true, 0x4F, THotCommand::Open},    {1, true, 0x53, THotCommand::Save},
    {2, true, 0x78, THotCommand::Compile}, {3, true, 0x50, THotCommand::Print},
    {4, false, 0x78, THotCommand::Build},  {5, false, 0x70, THotCommand::Content},
};

THotCommand HotKeyCommand(int32_t id) {
  if (id < 0 || id >= kHotKeyCount) return THotCommand::None;
  return kHotKeys[id].Command;
}

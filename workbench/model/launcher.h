#pragma once
// The programs and help files the workbench starts from its own folder, and the
// hot keys that run its commands.

#include <cstdint>
#include <string>

struct TLaunchItem {
  const char* Component;  // the menu item's object name
  const char* FileName;   // looked up beside the workbench's program
};

// Help content, assembly help, the eight tools and the simulator, in menu order.
constexpr int kLaunchCount = 11;
extern const TLaunchItem kLaunchItems[kLaunchCount];
// The file a command starts: the program folder (with its trailing separator)
// followed directly by the file name.
std::string LaunchPath(const std::string& folder, const std::string& fileName);
// "没找到以下文件：" followed by the path, UTF-8 text as every message.
std::string MissingFileText(const std::string& path);

enum class THotCommand { Open, Save, Compile, Print, Build, Content, None };
struct THotKey {
  int32_t Id;
  bool Ctrl;
  int32_t VirtualKey;
  THotCommand Command;
};
constexpr int kHotKeyCount = 6;
extern const THotKey kHotKeys[kHotKeyCount];
// The command of a hot-key id; None for ids outside the table.
THotCommand HotKeyCommand(int32_t id);

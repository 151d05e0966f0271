// A program the workbench starts runs in the workbench's current folder, where the
// user's relative names (the simulator's settings, its images) lie, not in the folder
// the program is found in.

#include <sys/stat.h>

#include "../common/eventually.h"
#include "frame_fixture.h"
#include "platform/shell_open.h"

TEST(Launcher, StartsAProgramInTheCurrentFolder) {
  TestApplication();
  TScratchFolder dir;
  // Named whole only once the program has written it.
  dir.Write({{"bin/TALVOSim", "#!/bin/sh\npwd -P > \"$0.part\" && mv \"$0.part\" \"$0.where\"\n"}, {"work/x", ""}});
  const std::string program = dir.File("bin/TALVOSim");
  ASSERT_EQ(::chmod(program.c_str(), 0755), 0);
  const TCurrentFolder inWork(dir.File("work"));
  ASSERT_TRUE(ShellOpen(program));
  ASSERT_TRUE(Eventually([&] { return Exists(program + ".where"); }));
  EXPECT_EQ(ReadBytes(program + ".where"), std::filesystem::canonical(dir.File("work")).string() + "\n");
}

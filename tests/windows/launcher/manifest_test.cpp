// What the launcher's manifest gives the process that the Java program runs
// in, seen from inside it while mainVK runs: the comctl32 of Common-Controls 6,
// the DPI and long-path settings and the supported systems of the process's
// default activation context. The manifest's text itself is checked in the
// built binaries (tests/quality/check_binaries.py).
#include <gtest/gtest.h>

#include "launcher_fixture.h"

namespace launchertest {
namespace {

TEST(Manifest, TheJavaProgramRunsWithWhatTheManifestDeclares) {
    Installation installation;
    StandinBehaviour behaviour;
    behaviour.probeManifest = true;
    Launch launch = launchertest::launch(installation, L"file.log", behaviour);
    EXPECT_EQ(launch.run.exitCode, 0u);
    EXPECT_TRUE(launch.run.boxes.empty());
    expectManifestEffects(launch.record);
}

}  // namespace
}  // namespace launchertest

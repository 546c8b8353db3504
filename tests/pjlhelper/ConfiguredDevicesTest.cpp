// Naming the network embossers to list.
#include "ConfiguredDevices.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace brelmont::pjlhelper;

TEST(PjlhelperConfiguredDevices, EnvironmentListIsSplitAtBlanks) {
    EXPECT_EQ(splitAtBlanks("  socket://a  socket://b:9101\tsocket://c\n"),
              (std::vector<std::string>{"socket://a", "socket://b:9101", "socket://c"}));
    EXPECT_TRUE(splitAtBlanks("   ").empty());
}

TEST(PjlhelperConfiguredDevices, FileSkipsBlankLinesAndComments) {
    EXPECT_EQ(parseDevicesFile("# embossers in room 2\n\nsocket://10.0.0.7\r\n   \n  # old one\n socket://[::1]:9101 \n"),
              (std::vector<std::string>{"socket://10.0.0.7", "socket://[::1]:9101"}));
}

TEST(PjlhelperConfiguredDevices, FileLivesUnderXdgConfigHomeElseHome) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string xdg = savedXdg ? savedXdg : "";
    ::setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(devicesFilePath(), std::filesystem::path("/tmp/cfg/brelmont/devices"));
    ::unsetenv("XDG_CONFIG_HOME");
    if (const char* home = std::getenv("HOME")) {
        EXPECT_EQ(devicesFilePath(), std::filesystem::path(home) / ".config/brelmont/devices");
    }
    if (savedXdg) ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);
}

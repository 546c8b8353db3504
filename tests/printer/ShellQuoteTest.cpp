#include "printer/CommandRunner.h"
#include "printer/ShellQuote.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace brelmont::printer;

namespace {

// Values a queue name, a path or a device address could hold, made to break a command line.
const std::string HostileValues[] = {
    "plain",
    "two words",
    "it's",
    "say \"hi\"",
    "$HOME",
    "`touch /tmp/brelmont-pwned`",
    "$(touch /tmp/brelmont-pwned)",
    "a;touch /tmp/brelmont-pwned",
    "line\nbreak",
    "back\\slash",
    "bang!",
    "*",
    "~",
    "-n",
    "socket://host:9100?x=1&y=2",
    "usb://Brelmont/Orvin%20200?serial=12|3",
    "caf\xc3\xa9",
    "",
};

} // namespace

TEST(ShellQuote, PlainValuesStandAsTheyAre) {
    EXPECT_EQ(shellWord("Orvin_200"), "Orvin_200");
    EXPECT_EQ(shellWord("socket://127.0.0.1:9100"), "socket://127.0.0.1:9100");
    EXPECT_EQ(shellDoubleQuoted("/tmp/brelmont-0/pjl"), "\"/tmp/brelmont-0/pjl\"");
    EXPECT_EQ(shellDoubleQuoted("usb://Brelmont/Orvin 200?serial=1"), "\"usb://Brelmont/Orvin 200?serial=1\"");
    EXPECT_EQ(shellSingleQuoted("/opt/brelmont/libexec/pjlhelper"), "'/opt/brelmont/libexec/pjlhelper'");
}

TEST(ShellQuote, EveryValueReachesTheProgramAsOneLiteralArgument) {
    for (const auto& quote : {shellWord, shellDoubleQuoted, shellSingleQuoted}) {
        for (const std::string& value : HostileValues) {
            const auto out = CommandRunner::run("printf '[%s]' " + quote(value));
            ASSERT_TRUE(out);
            EXPECT_EQ(*out, "[" + value + "]") << value;
        }
    }
    EXPECT_FALSE(std::ifstream("/tmp/brelmont-pwned").good());
}

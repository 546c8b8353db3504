// The one place for the quoting rules: every value reaches the program as one literal argument.
#include "printer/ShellQuote.h"
#include "printer/CommandRunner.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace brelmont::printer;

TEST(ShellQuote, EveryValueReachesTheProgramAsOneLiteralArgument) {
    // Values a queue name, a path or a device address could hold, made to break a command line.
    const std::string hostile[] = {"two words",
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
                                   "usb://B/O%20200?serial=12|3",
                                   "caf\xc3\xa9",
                                   ""};
    for (const auto& quote : {shellWord, shellDoubleQuoted, shellSingleQuoted})
        for (const std::string& value : hostile)
            EXPECT_EQ(CommandRunner::run("printf '[%s]' " + quote(value)), "[" + value + "]");
    EXPECT_FALSE(std::ifstream("/tmp/brelmont-pwned").good());
}

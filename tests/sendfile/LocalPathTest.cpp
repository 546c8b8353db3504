#include "sendfile/LocalPath.h"

#include <gtest/gtest.h>

using brelmont::sendfile::localPath;

TEST(LocalPath, FileUrlsBecomeDecodedPathsAndPathsStayAsTheyAre) {
    struct Case { const char* given; std::string expected; };
    const Case cases[] = {
        {"/Users/me/job.prn", "/Users/me/job.prn"},
        {"file:///Users/me/job.prn", "/Users/me/job.prn"},
        {"file:///Users/me/my%20job.prn", "/Users/me/my job.prn"},
        {"file:///tmp/100%25.prn", "/tmp/100%.prn"},
        {"file:///tmp/a%23b.prn", "/tmp/a#b.prn"},
        {"file:///tmp/caf%C3%A9%2Fx", "/tmp/café/x"},
        {"file:///tmp/%e2%82%ac", "/tmp/€"},
        {"file://localhost/tmp/a%20b", "/tmp/a b"},
        {"file:///tmp/%zz%2", "/tmp/%zz%2"},          // incomplete escapes stay
        {"file:///tmp/a%00b", "/tmp/a%00b"},          // no path holds a zero byte
        {"/tmp/plain%20name", "/tmp/plain%20name"},  // a path is not decoded
        {"relative/file", "relative/file"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(localPath(c.given), c.expected) << c.given;
}

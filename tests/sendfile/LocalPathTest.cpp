#include "sendfile/LocalPath.h"

#include <gtest/gtest.h>

TEST(LocalPath, FileUrlsBecomeDecodedPathsAndPathsStayAsTheyAre) {
    // clang-format off
    for (const auto& [given, expected] : std::initializer_list<std::pair<std::string, std::string>>{
             {"file:///Users/me/job.prn", "/Users/me/job.prn"}, {"file:///tmp/100%25%23%C3%A9%2Fx", "/tmp/100%#é/x"},
             {"file:///tmp/%e2%82%ac", "/tmp/€"}, {"file://localhost/tmp/a%20b", "/tmp/a b"}, {"", ""},
             {"file:///tmp/%zz%2", "/tmp/%zz%2"},        // incomplete escapes stay
             {"file:///tmp/a%00b", "/tmp/a%00b"},        // no path holds a zero byte
             {"/tmp/plain%20name", "/tmp/plain%20name"}}) // a path is not decoded
        EXPECT_EQ(brelmont::sendfile::localPath(given), expected) << given;
    // clang-format on
}

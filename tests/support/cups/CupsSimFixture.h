// The system test set-up: the private CUPS server, simulated embossers behind some of its queues,
// the device helper beside the test programs and brelmont-cli to drive it all as a script would.
// A suite derives from it and calls startSystem in its SetUpTestSuite; everything lives until the
// suite ends.
#pragma once

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::testing {

class CupsSimFixture : public ::testing::Test {
protected:
    // A simulator of `family` (with `options`) behind `queue`, whose device address it fills in.
    // With a `ppd`, the queue is made from that file rather than from a test description.
    struct Simulated {
        std::string family;
        QueueDefinition queue;
        std::vector<std::string> options = {};
        std::filesystem::path ppd = {};
    };

    // Nothing starts when cupsd is not installed; the tests then skip. With a `filter`, the
    // scheduler runs it (CupsServer::useFilter), with `ppds` it lists them (usePpdFolder). A step
    // that fails is kept as setupFailure.
    static void startSystem(std::vector<Simulated> simulated, const std::vector<QueueDefinition>& others = {},
                            const std::filesystem::path& filter = {}, const std::filesystem::path& ppds = {});
    static void TearDownTestSuite();
    // Skips without cupsd, fails with the reason when the set-up failed; every test starts from
    // the simulators' factory state with empty logs.
    void SetUp() override;

    // "brelmont-cli ARGS" against the server.
    static ShellResult cli(const std::string& args, int timeoutSeconds = 60);
    static const char* cliPath();

    static inline std::unique_ptr<ScratchDir> scratch;
    static inline std::unique_ptr<CupsServer> cups;
    static inline std::vector<std::unique_ptr<EmbosserSim>> sims;
    static inline EmbosserSim* sim = nullptr; // the first
    static inline std::vector<std::unique_ptr<ScopedEnv>> variables;
    static inline std::string setupFailure;
};

} // namespace brelmont::testing

#include "CupsSimFixture.h"

namespace brelmont::testing {

void CupsSimFixture::startSystem(std::vector<Simulated> simulated, const std::vector<QueueDefinition>& others,
                                 const std::filesystem::path& filter) {
    if (!CupsServer::available()) return;
    scratch = std::make_unique<ScratchDir>("system");
    // The exchanges' work files in a folder of this run's own: other tests run side by side.
    variables.push_back(std::make_unique<ScopedEnv>("TMPDIR", scratch->path().string()));
    variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_RESOURCE_DIR", BRELMONT_HELPER_FOLDER));
    cups = std::make_unique<CupsServer>();
    if (!filter.empty()) cups->useFilter(filter);
    std::string error;
    ASSERT_TRUE(cups->start(&error)) << error;
    for (const QueueDefinition& queue : others) ASSERT_TRUE(cups->addQueue(queue, &error)) << error;
    for (Simulated& s : simulated) {
        sims.push_back(std::make_unique<EmbosserSim>(s.family, s.options));
        s.queue.deviceUri = sims.back()->uri();
        ASSERT_TRUE(s.ppd.empty() ? cups->addQueue(s.queue, &error)
                                  : cups->addQueueFromPpd(s.queue.name, s.ppd, s.queue.deviceUri, s.queue.info, &error))
            << error;
    }
    sim = sims.empty() ? nullptr : sims.front().get();
    cups->applyEnvironment();
}

void CupsSimFixture::TearDownTestSuite() {
    sim = nullptr;
    sims.clear();
    cups.reset();
    variables.clear();
    scratch.reset();
}

void CupsSimFixture::SetUp() {
    if (!cups) GTEST_SKIP() << "cupsd is not installed";
    for (const auto& s : sims) s->reset();
}

ShellResult CupsSimFixture::cli(const std::string& args, int timeoutSeconds) {
    return cups->run(std::string(BRELMONT_CLI_PATH) + " " + args, timeoutSeconds);
}

const char* CupsSimFixture::cliPath() { return BRELMONT_CLI_PATH; }

} // namespace brelmont::testing

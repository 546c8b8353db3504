#include "CupsSimFixture.h"

#include <stdexcept>

namespace brelmont::testing {

namespace {

// A step of the set-up that did not work: every test of the suite then fails with this reason.
void require(bool done, const std::string& why) {
    if (!done) throw std::runtime_error(why);
}

} // namespace

void CupsSimFixture::startSystem(std::vector<Simulated> simulated, const std::vector<QueueDefinition>& others,
                                 const std::filesystem::path& filter, const std::filesystem::path& ppds) {
    setupFailure.clear();
    if (!CupsServer::available()) return;
    try {
        scratch = std::make_unique<ScratchDir>("system");
        // The exchanges' work files in a folder of this run's own: other tests run side by side.
        variables.push_back(std::make_unique<ScopedEnv>("TMPDIR", scratch->path().string()));
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_RESOURCE_DIR", BRELMONT_HELPER_FOLDER));
        // A loaded test machine may take longer than a live embosser to name itself in the listing.
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_PJL_LIST_TIMEOUT_MS", "1000"));
        cups = std::make_unique<CupsServer>();
        if (!filter.empty()) cups->useFilter(filter);
        if (!ppds.empty()) cups->usePpdFolder(ppds);
        std::string error;
        require(cups->start(&error), error);
        for (const QueueDefinition& queue : others) require(cups->addQueue(queue, &error), error);
        for (Simulated& s : simulated) {
            sims.push_back(std::make_unique<EmbosserSim>(s.family, s.options));
            s.queue.deviceUri = sims.back()->uri();
            require(s.ppd.empty() ? cups->addQueue(s.queue, &error)
                                  : cups->addQueueFromPpd(s.queue.name, s.ppd, s.queue.deviceUri, s.queue.info, &error),
                    error);
        }
        sim = sims.empty() ? nullptr : sims.front().get();
        cups->applyEnvironment();
    } catch (const std::exception& e) { setupFailure = e.what(); }
}

void CupsSimFixture::TearDownTestSuite() {
    sim = nullptr;
    sims.clear();
    cups.reset();
    variables.clear();
    scratch.reset();
}

void CupsSimFixture::SetUp() {
    if (!CupsServer::available()) GTEST_SKIP() << "cupsd is not installed";
    ASSERT_TRUE(setupFailure.empty()) << "the system set-up failed: " << setupFailure;
    for (const auto& s : sims) s->reset();
}

ShellResult CupsSimFixture::cli(const std::string& args, int timeoutSeconds) {
    return cups->run(std::string(BRELMONT_CLI_PATH) + " " + args, timeoutSeconds);
}

const char* CupsSimFixture::cliPath() { return BRELMONT_CLI_PATH; }

} // namespace brelmont::testing

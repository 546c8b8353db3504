// What the toolbox tests of a family share: the private CUPS server with a queue leading to one
// simulated embosser of the family, the device helper beside the test programs, and brelmont-cli
// to drive the toolbox. A suite derives from it and calls startSim in its SetUpTestSuite.
#pragma once

#include "printer/PjlHelper.h"
#include "toolbox/ToolboxModel.h"

#include "CupsServer.h"
#include "EmbosserSim.h"
#include "ScopedEnv.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brelmont::testing {

class ToolboxSimFixture : public ::testing::Test {
protected:
    struct Queue {
        std::string name, makeAndModel, deviceUri, info;
    };

    // The simulator of `family` behind queue `queue` (its device address is filled in), and any
    // other queues. Nothing starts when cupsd is not installed; the tests then skip.
    static void startSim(const std::string& family, Queue queue, const std::vector<Queue>& others = {}) {
        startSims({{family, std::move(queue)}}, others);
    }
    // One simulator per family, each behind its own queue; `sim` is the first.
    static void startSims(std::vector<std::pair<std::string, Queue>> simulated, const std::vector<Queue>& others = {}) {
        if (!CupsServer::available()) return;
        scratch = std::make_unique<ScratchDir>(simulated.front().first + "-sim");
        tmpdir.emplace("TMPDIR", scratch->path().string());
        cups = std::make_unique<CupsServer>();
        std::string error;
        ASSERT_TRUE(cups->start(&error)) << error;
        for (const Queue& q : others) ASSERT_TRUE(cups->addQueue(q.name, q.makeAndModel, q.deviceUri, q.info));
        for (auto& [family, queue] : simulated) {
            sims.push_back(std::make_unique<EmbosserSim>(family));
            queue.deviceUri = sims.back()->uri();
            ASSERT_TRUE(cups->addQueue(queue.name, queue.makeAndModel, queue.deviceUri, queue.info));
        }
        sim = sims.front().get();
        cups->applyEnvironment();
        resources.emplace("BRELMONT_RESOURCE_DIR", std::filesystem::path(BRELMONT_PJLHELPER).parent_path().string());
    }
    static void TearDownTestSuite() {
        sim = nullptr;
        sims.clear();
        cups.reset();
        resources.reset();
        tmpdir.reset();
        scratch.reset();
    }
    void SetUp() override {
        if (!cups) GTEST_SKIP() << "cupsd is not installed";
        for (const auto& s : sims) s->reset();
    }

    static ShellResult cli(const std::string& args) { return cups->run(std::string(BRELMONT_CLI) + " toolbox " + args); }
    static ShellResult cli(const std::string& queue, const std::string& args) { return cli(args + " --queue " + queue); }
    // The family's toolbox loaded from the simulator, as its window would load it.
    static std::unique_ptr<toolbox::ToolboxModel> loaded(const toolbox::FamilyDescription& family) {
        auto model = std::make_unique<toolbox::ToolboxModel>(family, printer::PjlHelper::exchange, printer::PjlHelper::exchangeData);
        EXPECT_TRUE(model->load());
        return model;
    }

    static inline std::unique_ptr<ScratchDir> scratch;
    static inline std::unique_ptr<CupsServer> cups;
    static inline std::vector<std::unique_ptr<EmbosserSim>> sims;
    static inline EmbosserSim* sim = nullptr;
    static inline std::optional<ScopedEnv> tmpdir, resources;
};

} // namespace brelmont::testing

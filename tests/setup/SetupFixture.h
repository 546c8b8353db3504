// The system set-up of the tests of adding an embosser: the private scheduler with no queue yet,
// this build's PPDs, and no network embosser from this machine's own configuration.
#pragma once

#include "CupsSimFixture.h"

namespace brelmont::testing {

class SetupFixture : public CupsSimFixture {
protected:
    static void SetUpTestSuite() {
        startSystem({});
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_PPD_DIR", BRELMONT_PPD_DIR));
        variables.push_back(std::make_unique<ScopedEnv>("BRELMONT_DEVICES", ""));
    }
};

} // namespace brelmont::testing

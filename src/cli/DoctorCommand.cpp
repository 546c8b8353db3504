#include "cli/DoctorCommand.h"

#include "cli/ExitCodes.h"
#include "doctor/Checks.h"

#include <iostream>

namespace brelmont::cli {

int runDoctor(const std::vector<std::string>& args) {
    if (!args.empty()) {
        std::cerr << "usage: brelmont-cli doctor\n";
        return ExitRefused;
    }
    const std::vector<doctor::Finding> findings = doctor::diagnose();
    for (const doctor::Finding& finding : findings) std::cout << doctor::line(finding) << '\n';
    return doctor::anyProblem(findings) ? ExitFailed : ExitOk;
}

} // namespace brelmont::cli

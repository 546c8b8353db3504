// Making the print queue for a candidate: lpadmin with the model's PPD, and an outcome that says
// truthfully what happened.
#pragma once

#include "printer/CommandRunner.h"
#include "printer/StopSignal.h"
#include "setup/Candidates.h"

#include <filesystem>
#include <string>

namespace brelmont::setup {

enum class AddStatus {
    Added,
    NotAllowed, // the printing system refused this user the right to add queues
    Failed,     // anything else; the message holds lpadmin's own words
};

struct AddOutcome {
    AddStatus status = AddStatus::Failed;
    std::string queue;
    std::string message; // one sentence for the person: what was made, or why not and what to do

    bool added() const { return status == AddStatus::Added; }
};

// The folder of the driver's PPDs: BRELMONT_PPD_DIR, else ../share/ppd/brelmont from the running
// program's folder (an installed program, or a tree laid out as one), else /usr/share/ppd/brelmont.
std::filesystem::path ppdFolder();

// lpadmin -p NAME -E -v URI -P PPD -D "Brelmont MODEL (PLACE)" -L PLACE, every value quoted.
std::string lpadminCommand(const Candidate& candidate, const std::filesystem::path& ppd);

// What lpadmin's end means: refusals for lack of rights ("Forbidden", "Unauthorized", "not
// authorized") point at the printing administrators' group; other failures quote lpadmin.
AddOutcome outcomeOfLpadmin(const printer::RunResult& run, const Candidate& candidate, const std::string& user);

// The text for a user the printing system does not let add queues.
std::string notAllowedMessage(const std::string& user, const std::string& refusal);

// Makes the queue. A missing PPD file is a failure before lpadmin runs.
AddOutcome addQueue(const Candidate& candidate, const printer::SharedStop& stop = {});

// The name of the user this program runs as.
std::string currentUserName();

} // namespace brelmont::setup

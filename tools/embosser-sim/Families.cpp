#include "Family.h"

namespace brelmont::sim {

namespace {
const std::vector<FamilyTable>& families() {
    static const std::vector<FamilyTable> all{makeOrvin(), makeIvra(),     makeTessaline(),
                                              makeValdo(), makeMerriden(), makeFennick()};
    return all;
}
} // namespace

const FamilyTable* findFamily(std::string_view name) {
    for (const FamilyTable& f : families())
        if (f.name == name) return &f;
    return nullptr;
}

std::string familyNames() {
    std::string names;
    for (const FamilyTable& f : families()) names += (names.empty() ? "" : "|") + f.name;
    return names;
}

} // namespace brelmont::sim

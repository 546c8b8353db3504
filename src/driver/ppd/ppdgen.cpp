// brelmont-ppdgen OUTDIR [NAME...]: writes the PPD of every model into OUTDIR (the build makes
// them; the package installs them where CUPS looks for PPDs). With names, they must be exactly the
// models' file names, so the build's list of files cannot fall behind the models.
#include "driver/ppd/ModelPpd.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "Usage: %s OUTDIR [NAME...]\n", argv[0]);
        return 1;
    }
    using namespace brelmont::driver;
    if (argc > 2) {
        std::set<std::string> expected(argv + 2, argv + argc), made;
        for (const ModelProfile& profile : modelProfiles()) made.insert(std::string(profile.fileName));
        if (expected != made) {
            std::fprintf(stderr, "brelmont-ppdgen: the names given are not the models' PPD names\n");
            return 1;
        }
    }
    const std::vector<BrailleTable> tables = listBrailleTables();
    for (const ModelProfile& profile : modelProfiles()) {
        const std::string path = std::string(argv[1]) + "/" + std::string(profile.fileName) + ".ppd";
        std::ofstream out(path);
        out << makePpd(modelPpd(profile, tables));
        if (!out.flush()) {
            std::fprintf(stderr, "brelmont-ppdgen: %s: cannot be written\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

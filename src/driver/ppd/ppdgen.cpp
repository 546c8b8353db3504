// brelmont-ppdgen OUTDIR: writes the PPD of every model into OUTDIR (the build makes them; the
// package installs them where CUPS looks for PPDs).
#include "driver/ppd/ModelPpd.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s OUTDIR\n", argv[0]);
        return 1;
    }
    using namespace brelmont::driver;
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

// PCL3GUI blocks on their own, as the job decoder hands them over.
#include "job/HPPclParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const brelmont::job::HPPclParser block(brelmont::job::Bytes(data, size));
    return 0;
}

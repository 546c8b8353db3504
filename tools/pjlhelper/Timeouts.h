// How long pjlhelper waits for each step, so that no caller ever hangs on a device.
#pragma once

#include "Transport.h"

namespace brelmont::pjlhelper {

// Defaults suit real embossers; tests shorten them through the environment:
//   BRELMONT_PJL_CONNECT_TIMEOUT_MS  opening a connection                    (default 5000)
//   BRELMONT_PJL_SEND_TIMEOUT_MS     a device that stops taking data         (default 15000)
//   BRELMONT_PJL_REPLY_TIMEOUT_MS    the whole reply, from the end of sending (default 15000)
//   BRELMONT_PJL_QUIET_MS            silence after the last byte that ends a reply, or after
//                                    sending when no reply is expected        (default 500)
//   BRELMONT_PJL_LIST_TIMEOUT_MS     a network device's connection and identity for the
//                                    listing, all asked at once (default 100: a live embosser
//                                    names itself within 10 ms)
struct Timeouts {
    Milliseconds connect{5000};
    Milliseconds sendStall{15000};
    Milliseconds reply{15000};
    Milliseconds quiet{500};
    Milliseconds listing{100};

    // The defaults, each replaced by its environment variable when that holds a whole number.
    static Timeouts fromEnvironment();
};

} // namespace brelmont::pjlhelper

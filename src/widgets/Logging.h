// Diagnostics of the windows, one category per subsystem, switched on with QT_LOGGING_RULES (for
// example "brelmont.*.info=true"; warnings are on by default). The windows never write to standard
// output: what the user must know is shown in an alert; the log says more to whoever looks into a
// fault.
#pragma once

#include <QLoggingCategory>

namespace brelmont {
Q_DECLARE_LOGGING_CATEGORY(lcApp)         // brelmont.app: start-up, shared folder, preview hand-off, documents
Q_DECLARE_LOGGING_CATEGORY(lcToolbox)     // brelmont.toolbox: device loads, writes, table downloads
Q_DECLARE_LOGGING_CATEGORY(lcPreferences) // brelmont.preferences: option reads and writes, mirror files
Q_DECLARE_LOGGING_CATEGORY(lcFirmware)    // brelmont.firmware: catalogue, download, send
Q_DECLARE_LOGGING_CATEGORY(lcSendFile)    // brelmont.sendfile: files, jobs and test pages sent to queues
} // namespace brelmont

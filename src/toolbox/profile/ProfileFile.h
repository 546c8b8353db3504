// A settings profile as a file: JSON that anyone may have written, so it is read strictly and its
// size is capped.
//
//   {"family": 221201, "model": "Orvin 200", "firmware": "1.4.2",
//    "settings": {"m_tfTopMargin": "0.5\"", "m_ckAutoCr": true, "m_cbQuality": 1}}
#pragma once

#include "toolbox/SettingsProfile.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brelmont::toolbox {

// A profile of every setting of every family is a few kilobytes.
constexpr std::size_t MaxProfileBytes = 1024 * 1024;

std::string encodeProfile(const SettingsProfile& profile);

// None, and why, unless the bytes are an object with a whole-number "family", a "settings" object
// whose members are named like controls (letters, digits and _) and are each a text, true or
// false, or a whole number, and, where present, "model" and "firmware" texts. Other members are
// ignored.
std::optional<SettingsProfile> decodeProfile(std::string_view bytes, std::string& why);

// The file's profile; none, and why, for a file that cannot be read, is larger than
// MaxProfileBytes or is not a profile.
std::optional<SettingsProfile> readProfileFile(const std::filesystem::path& path, std::string& why);

} // namespace brelmont::toolbox

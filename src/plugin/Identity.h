// What the plug-in tells the host about itself.
#pragma once

namespace identity {

// "08888978": 9 bytes with the terminator.
constexpr char kInterfaceID[9] = "08888978";
// 16 bytes of GBK text: 17 bytes with the terminator.
extern const char kInterfaceName[17];
const int kInterfaceKind = 4;
const unsigned short kFunctions = 11;

} // namespace identity

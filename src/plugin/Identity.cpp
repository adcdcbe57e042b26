#include "plugin/Identity.h"

namespace identity {

const char kInterfaceID[9] = "08888978";
const char kInterfaceName[17] = "分销系统数据接口";

} // namespace identity

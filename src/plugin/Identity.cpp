#include "plugin/Identity.h"

namespace identity {

const char kInterfaceName[17] = "分销系统数据接口";

} // namespace identity

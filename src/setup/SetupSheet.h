// The interface parameter sheet "接口参数设置" with its five pages, run modally by the Setup export.
#pragma once

namespace setup {

// Builds the sheet and its pages, runs it and returns when it is closed by OK or Cancel.
void RunSetupSheet();

} // namespace setup

// The exact title of the host's main window: the run dialogs are owned by that window.
#pragma once

constexpr char kHostTitle[] = "网商数据交换系统 - QRVHUB";

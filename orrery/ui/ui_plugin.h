// The entry points of liborrery32-ui.so, the library's own dialogs. The
// capture-device library loads the plug-in only when a dialog is asked for,
// so the library itself links no Qt. Every function takes the parent widget
// (a QWidget* as an integer, may be 0) and returns 0 when there is no
// QApplication to show a dialog in.
#pragma once

#include <stdint.h>

#include "gmem/global_memory.h"

#ifdef __cplusplus
extern "C" {
#endif

// 1 when dialogs can be shown (a QApplication exists).
typedef int (*OrreryUiAvailable)(void);
// The picture the user captured, as a packed DIB, or 0 when cancelled.
typedef GlobalHandle (*OrreryUiCapture)(intptr_t parent);
typedef void (*OrreryUiCalibrate)(intptr_t parent);

#define ORRERY_UI_LIBRARY "liborrery32-ui.so"
#define ORRERY_UI_AVAILABLE "orreryUiAvailable"
#define ORRERY_UI_VIDEO "orreryUiVideo"
#define ORRERY_UI_SCAN "orreryUiScan"
#define ORRERY_UI_CALIBRATE "orreryUiCalibrate"

#ifdef __cplusplus
}
#endif

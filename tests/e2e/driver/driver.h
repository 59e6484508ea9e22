#pragma once

// The Win32 UI driver for end-to-end tests: start a program under test, find its windows, read
// and operate its controls, answer its message boxes and file dialogs. Every wait has a time-out
// and fails with a DriverError that says what was awaited and what the process showed instead.

#include "driver/controls.h"
#include "driver/dialogs.h"
#include "driver/error.h"
#include "driver/process.h"
#include "driver/screenshot.h"
#include "driver/top_windows.h"
#include "driver/window_station.h"

#pragma once

// The owner of a spooler handle (OpenPrinterW), apart from handles.h so that winspool's names
// reach only the files that print.

#include <windows.h>
#include <winspool.h>

#include "toolkit/win32/handles.h"

namespace vellum::win32 {

struct PrinterHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr; }
    static void Close(HANDLE h) { ClosePrinter(h); }
};
using PrinterHandle = UniqueHandle<HANDLE, PrinterHandleTraits>;

}  // namespace vellum::win32

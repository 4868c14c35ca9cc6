#pragma once
// Functions of the heavier system DLLs (shell, OLE, common dialogs, common controls) are bound
// when first used instead of imported: loading those DLLs at start-up would triple the start
// of a scripted run, which needs none of them.

#include <windows.h>

namespace ravlo {

// The function `name` of the system DLL `dll`, or nullptr when it cannot be had. The DLL stays
// loaded for the life of the process.
template <typename Function>
Function* SystemFunction(const char* dll, const char* name) {
  HMODULE module = LoadLibraryA(dll);
  if (!module) return nullptr;
  return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace ravlo

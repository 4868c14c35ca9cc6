#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace ravlo {

// Our own small modal input box (Windows has none). Nothing when cancelled.
std::optional<std::string> ShowInputBox(HWND owner, const std::string& prompt,
                                        const std::string& title, const std::string& defaultAnswer);

}  // namespace ravlo

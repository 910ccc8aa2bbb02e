// The setup tool's only output besides its exit code: a message box without
// an owner window, with the caption "Varkel Quellis Setup" and the OK button.
#pragma once

#include <string_view>

namespace varkel::setup {

enum class MessageIcon { error, warning, information };

void showSetupMessage(std::u16string_view text, MessageIcon icon);

}  // namespace varkel::setup

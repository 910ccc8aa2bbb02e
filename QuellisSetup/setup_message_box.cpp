#include "setup_message_box.h"

#include <windows.h>

#include "setup_messages.h"
#include "utf16_view.h"

namespace varkel::setup {

namespace {

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::error: return MB_ICONERROR;
        case MessageIcon::warning: return MB_ICONWARNING;
        case MessageIcon::information: return MB_ICONINFORMATION;
    }
    return MB_ICONERROR;
}

}  // namespace

void showSetupMessage(std::u16string_view text, MessageIcon icon) {
    const std::wstring shown = toWide(text);  // MessageBoxW needs the terminator
    const std::wstring caption = toWide(text::kCaption);
    MessageBoxW(nullptr, shown.c_str(), caption.c_str(), MB_OK | iconStyle(icon));
}

}  // namespace varkel::setup

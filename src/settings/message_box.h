// How code without a window system asks the desktop for a message box.
// The shell fills the handler; without one the message is dropped, which
// is what tests and command-line tools want.
#pragma once

#include "common/text.h"

#include <functional>

namespace quillet {

enum class MessageIcon { None, Critical, Exclamation, Information };

struct MessageBoxRequest {
    Text text;
    Text title;
    MessageIcon icon = MessageIcon::None;
};

// Shows the message with an OK button only and returns when it is closed.
using MessageBoxHandler = std::function<void(const MessageBoxRequest&)>;

} // namespace quillet

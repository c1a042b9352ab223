// The sheet-script host: the lines of the sheet script read last, in file
// order and without their line ends.
#pragma once

#include "character/keyed_list.h"
#include "common/text.h"

#include <memory>

namespace quillet {

class clsScript {
public:
    KeyedList<Text> Lines;

    void Clear() { Lines = KeyedList<Text>(); }
    void addLine(Text line) { Lines.Add(std::make_shared<Text>(std::move(line))); }
};

} // namespace quillet

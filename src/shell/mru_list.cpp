#include "shell/mru_list.h"

namespace quillet {

bool AddToMRUList(std::array<Text, 5>& files, const Text& path)
{
    if (files[1] == path)
        return false;
    int p = kMRUCount;
    for (int k = 2; k <= kMRUCount; ++k) {
        if (files[k] == path) {
            p = k;
            break;
        }
    }
    for (int j = p; j >= 2; --j)
        files[j] = files[j - 1];
    files[1] = path;
    return true;
}

Text mruCaption(int position, const Text& path)
{
    return u"&" + decimalText(position) + u" " + path;
}

} // namespace quillet

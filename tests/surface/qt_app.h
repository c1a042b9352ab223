// One Qt application object for the whole test program: fonts, painting
// and widgets need it.  It lives until the process ends.
#pragma once

namespace quillet::surface::testing {

void ensureQtApplication();

} // namespace quillet::surface::testing

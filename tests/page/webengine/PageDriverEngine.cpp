#include "PageDriver.h"

void PageDriver::refreshAccessible() const {
    // Chromium keeps the page's accessibility tree current by itself; there is nothing to read at once.
}

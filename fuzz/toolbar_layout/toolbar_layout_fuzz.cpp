// Feeds arbitrary bytes to the stored toolbar layout reader; whatever it accepts holds only
// known buttons, each at most once, and encodes back to bytes that read the same.
#include "tool_bar_buttons.h"
#include "tool_bar_layout.h"

#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<corvex::ToolBarLayout> layout = corvex::decodeToolBarLayout({data, size});
    if (!layout) {
        return 0;
    }
    std::set<int> buttons;
    for (int command : *layout) {
        if (corvex::findToolBarButton(command) == nullptr ||
            (command != corvex::kToolBarSeparator && !buttons.insert(command).second)) {
            std::abort();
        }
    }
    if (corvex::decodeToolBarLayout(corvex::encodeToolBarLayout(*layout)) != layout) {
        std::abort();
    }
    return 0;
}

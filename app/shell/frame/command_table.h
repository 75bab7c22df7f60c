// One table from command id to the code that runs it, so menus, accelerators, the toolbar,
// the tray menu and messages from other windows all reach a command the same way.
// Threads: build and dispatch on the user-interface thread.
#pragma once

#include <functional>
#include <map>
#include <vector>

namespace corvex {

class CommandTable {
public:
    // `code` is the notification code that came with the command (0 from menus).
    using Handler = std::function<void(int code)>;

    // Replaces any handler `id` had.
    void add(int id, Handler handler);
    bool contains(int id) const;
    // Runs the handler of `id`; false when there is none.
    bool dispatch(int id, int code = 0) const;
    std::vector<int> ids() const;

private:
    std::map<int, Handler> handlers_;
};

} // namespace corvex

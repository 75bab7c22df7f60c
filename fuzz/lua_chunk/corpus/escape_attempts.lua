debug.sethook()
pcall(debug.sethook)
os.exit = function() end
package.loadlib = load
setmetatable({}, {__gc = function() while true do end end})
local co = coroutine.wrap(function() while true do end end)
pcall(co)
xpcall(function() while true do end end, function() while true do end end)

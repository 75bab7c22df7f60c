-- Asks the connected devices who they are: sends the universal Identity Request
-- (F0 7E <device> 06 01 F7) when loaded and whenever "identify" is typed; "identify 16"
-- asks device 16 only (1-127; 127, the default, asks every device). The replies show in the
-- monitors.

local function request(device)
  corvex.sendSysEx(corvex.ALL_PORTS, { 0xF0, 0x7E, device, 0x06, 0x01, 0xF7 })
  corvex.printf("Identity Request sent to %s", device == 0x7F and "all devices" or "device " .. device)
end

function onStart()
  request(0x7F)
end

function onCommand(text)
  local value = text:match("^identify%s*(%S*)$")
  if value == nil then
    return false
  end
  local device = value == "" and 0x7F or math.tointeger(tonumber(value))
  if device == nil or device < 1 or device > 127 then
    corvex.log("identify needs a device number from 1 to 127")
  else
    request(device)
  end
  return true
end

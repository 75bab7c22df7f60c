-- Shapes how hard notes play: each note-on velocity v becomes 127 * (v / 127) ^ curve.
-- A curve below 1 makes soft playing louder, above 1 softer; 1 changes nothing.
-- In the command line: "curve 0.6" sets it. A played note never becomes silent.

local curve = 0.6

local function shaped(velocity)
  local value = math.floor(127 * (velocity / 127) ^ curve + 0.5)
  return math.max(1, math.min(127, value))
end

function onStart()
  corvex.log("Velocity curve " .. curve)
end

function onMidi(port, status, data1, data2)
  if corvex.getMsgType(status) == corvex.NOTE_ON and data2 > 0 then
    return status, data1, shaped(data2)
  end
  return true
end

function onCommand(text)
  local value = text:match("^curve%s+(%S+)$")
  if value == nil then
    return false
  end
  local number = tonumber(value)
  if number == nil or number < 0.1 or number > 10 then
    corvex.log("curve needs a number from 0.1 to 10")
  else
    curve = number
    corvex.log("Velocity curve " .. curve)
  end
  return true
end

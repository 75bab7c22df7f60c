-- Splits the keyboard: keys below the split point play on one channel, the split point and
-- above on another. Everything else passes unchanged.
-- In the command line: "split C 4" or "split 60" moves the split point,
-- "lower 2" and "upper 1" choose the channels (1-16).

local splitNote = 60 -- C 4
local lowerChannel, upperChannel = 2, 1

local function show()
  corvex.printf("Split at %s: below on channel %d, from there on channel %d",
    corvex.noteName(splitNote), lowerChannel, upperChannel)
end

local function noteNumber(text)
  local number = math.tointeger(tonumber(text))
  if number then
    return number
  end
  for note = 0, 127 do
    if corvex.noteName(note):gsub(" ", "") == text:gsub(" ", "") then
      return note
    end
  end
  return nil
end

onStart = show

function onMidi(port, status, data1, data2)
  local kind = corvex.getMsgType(status)
  if kind == corvex.NOTE_ON or kind == corvex.NOTE_OFF or kind == corvex.POLY_PRESSURE then
    local channel = data1 < splitNote and lowerChannel or upperChannel
    return corvex.setChannel(status, channel), data1, data2
  end
  return true
end

function onCommand(text)
  local word, value = text:match("^(%a+)%s+(.+)$")
  if word == "split" then
    local note = noteNumber(value)
    if note == nil or note < 0 or note > 127 then
      corvex.log("split needs a note from 0 to 127 or a name such as C 4")
      return true
    end
    splitNote = note
  elseif word == "lower" or word == "upper" then
    local channel = math.tointeger(tonumber(value))
    if channel == nil or channel < 1 or channel > 16 then
      corvex.log(word .. " needs a channel from 1 to 16")
      return true
    end
    if word == "lower" then lowerChannel = channel else upperChannel = channel end
  else
    return false
  end
  show()
  return true
end

-- Transposes every note by a number of semitones (an octave up to begin with).
-- In the command line: "transpose -5" sets the interval, "transpose" shows it.
-- A note that is sounding when the interval changes still ends on the key it started on.

local semitones = 12
local sounding = {} -- transposed note of each held key, by port, channel and key

local function keyOf(port, status, note)
  return (port * 16 + (status & 0x0F)) * 128 + note
end

function onStart()
  corvex.log("Transposing by " .. semitones .. " semitones")
end

function onMidi(port, status, data1, data2)
  local kind = corvex.getMsgType(status)
  local key = keyOf(port, status, data1)
  if kind == corvex.NOTE_ON and data2 > 0 then
    local note = data1 + semitones
    if note < 0 or note > 127 then
      return false -- no such key: the note and its release are dropped
    end
    sounding[key] = note
    return status, note, data2
  elseif kind == corvex.NOTE_OFF or kind == corvex.NOTE_ON or kind == corvex.POLY_PRESSURE then
    local note = sounding[key]
    if note == nil then
      return true -- held before the script started: release it where it sounds
    end
    if kind ~= corvex.POLY_PRESSURE then
      sounding[key] = nil
    end
    return status, note, data2
  end
  return true
end

function onCommand(text)
  local word, amount = text:match("^(transpose)%s*(%S*)$")
  if word == nil then
    return false
  end
  if amount ~= "" then
    local value = math.tointeger(tonumber(amount))
    if value == nil or value < -127 or value > 127 then
      corvex.log("transpose needs a whole number of semitones from -127 to 127")
      return true
    end
    semitones = value
  end
  corvex.log("Transposing by " .. semitones .. " semitones")
  return true
end

-- An arpeggiator on the script timer: the keys held on the input are played one after
-- another, lowest first, on every output, instead of sounding together.
-- In the command line: "rate 125" sets the milliseconds per step (10 or more).

local rate = 125
local held = {}    -- held keys in ascending order
local velocity = {} -- velocity of each held key
local channel = 0
local step = 0
local playing = nil -- the key sounding now

local function silence()
  if playing then
    corvex.sendMidi(corvex.ALL_PORTS, corvex.NOTE_OFF | channel, playing, 0)
    playing = nil
  end
end

local function release(key)
  for i, k in ipairs(held) do
    if k == key then
      table.remove(held, i)
      break
    end
  end
  velocity[key] = nil
end

function onStart()
  corvex.setTimer(rate)
  corvex.log("Arpeggiator: one step every " .. rate .. " ms")
end

function onStop()
  silence()
end

function onMidi(port, status, data1, data2)
  local kind = corvex.getMsgType(status)
  if kind == corvex.NOTE_ON and data2 > 0 then
    if velocity[data1] == nil then
      table.insert(held, data1)
      table.sort(held)
    end
    velocity[data1] = data2
    channel = status & 0x0F
    return false
  elseif kind == corvex.NOTE_OFF or kind == corvex.NOTE_ON then
    release(data1)
    return false
  end
  return true
end

function onTimer()
  silence()
  if #held == 0 then
    step = 0
    return
  end
  step = step % #held + 1
  playing = held[step]
  corvex.sendMidi(corvex.ALL_PORTS, corvex.NOTE_ON | channel, playing, velocity[playing])
end

function onCommand(text)
  local value = text:match("^rate%s+(%S+)$")
  if value == nil then
    return false
  end
  local ms = math.tointeger(tonumber(value))
  if ms == nil or ms < 10 then
    corvex.log("rate needs a whole number of milliseconds, 10 or more")
  else
    rate = ms
    corvex.setTimer(rate)
    corvex.log("Arpeggiator: one step every " .. rate .. " ms")
  end
  return true
end

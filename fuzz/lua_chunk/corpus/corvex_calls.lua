function onMidi(port, status, d1, d2)
  corvex.sendMidi(-1, status, d1 + 12, d2)
  return status, d1, d2
end
function onCommand(text) corvex.printf("%s %s", text, corvex.getInPorts()) return true end
function onTimer() corvex.sendSysEx({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}) corvex.setTimer(0) end
function onStart() corvex.setTimer(10) corvex.log(corvex.getTimeMs()) end

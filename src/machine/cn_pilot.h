#pragma once
// The input monitor: the status lines turned into the limit-switch and
// emergency-stop state and the LEDs of the main window, polled by the
// 250 ms tick of the machine thread.

namespace virmak {

inline constexpr const char* TexteArretMachine = "ARRET demandé par la machine.";

// Limits, emergency stop, their LEDs and the spindle LED from one read of
// the inputs.
void ScruterEntrees();

// The monitor tick: the monitor, then the keyboard jog when the main
// window is active and no field or the program list has the focus.
void Timer1Timer();

// The keyboard jog run by the tick; none until manual operation sets it.
extern void (*JogClavier)();

} // namespace virmak

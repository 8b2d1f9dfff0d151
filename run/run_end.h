// The ordinary end of a run: after the thank-you line, after the help text
// and after a data error.
#ifndef TALLYRA_RUN_RUN_END_H_
#define TALLYRA_RUN_RUN_END_H_

namespace tallyra {

// Writes out everything written to ResultFile so far (without closing it),
// waits for `presses` presses of Enter (each read of Keyboard returns at
// once when its input has ended; what is typed before each Enter is
// ignored), closes JobFile and ResultFile where they are open and ends the
// process with exit status 0.
[[noreturn]] void endRunAfterEnter(int presses);

}  // namespace tallyra

#endif  // TALLYRA_RUN_RUN_END_H_

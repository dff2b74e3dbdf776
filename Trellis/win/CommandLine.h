// Trellis.exe /check and /repair, for help desks and scripts: no window, the findings in stable
// English, one a line, and an exit code a script can test.
//   /check   0 when nothing keeps Excel from showing the Classic tab, 1 when something does
//   /repair  mends what the user may, says what it did and what remains; 0 when the tab will
//            show at Excel's next start, 1 when something remains
// Both give 2 when the check itself could not run. Lines go to the standard output when the
// program was given one (a file or a pipe); otherwise, since Trellis is a windowed program that
// gets no console of its own, to the console of the program that started it, if any.
#pragma once

#include <optional>

namespace cornice {

// The exit code when the command line asks for /check or /repair; nothing when it asks for the
// window.
std::optional<int> RunCommand(const wchar_t* commandLine);

} // namespace cornice

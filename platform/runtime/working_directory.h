// The program's working directory: the folder of its executable, whatever
// folder it was started from.
#pragma once

namespace platform {

// Makes the folder of the running executable the working directory. Gives
// false, leaving the directory as it was, when the executable's path cannot
// be read or the folder cannot be entered.
bool enter_executable_folder();

} // namespace platform

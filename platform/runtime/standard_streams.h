// The standard streams at start-up. A descriptor among 0, 1 and 2 that the
// program was started without would go to the next file or connection the
// process opens: a library's warning on stderr would then land in, say, the
// X protocol stream. Each closed one is opened on /dev/null first.
#pragma once

namespace platform {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed; returns
// false if one of them could not be opened.
bool open_closed_standard_streams();

} // namespace platform

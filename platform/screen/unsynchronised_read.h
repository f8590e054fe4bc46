// Marks the frame thread's reads of the page, which run while the program
// thread draws, without a lock, by design: a frame may show a drawing half
// done, and the next frame shows it complete. In a ThreadSanitizer build the
// scope tells the sanitizer to ignore the thread's memory accesses meanwhile;
// in every other build it costs nothing.
#pragma once

#if defined(__SANITIZE_THREAD__)
extern "C" void AnnotateIgnoreReadsBegin(const char* file, int line);
extern "C" void AnnotateIgnoreReadsEnd(const char* file, int line);
#endif

namespace platform {

class unsynchronised_read_scope {
public:
    unsynchronised_read_scope() {
#if defined(__SANITIZE_THREAD__)
        AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
#endif
    }
    ~unsynchronised_read_scope() {
#if defined(__SANITIZE_THREAD__)
        AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
#endif
    }
    unsynchronised_read_scope(const unsynchronised_read_scope&) = delete;
    unsynchronised_read_scope& operator=(const unsynchronised_read_scope&) = delete;
};

} // namespace platform

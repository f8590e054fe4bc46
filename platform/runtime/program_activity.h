// What the program thread is doing: running statements, in a line entry or
// in the closing prompt. A scripted keyboard uses it to tell the final key
// wait apart from the other readers of keys.
#pragma once

namespace platform {

enum class program_activity { running, entering, closing_prompt };

program_activity current_activity();
void set_activity(program_activity activity);

// Marks the program thread busy with an activity for the lifetime of the object.
class activity_scope {
public:
    explicit activity_scope(program_activity activity);
    ~activity_scope();
    activity_scope(const activity_scope&) = delete;
    activity_scope& operator=(const activity_scope&) = delete;

private:
    program_activity previous_;
};

} // namespace platform

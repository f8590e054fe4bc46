// The routine's 20 Single variables, each a cell of its own taken once from
// the runtime's static pool, in this order.
#pragma once

namespace winding {

struct winding_variables {
    float& origin_x;
    float& origin_y;
    float& pole_count;
    float& pole_pairs;
    float& slot_count;
    float& multiplex;
    float& slot_spacing;
    float& winding_pitch;
    float& first_pitch;
    float& second_pitch;
    float& coil_index;
    float& dash_steps;
    float& back_dash_dx;
    float& back_dash_dy;
    float& front_dash_dx;
    float& front_dash_dy;
    float& dash_index;
    float& slot_number;
    float& label_column;
    float& label_row;
};

// The number of members above. Binding one cell to each member does not
// compile unless the two agree.
inline constexpr int variable_count = 20;

// Obtains the cells on the first call and sets all 20 to 0 on every call.
winding_variables& allocate_variables();

// The variables of the last run (valid once the routine has started).
winding_variables& variables();

} // namespace winding

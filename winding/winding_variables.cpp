#include "winding/winding_variables.h"

#include <array>
#include <memory>

#include "platform/runtime/static_pool.h"

namespace winding {

namespace {

std::array<float*, variable_count> cells{};
std::unique_ptr<winding_variables> bound;

} // namespace

winding_variables& allocate_variables() {
    if (!bound) {
        for (float*& cell : cells) cell = static_cast<float*>(platform::alloc_static_var(sizeof(float)));
        bound.reset(new winding_variables{*cells[0],  *cells[1],  *cells[2],  *cells[3],  *cells[4],
                                          *cells[5],  *cells[6],  *cells[7],  *cells[8],  *cells[9],
                                          *cells[10], *cells[11], *cells[12], *cells[13], *cells[14],
                                          *cells[15], *cells[16], *cells[17], *cells[18], *cells[19]});
    }
    for (float* cell : cells) *cell = 0.0f;
    return *bound;
}

winding_variables& variables() { return *bound; }

} // namespace winding

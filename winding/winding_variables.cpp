#include "winding/winding_variables.h"

#include <array>
#include <memory>
#include <utility>

#include "platform/runtime/static_pool.h"

namespace winding {

namespace {

std::array<float*, variable_count> cells{};
std::unique_ptr<winding_variables> bound;

// Binds the members to the cells in order, one cell each. The compiler checks
// the count: with fewer cells than members a reference is left unbound, with
// more there is an initialiser too many, and either fails to compile.
template <std::size_t... index>
std::unique_ptr<winding_variables> bind_cells(std::index_sequence<index...>) {
    return std::unique_ptr<winding_variables>(new winding_variables{*cells[index]...});
}

} // namespace

winding_variables& allocate_variables() {
    if (!bound) {
        for (float*& cell : cells) cell = static_cast<float*>(platform::alloc_static_var(sizeof(float)));
        bound = bind_cells(std::make_index_sequence<variable_count>{});
    }
    for (float* cell : cells) *cell = 0.0f;
    return *bound;
}

winding_variables& variables() { return *bound; }

} // namespace winding

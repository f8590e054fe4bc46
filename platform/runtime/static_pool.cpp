#include "platform/runtime/static_pool.h"

#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "platform/runtime/errors.h"

namespace platform {

namespace {

struct pool_block {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t size = 0;
    std::size_t used = 0;
};

std::vector<pool_block>& blocks() {
    static std::vector<pool_block> all;
    return all;
}

bool add_block(std::size_t size) {
    unsigned char* bytes = new (std::nothrow) unsigned char[size];
    if (bytes == nullptr) return false;
    blocks().push_back({std::unique_ptr<unsigned char[]>(bytes), size, 0});
    return true;
}

constexpr std::size_t first_block_size = 1u << 20;
constexpr std::size_t cell_alignment = alignof(std::max_align_t);

} // namespace

void* alloc_static_var(std::size_t size) {
    auto& all = blocks();
    if (all.empty() && !add_block(first_block_size)) raise_critical_error(out_of_memory_variables);
    pool_block* current = &all.back();
    const std::size_t start = (current->used + cell_alignment - 1) / cell_alignment * cell_alignment;
    if (start > current->size || size > current->size - start) {
        // A size so large that the new block's size would wrap round cannot
        // be had either; without this check it would give a cell far smaller
        // than asked for.
        const std::size_t max_size = std::numeric_limits<std::size_t>::max();
        if (current->size > (max_size - size) / 2 || !add_block(size + 2 * current->size)) {
            raise_critical_error(out_of_memory_variables);
        }
        current = &all.back();
        current->used = size;
        return current->bytes.get();
    }
    current->used = start + size;
    return current->bytes.get() + start;
}

} // namespace platform

// Feeds arbitrary bytes to the configuration stream reader of both components'
// tables. Properties: no crash, no exception outside the truncation family, and
// whatever was read writes back to a stream that reads back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/cfg_var.h"
#include "frame/memory_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    abort_callback_dummy abort;
    memory_stream_reader reader(data, size);
    try {
        cfg_read_all(cfg_var::list_head(), reader, abort);
    } catch (const vellora_io::exception_io_data&) {
        // A stream that ends inside a record: what was read before stays.
    }
    memory_stream_writer first;
    cfg_write_all(cfg_var::list_head(), first, abort);
    memory_stream_reader again(first.data());
    cfg_read_all(cfg_var::list_head(), again, abort);
    memory_stream_writer second;
    cfg_write_all(cfg_var::list_head(), second, abort);
    if (first.data() != second.data()) std::abort();
    return 0;
}

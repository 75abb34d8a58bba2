// The abort object and the byte-stream interfaces that the host hands to components.
// Streams report failures as the vellora_io exceptions; every operation takes the
// caller's abort object and passes it on unchanged. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "exceptions.h"

// Lets a long operation notice that its owner wants it to stop. The event is a
// Windows manual-reset event handle (nullptr where there is none) that blocking
// host calls wait on beside their own work.
class abort_callback {
public:
    virtual bool is_aborting() const = 0;
    virtual void* get_abort_event() const = 0;

    // Throws vellora_io::exception_aborted when aborting.
    void check() const {
        if (is_aborting()) throw vellora_io::exception_aborted();
    }

protected:
    ~abort_callback() = default;
};

// An abort object that never aborts, for callers without an owner to stop them.
class abort_callback_dummy final : public abort_callback {
public:
    bool is_aborting() const override { return false; }
    void* get_abort_event() const override { return nullptr; }
};

namespace vellora_io {

class stream_reader {
public:
    // Reads up to `bytes`; returns the count read (0 at the end of the stream).
    virtual size_t read(void* buffer, size_t bytes, abort_callback& abort) = 0;

    // Reads exactly `bytes`; fewer throws exception_io_data_truncation.
    virtual void read_object(void* buffer, size_t bytes, abort_callback& abort) {
        auto* out = static_cast<unsigned char*>(buffer);
        size_t done = 0;
        while (done < bytes) {
            size_t got = read(out + done, bytes - done, abort);
            if (got == 0) throw exception_io_data_truncation();
            done += got;
        }
    }

    // Skips exactly `bytes`; fewer throws exception_io_data_truncation.
    virtual void skip_object(uint64_t bytes, abort_callback& abort) {
        unsigned char scratch[4096];
        while (bytes > 0) {
            size_t chunk = bytes < sizeof scratch ? static_cast<size_t>(bytes) : sizeof scratch;
            size_t got = read(scratch, chunk, abort);
            if (got == 0) throw exception_io_data_truncation();
            bytes -= got;
        }
    }

protected:
    ~stream_reader() = default;
};

class stream_writer {
public:
    virtual void write(const void* buffer, size_t bytes, abort_callback& abort) = 0;

protected:
    ~stream_writer() = default;
};

}  // namespace vellora_io

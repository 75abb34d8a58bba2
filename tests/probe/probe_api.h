// The test probe component's own service: lets tests drive the component frame from
// inside a real component DLL loaded by the host.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/api/io.h"
#include "frame/api/service.h"

class probe_service : public service_base {
public:
    static constexpr guid class_guid = guid::parse("{5A1E0C4B-7F0D-4E8B-9C55-0B7E2D6A9F31}");

    // A persistent counter (a 32-bit configuration variable) and a persistent text.
    virtual int32_t get_counter() = 0;
    virtual void set_counter(int32_t value) = 0;
    virtual void set_text(const char* text) = 0;
    virtual void get_text(char* buffer, size_t size) = 0;
    // Prints through the frame's console.
    virtual void print(const char* text) = 0;
    // The frame's exactly-one lookup; its exception leaves this call.
    virtual void lookup_exactly_one(const guid& cls) = 0;
    // How many instances the frame's one-at-a-time visit finds.
    virtual size_t count_instances(const guid& cls) = 0;
    // Throws vellora_io::exception_io_data with the message.
    virtual void throw_io_data(const char* message) = 0;
    // Reads one byte more than `available` exactly; answers true when the host's
    // stream threw exception_io_data_truncation and it was caught here.
    virtual bool read_past_end(vellora_io::stream_reader& stream, size_t available) = 0;
    // True when the probe's print-on-read variable was read from the stored stream.
    virtual bool configuration_read_seen() = 0;
};

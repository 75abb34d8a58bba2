// A component for tests only: offers probe_service and a version record, keeps two
// configuration variables, and can be built to fail while starting (PROBE_FAULT).
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "frame/cfg_var.h"
#include "frame/component.h"
#include "frame/componentversion_impl.h"
#include "frame/console.h"
#include "frame/service_lookup.h"
#include "probe_api.h"

const component_profile g_component_profile = {component_client_version_upkeep, true, nullptr};

namespace {

cfg_int_t<int32_t> cfg_counter(guid::parse("{3C0B7A52-1E44-4D7B-8C1F-6A2D9B0E5F17}"), 7);
cfg_string cfg_text(guid::parse("{9D2F6E13-5B8A-4C0E-A7D4-2E1F0C3B6A58}"), "probe default");

// A variable that prints while it is read: the host reads configuration before it
// reports services initialised, so the line must be dropped.
bool g_read_seen = false;
class print_on_read_var final : public cfg_var {
public:
    print_on_read_var() : cfg_var(guid::parse("{E7A4C2D1-0B3F-4A6E-9D58-C1F27B4E3A90}")) {}
    void write_payload(vellora_io::stream_writer& out, abort_callback& abort) const override {
        uint8_t b = 1;
        out.write(&b, 1, abort);
    }
    void read_payload(vellora_io::stream_reader& in, abort_callback& abort) override {
        uint8_t b;
        in.read_object(&b, 1, abort);
        g_read_seen = true;
        console::print("probe: reading configuration");
    }
} cfg_print_on_read;

class probe_service_impl : public probe_service {
public:
    int32_t get_counter() override { return cfg_counter; }
    void set_counter(int32_t value) override { cfg_counter = value; }
    void set_text(const char* text) override { cfg_text = text; }
    void get_text(char* buffer, size_t size) override {
        std::strncpy(buffer, cfg_text.get_ptr(), size);
        if (size) buffer[size - 1] = 0;
    }
    void print(const char* text) override { console::print(text); }
    void lookup_exactly_one(const guid& cls) override {
        service_lookup_detail::create_exactly_one(cls)->service_release();
    }
    size_t count_instances(const guid& cls) override {
        size_t n = 0;
        for (;; ++n) {
            service_base* p = service_lookup_detail::create_at(cls, n);
            if (!p) return n;
            p->service_release();
        }
    }
    void throw_io_data(const char* message) override { throw vellora_io::exception_io_data(message); }
    bool read_past_end(vellora_io::stream_reader& stream, size_t available) override {
        std::vector<uint8_t> buffer(available + 1);
        try {
            stream.read_object(buffer.data(), buffer.size(), m_abort);
        } catch (const vellora_io::exception_io_data_truncation&) {
            return true;
        }
        return false;
    }
    bool configuration_read_seen() override { return g_read_seen; }

private:
    abort_callback_dummy m_abort;
};

service_factory_single_t<probe_service_impl> g_probe;
componentversion_impl_simple_factory g_version_record("Probe", "0.1", "Test probe component.");

#ifdef PROBE_FAULT
// Fails while the host starts the component: the file-name check throws or faults.
class faulty_file_check : public component_file_check {
public:
    bool is_file_name_valid(const char*) override {
#if PROBE_FAULT == 1
        throw std::runtime_error("probe refuses to start");
#else
        *static_cast<volatile int*>(nullptr) = 1;
        return true;
#endif
    }
};
service_factory_single_t<faulty_file_check> g_faulty_check;
#endif

}  // namespace

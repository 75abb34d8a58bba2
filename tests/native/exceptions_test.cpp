#include <gtest/gtest.h>

#include <functional>

#include "frame/api/exceptions.h"

namespace {

// Throws, catches as std::exception and answers the message.
std::string message_of(const std::function<void()>& thrower) {
    try {
        thrower();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "<nothing thrown>";
}

}  // namespace

TEST(Exceptions, CarryTheirFixedMessages) {
    const struct {
        std::function<void()> thrower;
        const char* message;
    } cases[] = {
        {[] { throw exception_bug_check(); }, "Bug check"},
        {[] { throw exception_bug_check_v2(""); }, "Bug check"},
        {[] { throw exception_bug_check_v2("AUGULT / sendRequest"); }, "Bug check (at: AUGULT / sendRequest)"},
        {[] { throw exception_invalid_params(); }, "Invalid parameters"},
        {[] { throw exception_not_implemented(); }, "Feature not implemented"},
        {[] { throw exception_overflow(); }, "Overflow"},
        {[] { throw exception_service_not_found(); }, "Service not found"},
        {[] { throw exception_service_duplicated(); }, "Service duplicated"},
        {[] { throw vellora_io::exception_io_data_truncation(); }, "Unsupported format or corrupted file"},
        {[] { throw vellora_io::exception_io_no_handler_for_path(); }, "Invalid path"},
        {[] { throw vellora_io::exception_aborted(); }, "User abort"},
        {[] { throw vellora_io::exception_io("Compressor failure."); }, "Compressor failure."},
        {[] { throw exception_win32(5, "Access denied."); }, "Access denied."},
    };
    for (const auto& c : cases) EXPECT_EQ(c.message, message_of(c.thrower));
}

TEST(Exceptions, ClassTreeDecidesWhichHandlerCatches) {
    // The bug-check family.
    EXPECT_THROW(throw exception_invalid_params(), exception_bug_check);
    EXPECT_THROW(throw exception_not_implemented(), exception_bug_check);
    EXPECT_THROW(throw exception_bug_check_v2("x"), exception_bug_check);
    // The I/O family: truncation is a data error, an unclaimed path is not.
    EXPECT_THROW(throw vellora_io::exception_io_data_truncation(), vellora_io::exception_io_data);
    EXPECT_THROW(throw vellora_io::exception_io_no_handler_for_path(), vellora_io::exception_io);
    bool caught_as_data = false;
    try {
        throw vellora_io::exception_io_no_handler_for_path();
    } catch (const vellora_io::exception_io_data&) {
        caught_as_data = true;
    } catch (const vellora_io::exception_io&) {
    }
    EXPECT_FALSE(caught_as_data);
    // An abort is not an I/O failure: I/O handlers must let it pass.
    bool caught_as_io = false;
    try {
        try {
            throw vellora_io::exception_aborted();
        } catch (const vellora_io::exception_io&) {
            caught_as_io = true;
        }
    } catch (const std::exception&) {
    }
    EXPECT_FALSE(caught_as_io);
    EXPECT_EQ(5u, exception_win32(5, "x").get_code());
}
